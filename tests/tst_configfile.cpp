#include "config/configfile.h"
#include "readonly.h"
#include "wavtools.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

#include <unistd.h>

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<SoundSlots>("expected");
        QTest::newRow("as written") << QByteArray("SUONO INGRESSO 1 = a.wav\r\nSUONO INGRESSO 2 = \r\nSUONO "
                                                  "INGRESSO 3 = \r\nSUONO INGRESSO 4 = \r\n")
                                    << SoundSlots {"a.wav", "", "", ""};
        QTest::newRow("19-character line ignored") << QByteArray("SUONO INGRESSO 2 = \r\n") << SoundSlots {};
        QTest::newRow("key without its blank") << QByteArray("SUONO INGRESSO 3 =x.wav\r\n") << SoundSlots {};
        QTest::newRow("lower-case key") << QByteArray("suono ingresso 1 = a.wav\r\n") << SoundSlots {};
        QTest::newRow("blanks kept") << QByteArray("SUONO INGRESSO 1 =   a b.wav  \r\n")
                                     << SoundSlots {"  a b.wav  ", "", "", ""};
        QTest::newRow("key further in the line, value from column 20")
            << QByteArray("xxSUONO INGRESSO 2 = b.wav\r\n") << SoundSlots {"", "= b.wav", "", ""};
        QTest::newRow("two keys on one line")
            << QByteArray("SUONO INGRESSO 1 = SUONO INGRESSO 4 = \r\n")
            << SoundSlots {"SUONO INGRESSO 4 = ", "", "", "SUONO INGRESSO 4 = "};
        QTest::newRow("repeated key: last wins")
            << QByteArray("SUONO INGRESSO 1 = a\r\nSUONO INGRESSO 1 = b\r\n") << SoundSlots {"b", "", "", ""};
        QTest::newRow("LF only") << QByteArray("SUONO INGRESSO 1 = a\nSUONO INGRESSO 2 = b\n")
                                 << SoundSlots {"a", "b", "", ""};
        QTest::newRow("CR only") << QByteArray("SUONO INGRESSO 1 = a\rSUONO INGRESSO 2 = b\r")
                                 << SoundSlots {"a", "b", "", ""};
        QTest::newRow("no final line ending")
            << QByteArray("SUONO INGRESSO 1 = a\r\nSUONO INGRESSO 4 = d") << SoundSlots {"a", "", "", "d"};
        QTest::newRow("blank lines and extra lines")
            << QByteArray("\r\n\r\ncommento qualsiasi di una riga\r\nSUONO INGRESSO 3 = c\r\n\n")
            << SoundSlots {"", "", "c", ""};
        QTest::newRow("Windows-1252 bytes kept") << QByteArray("SUONO INGRESSO 1 = caff\xe8 \x80.wav\r\n")
                                                 << SoundSlots {"caff\xe8 \x80.wav", "", "", ""};
        QTest::newRow("NUL inside a value") << QByteArray("SUONO INGRESSO 2 = a\0b\r\n", 25)
                                            << SoundSlots {"", QByteArray("a\0b", 3), "", ""};
        QTest::newRow("line too long is skipped, neighbours load")
            << QByteArray("SUONO INGRESSO 1 = a\r\nSUONO INGRESSO 2 = " + QByteArray(100000, 'x') +
                          "\r\nSUONO INGRESSO 3 = c\r\n")
            << SoundSlots {"a", "", "c", ""};
        QTest::newRow("longest line allowed")
            << QByteArray("SUONO INGRESSO 2 = " + QByteArray(32767 - 19, 'x'))
            << SoundSlots {"", QByteArray(32767 - 19, 'x'), "", ""};
        QTest::newRow("one past it") << QByteArray("SUONO INGRESSO 2 = " + QByteArray(32768 - 19, 'x'))
                                     << SoundSlots {};
    }
    void parse()
    {
        QFETCH(QByteArray, file);
        QFETCH(SoundSlots, expected);
        QCOMPARE(parseConfig(file), expected);
        // Fed one byte at a time (as if read in many pieces) it must read the same.
        ConfigParser parser;
        for (char c : file)
            parser.feed(QByteArrayView(&c, 1));
        QCOMPARE(parser.finish(), expected);
    }

    // The exact bytes written, and that they load back the same.
    void save_data()
    {
        QTest::addColumn<SoundSlots>("values");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("one sound, empty slots as their key")
            << SoundSlots {"a.wav", "", "", ""}
            << QByteArray("SUONO INGRESSO 1 = a.wav\r\nSUONO INGRESSO 2 = \r\nSUONO INGRESSO 3 = \r\nSUONO "
                          "INGRESSO 4 = \r\n");
        QTest::newRow("blanks, backslashes and 8-bit bytes kept")
            << SoundSlots {" lead.wav", "sub\\x.wav", "caff\xe8 \xff.wav  ", "d"}
            << QByteArray("SUONO INGRESSO 1 =  lead.wav\r\nSUONO INGRESSO 2 = sub\\x.wav\r\nSUONO INGRESSO 3 "
                          "= caff\xe8 \xff.wav  \r\n"
                          "SUONO INGRESSO 4 = d\r\n");
    }
    void save()
    {
        QFETCH(SoundSlots, values);
        QFETCH(QByteArray, file);
        QTemporaryDir dir;
        const QString path = dir.filePath("CONFIG.TXT");
        QVERIFY(saveConfig(path, values));
        QCOMPARE(wav::readFile(path), file);
        QCOMPARE(loadConfig(path), Result<SoundSlots>(values));
    }

    void filesThatCannotBeReadSayWhy_data()
    {
        // The kind of file, and part of the message (empty when none is due).
        QTest::addColumn<QStringList>("kindAndError");
        QTest::newRow("missing: no message") << QStringList {"missing", ""};
        QTest::newRow("a folder") << QStringList {"folder", "cartella"};
        QTest::newRow("dangling link") << QStringList {"dangling", "non esiste"};
        QTest::newRow("read error") << QStringList {"eio", "input/output"};
        QTest::newRow("larger than any CONFIG.TXT") << QStringList {"huge", "troppo grande"};
    }
    void filesThatCannotBeReadSayWhy()
    {
        QFETCH(QStringList, kindAndError);
        const QString kind = kindAndError[0], error = kindAndError[1];
        QTemporaryDir dir;
        const QString path = dir.filePath("CONFIG.TXT");
        if (kind == "folder")
            QVERIFY(QDir(dir.path()).mkdir("CONFIG.TXT"));
        if (kind == "dangling")
            QVERIFY(QFile::link(dir.filePath("gone"), path));
        if (kind == "eio")   // a regular file whose first read fails, even for root
            QVERIFY(QFile::link("/proc/self/mem", path));
        if (kind == "huge") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(kMaxConfigBytes + 1));
        }
        const Result<SoundSlots> loaded = loadConfig(path);
        QCOMPARE(loaded.value_or(SoundSlots {}), SoundSlots {});
        QVERIFY2(error.isEmpty() ? loaded.ok() : loaded.error().contains(error), qPrintable(loaded.error()));
    }

    void failedSaveKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("line break in a name") << "newline";
        QTest::newRow("CONFIG.TXT is a folder") << "folder";
        QTest::newRow("read-only folder") << "readonly";
        QTest::newRow("the disk full midway") << "full";
    }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, how);
        QTemporaryDir dir;
        const QString path = dir.filePath("CONFIG.TXT");
        SoundSlots values {"new.wav", "", "", ""};
        const QByteArray old = "SUONO INGRESSO 1 = old.wav\r\n";
        if (how == "folder") {
            QVERIFY(QDir(dir.path()).mkdir("CONFIG.TXT"));
        } else {
            wav::writeFile(path, old);
        }
        if (how == "newline")
            values[1] = "a\nSUONO INGRESSO 1 = b";
        std::optional<ReadOnlyFolder> readOnly;
        if (how == "readonly") {
            readOnly.emplace(dir.path());
            if (!readOnly->ok())
                QSKIP("this filesystem cannot make a folder read-only for root");
        }
        // No file may grow past 40 bytes while saving: the write stops partway, as on a full disk.
        const rlimit unlimited {RLIM_INFINITY, RLIM_INFINITY}, small {40, RLIM_INFINITY};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (how == "full")
            QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const Done saved = saveConfig(path, values);
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, oldHandler);
        readOnly.reset();
        QVERIFY(!saved);
        QVERIFY2(how != "full" || saved.error().contains("supera la dimensione"), qPrintable(saved.error()));
        if (how != "folder")
            QCOMPARE(wav::readFile(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList {"CONFIG.TXT"});
    }
};

QTEST_APPLESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
