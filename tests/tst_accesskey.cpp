#include "web/accesskey.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

class TestAccessKey : public QObject {
    Q_OBJECT
private slots:
    // Made at first use, for its user's eyes only, and the same key after that; a new one
    // replaces it and ends the sessions of the old.
    void madeKeptAndReplaced()
    {
        QTemporaryDir dir;
        const Result<QByteArray> first = accessKey(dir.path());
        QVERIFY2(first, qPrintable(first.error()));
        QVERIFY(first->size() >= 32);   // 192 bits
        QCOMPARE(QFile::permissions(accessKeyPath(dir.path())) & 0x0077, QFileDevice::Permissions {});
        QCOMPARE(accessKey(dir.path()).value_or({}), *first);

        const QByteArray session = newSession(*first);
        QVERIFY(isSession(session, *first));
        const Result<QByteArray> second = newAccessKey(dir.path());
        QVERIFY(second && *second != *first);
        QCOMPARE(accessKey(dir.path()).value_or({}), *second);
        QVERIFY(!isSession(session, *second));
    }

    // A key file others may read is refused, saying how to mend it.
    // Two Velmoras using the key for the first time at once (the service, and --web-key to
    // read it) agree on one: a race once had each make its own, and the page refused the
    // key it was given.
    void madeOnceWhenAskedTogether()
    {
        QTemporaryDir dir;
        QList<QByteArray> keys(8);
        std::vector<std::thread> askers;
        for (QByteArray &key : keys)
            askers.emplace_back([&dir, &key] { key = accessKey(dir.path()).value_or("failed"); });
        for (std::thread &asker : askers)
            asker.join();
        QFile file(accessKeyPath(dir.path()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray kept = file.readAll().trimmed();
        for (const QByteArray &key : keys)
            QCOMPARE(key, kept);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {"web-key.txt"});   // no leftovers
    }

    void readableByOthersIsRefused()
    {
        QTemporaryDir dir;
        QVERIFY(accessKey(dir.path()));
        QVERIFY(QFile::setPermissions(accessKeyPath(dir.path()),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        const Result<QByteArray> key = accessKey(dir.path());
        QVERIFY(!key);
        QVERIFY2(key.error().contains("--web-key new"), qPrintable(key.error()));
    }

    void sessions_data()
    {
        QTest::addColumn<QByteArray>("cookie");
        QTest::addColumn<bool>("accepted");
        const QByteArray key = "k3y-k3y-k3y-k3y-k3y-k3y-k3y-k3";
        const QByteArray good = newSession(key);
        QTest::newRow("its own") << good << true;
        QTest::newRow("another key's") << newSession("another-key-another-key-an") << false;
        QTest::newRow("the signature changed")
            << good.left(good.size() - 1) + (good.endsWith('A') ? "B" : "A") << false;
        QTest::newRow("the number changed") << (good.startsWith('x') ? "y" : "x") + good.mid(1) << false;
        QTest::newRow("no signature") << good.left(good.indexOf('.')) << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("the key itself") << key << false;
    }
    void sessions()
    {
        QFETCH(QByteArray, cookie);
        QFETCH(bool, accepted);
        QCOMPARE(isSession(cookie, "k3y-k3y-k3y-k3y-k3y-k3y-k3y-k3"), accepted);
    }

    void sameKey_data()
    {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<bool>("same");
        QTest::newRow("the key") << QByteArray("abcdef") << true;
        QTest::newRow("one byte off") << QByteArray("abcdeg") << false;
        QTest::newRow("a start of it") << QByteArray("abc") << false;
        QTest::newRow("longer") << QByteArray("abcdefg") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void sameKey()
    {
        QFETCH(QByteArray, given);
        QFETCH(bool, same);
        QCOMPARE(::sameKey(given, "abcdef"), same);
    }
};

QTEST_GUILESS_MAIN(TestAccessKey)
#include "tst_accesskey.moc"
