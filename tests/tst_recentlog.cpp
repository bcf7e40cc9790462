#include "platform/recentlog.h"

#include <QLoggingCategory>
#include <QTest>

Q_LOGGING_CATEGORY(lcKept, "velmora.test", QtDebugMsg)
Q_LOGGING_CATEGORY(lcOther, "qt.other", QtDebugMsg)

class TestRecentLog : public QObject {
    Q_OBJECT
private slots:
    // Velmora's own notes and warnings are kept and told, in order, the last hundred; its
    // debug lines and other libraries' lines are not (they would bury what the user needs).
    void keepsWhatTheJournalShows()
    {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});   // quiet
        keepRecentLog();
        QStringList told;
        tellRecentLog([&told](const QString &line) { told << line; });
        qCWarning(lcKept) << "una porta";
        qCDebug(lcKept) << "un tick";
        qCWarning(lcOther) << "altro";
        qCInfo(lcKept) << "una nota";
        QCOMPARE(told.size(), 2);
        QVERIFY2(told[0].endsWith("velmora.test: una porta"), qPrintable(told[0]));
        QCOMPARE(recentLog(), told);
        for (int i = 0; i < 150; ++i)
            qCWarning(lcKept).noquote() << QString::number(i);
        QCOMPARE(recentLog().size(), 100);
        QVERIFY(recentLog().constLast().endsWith(": 149"));
        tellRecentLog({});
    }
};

QTEST_GUILESS_MAIN(TestRecentLog)
#include "tst_recentlog.moc"
