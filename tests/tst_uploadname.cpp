#include "readonly.h"
#include "wavtools.h"
#include "web/uploadname.h"

#include <QTemporaryDir>

#include <optional>

#include <QTest>

class TestUploadName : public QObject {
    Q_OBJECT
private slots:
    // A name from a browser becomes a file in the data folder only when it can name
    // nothing else: a path, a hidden file, a name that is not a WAV's are refused.
    void uploadName_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("kept");   // empty: refused
        QTest::newRow("plain") << "gong.wav"
                               << "gong.wav";
        QTest::newRow("blanks and accents kept") << "Applausi finali è.WAV"
                                                 << "Applausi finali è.WAV";
        QTest::newRow("up a folder") << "../CONFIG.TXT"
                                     << "";
        QTest::newRow("up a folder, a wav") << "../gong.wav"
                                            << "";
        QTest::newRow("into a folder") << "a/b.wav"
                                       << "";
        QTest::newRow("a Windows path") << "C:\\suoni\\b.wav"
                                        << "";
        QTest::newRow("percent-encoded dots, as sent") << "%2e%2e"
                                                       << "";
        QTest::newRow("the two dots") << ".."
                                      << "";
        QTest::newRow("hidden") << ".gong.wav"
                                << "";
        QTest::newRow("CONFIG.TXT") << "CONFIG.TXT"
                                    << "";
        QTest::newRow("the access key") << "web-key.txt"
                                        << "";
        QTest::newRow("only the ending") << ".wav"
                                         << "";
        QTest::newRow("a line break") << "a\nb.wav"
                                      << "";
        QTest::newRow("a right-to-left override") << QString("a\u202Evaw.exe.wav") << "";
        QTest::newRow("256 bytes") << QString(252, 'a') + ".wav"
                                   << "";
        QTest::newRow("255 bytes") << QString(251, 'a') + ".wav" << QString(251, 'a') + ".wav";
    }
    void uploadName()
    {
        QFETCH(QString, asked);
        QFETCH(QString, kept);
        const Result<QString> name = ::uploadName(asked);
        QCOMPARE(name.value_or({}), kept);
        if (!name)
            QVERIFY2(name.error().startsWith("nome non accettato"), qPrintable(name.error()));
    }

    // Only a WAV Velmora can play is kept, whole; a refusal leaves nothing behind, not even
    // a half-written file, and never touches a file of that name already there.
    void keepUpload_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("says");   // empty: kept
        QTest::newRow("a WAV") << wav::tone(440, 0.1) << false << "";
        QTest::newRow("random bytes named .wav") << QByteArray(5000, '\x5a') << false << "gong.wav: ";
        QTest::newRow("a WAV cut inside its header") << wav::tone(440, 0.1).left(20) << false << "gong.wav: ";
        QTest::newRow("nothing") << QByteArray() << false << "gong.wav: ";
        QTest::newRow("a folder that takes no new file")
            << wav::tone(440, 0.1) << true << "impossibile scrivere";
    }
    void keepUpload()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, readOnly);
        QFETCH(QString, says);
        QTemporaryDir folder;
        const QString path = folder.filePath("gong.wav");
        const QString other = folder.filePath("other.wav");
        QVERIFY(wav::writeFile(other, "kept as it was"));
        std::optional<ReadOnlyFolder> locked;
        if (readOnly && !locked.emplace(folder.path()).ok())
            QSKIP("this file system cannot refuse new files");
        const Done kept = ::keepUpload(body, path, "gong.wav");
        locked.reset();
        QCOMPARE(kept.error().left(says.size()), says);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).join(' '),
                 says.isEmpty() ? "gong.wav other.wav" : "other.wav");
        if (kept)
            QCOMPARE(wav::readFile(path), body);
    }
};

QTEST_APPLESS_MAIN(TestUploadName)
#include "tst_uploadname.moc"
