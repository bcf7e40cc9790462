#include "web/webaddress.h"

#include <QTest>

class TestWebAddress : public QObject {
    Q_OBJECT
private slots:
    // Where --web listens: a port alone is this machine only; an address is that network's.
    void parseWebAddress_data()
    {
        QTest::addColumn<QString>("spec");
        QTest::addColumn<QString>("address");   // empty: refused
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("loopback");
        QTest::newRow("a port") << "8080"
                                << "127.0.0.1" << 8080 << true;
        QTest::newRow("localhost") << "localhost:8080"
                                   << "127.0.0.1" << 8080 << true;
        QTest::newRow("the LAN's address") << "192.168.1.20:80"
                                           << "192.168.1.20" << 80 << false;
        QTest::newRow("every network") << "0.0.0.0:8080"
                                       << "0.0.0.0" << 8080 << false;
        QTest::newRow("IPv6, every network") << "[::]:8080"
                                             << "::" << 8080 << false;
        QTest::newRow("IPv6 loopback") << "[::1]:8080"
                                       << "::1" << 8080 << true;
        QTest::newRow("port 0") << "0"
                                << "" << 0 << false;
        QTest::newRow("port too high") << "65536"
                                       << "" << 0 << false;
        QTest::newRow("no port") << "192.168.1.20:"
                                 << "" << 0 << false;
        QTest::newRow("a host name") << "box.local:8080"
                                     << "" << 0 << false;
        QTest::newRow("words") << "web"
                               << "" << 0 << false;
    }
    void parseWebAddress()
    {
        QFETCH(QString, spec);
        QFETCH(QString, address);
        QFETCH(int, port);
        QFETCH(bool, loopback);
        const Result<WebAddress> where = ::parseWebAddress(spec);
        QCOMPARE(where ? where->address.toString() : QString(), address);
        if (!where) {
            QVERIFY2(where.error().startsWith("--web"), qPrintable(where.error()));
            return;
        }
        QCOMPARE(int(where->port), port);
        QCOMPARE(where->loopback(), loopback);
    }
};

QTEST_APPLESS_MAIN(TestWebAddress)
#include "tst_webaddress.moc"
