#include "sounds/soundtable.h"

#include <QTest>

class TestSoundTable : public QObject {
    Q_OBJECT
private slots:
    void path_data()
    {
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("path");
        QTest::newRow("bare name") << QByteArray("/opt/v") << QByteArray("gong.wav")
                                   << QByteArray("/opt/v/gong.wav");
        QTest::newRow("empty slot is the folder")
            << QByteArray("/opt/v") << QByteArray() << QByteArray("/opt/v/");
        QTest::newRow("sub-path") << QByteArray("/opt/v") << QByteArray("effetti/gong.wav")
                                  << QByteArray("/opt/v/effetti/gong.wav");
        QTest::newRow("backslash sub-path") << QByteArray("/opt/v") << QByteArray("effetti\\gong.wav")
                                            << QByteArray("/opt/v/effetti/gong.wav");
        QTest::newRow("blanks kept") << QByteArray("/opt/v") << QByteArray(" a b .wav ")
                                     << QByteArray("/opt/v/ a b .wav ");
        QTest::newRow("8-bit bytes kept")
            << QByteArray("/opt/v") << QByteArray("caff\xe8.wav") << QByteArray("/opt/v/caff\xe8.wav");
        QTest::newRow("folder with slash") << QByteArray("/") << QByteArray("a.wav") << QByteArray("/a.wav");
        QTest::newRow("backslash in folder untouched")
            << QByteArray("/opt/a\\b") << QByteArray("a.wav") << QByteArray("/opt/a\\b/a.wav");
    }
    void path()
    {
        QFETCH(QByteArray, folder);
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, path);
        QCOMPARE(soundPath(folder, value), path);
    }
};

QTEST_APPLESS_MAIN(TestSoundTable)
#include "tst_soundtable.moc"
