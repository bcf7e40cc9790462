#include "config/datafolder.h"

#include <QDir>
#include <QTest>

class TestDataFolder : public QObject {
    Q_OBJECT
private slots:
    void folder_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("folder");
        QTest::newRow("a copied folder: as always") << "/home/ada/Velmora" << true << "/home/ada"
                                                    << "/home/ada/Velmora";
        QTest::newRow("a build folder") << "/src/velmora/build" << true << "/home/ada"
                                        << "/src/velmora/build";
        QTest::newRow("installed by the package") << "/usr/bin" << false << "/home/ada"
                                                  << "/home/ada/Velmora";
        QTest::newRow("installed by the package, run by root") << "/usr/bin" << true << "/root"
                                                               << "/root/Velmora";
        QTest::newRow("a folder shared read-only") << "/opt/velmora" << false << "/home/bob"
                                                   << "/home/bob/Velmora";
        QTest::newRow("a service user without a home") << "/usr/bin" << false << ""
                                                       << "/usr/bin";
        QTest::newRow("home is the root") << "/usr/bin" << false << "/"
                                          << "/usr/bin";
        QTest::newRow("a relative home, from the folder started in")
            << "/usr/bin" << false << "rel/./home" << QDir::current().filePath("rel/home/Velmora");
    }
    void folder()
    {
        QFETCH(QString, program);
        QFETCH(bool, writable);
        QFETCH(QString, home);
        QFETCH(QString, folder);
        QCOMPARE(dataFolder(program, writable, home), folder);
    }
};

QTEST_GUILESS_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
