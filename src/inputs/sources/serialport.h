#pragma once

#include "inputs/inputsource.h"
#include "platform/serialdevice.h"
#include "platform/texts.h"
#include "platform/wakeup.h"

#include <functional>
#include <mutex>
#include <thread>

// Four contacts on a serial port's modem-status inputs, each between a line Velmora holds
// up (DTR, RTS) and one input: input 1 CTS, 2 DSR, 3 DCD, 4 RI.
[[nodiscard]] Inputs inputsFromLines(const ModemLines &lines);
// The line of input n + 1: "CTS", "DSR", "DCD", "RI".
[[nodiscard]] QLatin1String modemLineName(std::size_t index);
// The lines as far as the adapter really has them: one it does not have is never on.
[[nodiscard]] ModemLines reportedOnly(ModemLines lines, const LineSupport &support);
// What the user is told of inputs whose line the adapter does not have; empty when it has all four.
[[nodiscard]] QString missingInputs(const LineSupport &support);

// What happened between two looks at the lines: the inputs as they are now, when they
// moved; before that, a line that is as it was but whose count moved by a whole contact
// (two changes; RI: one, as a PC's port counts it only when it goes off) shown the other
// way, so that a contact that came and went between the looks is not lost. Nothing when
// nothing moved. Dated when the change woke the thread (`wokeNs`); asking for the lines
// takes a while (a USB request), so lines that changed more than once meanwhile show how
// they were when the answer came (`answeredNs`) - a bounce is not taken to have lasted
// as long as the request.
[[nodiscard]] QList<InputSample> linesChanged(const ModemLines &before, const ModemLines &now, qint64 wokeNs,
                                              qint64 answeredNs);
using SerialDeviceOpener = std::function<Result<std::unique_ptr<SerialDevice>, int>(const QByteArray &path)>;

// A serial port as the source of the four inputs. A thread waits in the kernel for a line
// to change, asks for the lines and wakes the window at once, as USB buttons do.
class SerialPort : public InputSource {
public:
    SerialPort(QString device, SerialDeviceOpener open);
    ~SerialPort() override;

    InputReading read() override;
    QString name() const override { return Texts::tr("Porta seriale"); }
    int wakeDescriptor() const override { return m_wake.descriptor(); }
    QString remark() const override;

    // Opens the port now, if it is there: a path that is not a tty is a mistake on the
    // command line, said before the window opens. Empty when all is well, or when the
    // port may yet come.
    [[nodiscard]] QString startUpProblem();

private:
    int open();   // 0 or the errno
    void close();
    enum class Look { Done, Again, Failed };   // Again: soon, something moved
    Look look(qint64 wokeNs);
    void fail(int error);
    void watch();

    const QString m_device;
    const SerialDeviceOpener m_open;
    Wakeup m_wake;   // raised while a change waits to be read
    std::unique_ptr<SerialDevice> m_port;
    LineSupport m_support;   // the open port's, set before its thread starts
    QString m_remark;        // what the user is told of its missing lines, said at every tick
    std::thread m_watcher;
    std::mutex m_mutex;
    ModemLines m_last;           // as last looked at, by the watching thread
    qint64 m_answeredNs = 0;     // when the device last answered it
    QList<InputSample> m_seen;   // since the last read
    int m_lost = 0;              // the errno that ended the port between two reads
};

// "serial:" followed by this text, or a path under /dev/serial/.
[[nodiscard]] Result<std::unique_ptr<InputSource>>
makeSerialPort(const QString &device, SerialDeviceOpener open = &openSerialDevice);

// What a user without access to serial ports can do, in Italian.
[[nodiscard]] QString serialAccessHelp();
