#include "fakes.h"
#include "inputs/sources/serialport.h"

#include <QTest>

#include <cerrno>
#include <condition_variable>
#include <mutex>

namespace {

// Lines written as a test row does: "0110 0,0,3,0" - CTS DSR DCD RI on or off, then how
// many times each has changed since the port was opened.
ModemLines lines(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(' '));
    const QStringList counts = parts.value(1, "0,0,0,0").split(QLatin1Char(','));
    ModemLines out;
    for (std::size_t i = 0; i < 4; ++i) {
        out.on[i] = parts[0].at(qsizetype(i)) == QLatin1Char('1');
        out.changes[i] = counts.value(qsizetype(i)).toInt();
    }
    return out;
}

// A USB-serial adapter whose lines the test sets; its wait returns when they change, or
// with the error the test gives it (unplugged). With `support` it is another driver: a PC's
// UART, whose wait does not return when RI goes on; cdc_acm, which has no CTS.
struct FakeAdapter {
    std::mutex mutex;
    std::condition_variable changed;
    ModemLines now;
    LineSupport support;
    int openError = 0;
    int waitError = 0;   // ends the next wait
    bool news = false;
    int opened = 0, stopped = 0;

    void set(const QString &text, int error = 0)
    {
        std::lock_guard lock(mutex);
        const ModemLines before = now;
        now = lines(text);
        waitError = error;
        const bool onlyRiWentOn = before.on[0] == now.on[0] && before.on[1] == now.on[1] &&
                                  before.on[2] == now.on[2] && !before.on[3] && now.on[3];
        news = news || error || !onlyRiWentOn || support.wakesOnEveryEdge;
        changed.notify_all();
    }
    class Device : public SerialDevice {
    public:
        explicit Device(FakeAdapter &a) : m_a(a) {}
        Result<ModemLines, int> lines() override
        {
            std::lock_guard lock(m_a.mutex);
            if (m_a.waitError)
                return failure(m_a.waitError);
            return m_a.now;
        }
        int waitForChange(bool briefly) override
        {
            std::unique_lock lock(m_a.mutex);
            if (briefly) {
                m_a.changed.wait_for(lock, std::chrono::milliseconds(10), [this] { return m_stop; });
                return m_stop ? -EINTR : 0;
            }
            m_a.changed.wait(lock, [this] { return m_a.news || m_stop; });
            m_a.news = false;
            return m_stop ? -EINTR : -m_a.waitError;
        }
        void stopWaiting() override
        {
            std::lock_guard lock(m_a.mutex);
            m_stop = true;
            ++m_a.stopped;
            m_a.changed.notify_all();
        }
        void discardInput() override {}
        LineSupport support() const override { return m_a.support; }

    private:
        FakeAdapter &m_a;
        bool m_stop = false;
    };
    SerialDeviceOpener opener()
    {
        return [this](const QByteArray &) -> Result<std::unique_ptr<SerialDevice>, int> {
            std::lock_guard lock(mutex);
            if (openError)
                return failure(openError);
            ++opened;
            return std::unique_ptr<SerialDevice>(std::make_unique<Device>(*this));
        };
    }
};

struct ChangeCase {
    QString before {}, now {};
    QString samples {};      // as written(): "wait" for none
    bool answered = false;   // how they are now, dated when the answer came rather than at the wake
};

bool woken(int fd)
{
    return QTest::qWaitFor([fd] { return readable(fd); }, 5000);
}

}   // namespace

Q_DECLARE_METATYPE(ChangeCase)

