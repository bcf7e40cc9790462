#include "fakes.h"
#include "inputs/sampledsource.h"
#include "steps.h"

#include <QTest>

#include <atomic>
#include <mutex>

namespace {

// A source read on demand whose state the test sets from its own thread.
class Contacts : public InputSource {
public:
    InputReading read() override
    {
        std::lock_guard lock(m_mutex);
        ++reads;
        return reading(m_state);
    }
    QString name() const override { return QStringLiteral("Porta parallela"); }
    void set(const QString &state)
    {
        std::lock_guard lock(m_mutex);
        m_state = state;
    }
    std::atomic<int> reads {0};

private:
    std::mutex m_mutex;
    QString m_state = QStringLiteral("0000");
};

}   // namespace

class TestSampledSource : public QObject {
    Q_OBJECT
private slots:
    // Steps (steps.h): set XXXX|x WHY (the contacts now), read (as the window does), woken
    // (wait for the window to be woken), sampled (wait until the contacts have been read
    // twice more: whatever they were set to has been seen), left (not read in the next
    // 60 ms). Then whether the window was woken, and what its next read gives: each change,
    // then the state now. Waits are for a condition, so a starved machine only slows them.
    void sampling_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("woken");
        QTest::addColumn<QString>("next");
        QTest::newRow("a press wakes the window") << "read; set 1000; woken" << true << "1000,1000";
        QTest::newRow("nothing new: sampled, the window sleeps") << "read; sampled" << false << "0000";
        QTest::newRow("a tap between two reads is kept")
            << "read; set 1000; woken; set 0000; sampled" << true << "1000,0000,0000";
        QTest::newRow("a failing source is left alone") << "set x guasto; read; left" << false << "x";
        QTest::newRow("a failure while sampled wakes the window")
            << "read; set x guasto; woken" << true << "x";
        QTest::newRow("back at a tick: sampled again")
            << "set x guasto; read; set 0100; left; read; sampled; set 0000; woken" << true << "0000,0000";
    }
    void sampling()
    {
        QFETCH(QString, script);
        QFETCH(bool, woken);
        QFETCH(QString, next);
        auto owned = std::make_unique<Contacts>();
        Contacts &contacts = *owned;
        SampledSource source(std::move(owned));
        for (const Step &step : steps(script)) {
            const int before = contacts.reads;
            if (step.verb == "set") {
                contacts.set(step.rest);
            } else if (step.verb == "read") {
                (void)source.read();
            } else if (step.verb == "woken") {
                QTRY_VERIFY_WITH_TIMEOUT(readable(source.wakeDescriptor()), 60000);
            } else if (step.verb == "sampled") {
                QTRY_VERIFY_WITH_TIMEOUT(contacts.reads >= before + 2, 60000);
            } else {
                QTest::qWait(60);
                QVERIFY2(contacts.reads == before,
                         qPrintable(QString("%1 reads in 60 ms").arg(contacts.reads - before)));
            }
        }
        QCOMPARE(readable(source.wakeDescriptor()), woken);
        QCOMPARE(written(source.read()), next);
        QVERIFY(!readable(source.wakeDescriptor()));
    }
};

QTEST_GUILESS_MAIN(TestSampledSource)
#include "tst_sampledsource.moc"
