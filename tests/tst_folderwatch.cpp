#include "platform/folderwatch.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestFolderWatch : public QObject {
    Q_OBJECT
private slots:
    // A WAV copied in is told however soon after the folder is opened: before the watch
    // is set up on its thread (it was missed, the list short of it until the next change),
    // or once the kernel tells it.
    void aNameMadeAnyTimeIsTold_data()
    {
        QTest::addColumn<bool>("beforeSetUp");
        QTest::newRow("before the watch is set up") << true;
        QTest::newRow("after") << false;
    }
    void aNameMadeAnyTimeIsTold()
    {
        QFETCH(bool, beforeSetUp);
        QTemporaryDir dir;
        FolderWatch watch;
        QSignalSpy changed(&watch, &FolderWatch::changed);
        watch.watch(QFile::encodeName(dir.path()));
        if (!beforeSetUp) {
            QTRY_COMPARE(changed.size(), 1);   // the one change more a new watch tells
            QTest::qWait(50);                  // nothing else
            changed.clear();
        }
        QFile wav(dir.filePath("new.wav"));
        QVERIFY(wav.open(QIODevice::WriteOnly));
        QTRY_VERIFY(!changed.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFolderWatch)
#include "tst_folderwatch.moc"