class TestSerialPort : public QObject {
    Q_OBJECT
private slots:
    // Between two looks at the lines: what the inputs did (input 1 CTS, 2 DSR, 3 DCD, 4 RI).
    void changes_data()
    {
        QTest::addColumn<ChangeCase>("c");
        QTest::newRow("nothing moved") << ChangeCase {"0000 0,0,0,0", "0000 0,0,0,0", "wait", false};
        QTest::newRow("each line is its input") << ChangeCase {"0000", "1000 1,0,0,0", "1000", false};
        QTest::newRow("DSR, DCD and RI") << ChangeCase {"0000", "0111 0,1,1,1", "0111", false};
        QTest::newRow("released") << ChangeCase {"0010 0,0,1,0", "0000 0,0,2,0", "0000", false};
        QTest::newRow("a contact between looks, both edges counted")
            << ChangeCase {"0000", "0000 0,2,0,0", "0100,0000", true};
        QTest::newRow("RI on a PC's port: counted when it goes off only")
            << ChangeCase {"0000 0,0,0,4", "0000 0,0,0,5", "0001,0000", true};
        QTest::newRow("a bounce while held shows the release")
            << ChangeCase {"1000 1,0,0,0", "1000 3,0,0,0", "0000,1000", true};
        QTest::newRow("one pressed, another tapped")
            << ChangeCase {"0000", "1000 1,0,2,0", "1010,1000", true};
        QTest::newRow("a bounce that ends pressed") << ChangeCase {"0000", "0100 0,3,0,0", "0100", true};
        QTest::newRow("counted once, not shown yet: no contact")
            << ChangeCase {"0000", "0000 0,1,0,0", "wait", false};
    }
    void changes()
    {
        QFETCH(ChangeCase, c);
        const QList<InputSample> seen = linesChanged(lines(c.before), lines(c.now), 5, 9);
        QCOMPARE(written(InputReading(seen)), c.samples);
        if (!seen.isEmpty())
            QCOMPARE(seen.last().atNs, c.answered ? 9 : 5);
    }

    // A PC's own port tells of RI only when the ring ends: a held input 4 must still light
    // at once, not when it is let go.
    void heldRiOnAPcPort()
    {
        FakeAdapter adapter;
        adapter.support.wakesOnEveryEdge = false;
        adapter.set("0000");
        auto made = makeSerialPort("/dev/ttyS0", adapter.opener());
        QVERIFY(made);
        InputSource &port = **made;
        QCOMPARE(written(port.read()), "0000");
        adapter.set("0001");
        QVERIFY(woken(port.wakeDescriptor()));
        QCOMPARE(written(port.read()), "0001");
    }

    // cdc_acm says CTS is always on: input 1 is never active there, and the user is told.
    void missingLineOnAcm()
    {
        FakeAdapter adapter;
        adapter.support.reported = {false, true, true, true};
        adapter.set("1000");
        auto made = makeSerialPort("/dev/ttyACM0", adapter.opener());
        QVERIFY(made);
        InputSource &port = **made;
        QCOMPARE(written(port.read()), "0000");
        QVERIFY2(port.remark().contains("ingresso 1 non disponibile su questo adattatore"),
                 qPrintable(port.remark()));
        adapter.set("1100 5,1,0,0");
        QVERIFY(woken(port.wakeDescriptor()));
        QCOMPARE(written(port.read()), "0100");
    }

    // An open that fails: what the status line says, and whether the start is refused.
    void openFailures_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("says");
        QTest::addColumn<bool>("refused");
        QTest::newRow("not a tty") << ENOTTY << "non è una porta seriale" << true;
        QTest::newRow("unplugged") << ENOENT << "collegare l'adattatore" << false;
        QTest::newRow("no access") << EACCES << "gruppo dialout" << false;
        QTest::newRow("held by another program") << EBUSY << "occupata da un altro programma" << false;
    }
    void openFailures()
    {
        QFETCH(int, error);
        QFETCH(QString, says);
        QFETCH(bool, refused);
        FakeAdapter adapter;
        adapter.openError = error;
        const auto made = makeSerialPort("/dev/ttyUSB0", adapter.opener());
        QCOMPARE(!made, refused);
        if (made) {
            const InputReading read = (*made)->read();
            QVERIFY2(read.error().contains(says), qPrintable(read.error()));
        } else {
            QVERIFY2(made.error().contains(says), qPrintable(made.error()));
        }
    }

    // A change wakes the window at once; unplugged, the port is said lost and closed, and
    // read again once it is back, with a contact held meanwhile.
    void wakesAndComesBack()
    {
        FakeAdapter adapter;
        adapter.set("0000");
        auto made = makeSerialPort("/dev/serial/by-id/usb-FTDI", adapter.opener());
        QVERIFY(made);
        InputSource &port = **made;
        QCOMPARE(written(port.read()), "0000");
        adapter.set("0100 0,1,0,0");
        QVERIFY(woken(port.wakeDescriptor()));
        QCOMPARE(written(port.read()), "0100");
        QCOMPARE(written(port.read()), "wait");
        adapter.set("0100", EIO);
        QVERIFY(woken(port.wakeDescriptor()));
        QVERIFY2(port.read().error().contains("scollegata"), "unplugged");
        QCOMPARE(adapter.stopped, 1);   // its wait ended, the thread gone
        adapter.set("0010");
        QCOMPARE(written(port.read()), "0010");
        QCOMPARE(adapter.opened, 2);
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
