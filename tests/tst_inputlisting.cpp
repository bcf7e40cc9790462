#include "app/inputlisting.h"
#include "app/language.h"
#include "app/linebreaks.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

// The sample a guide shows after a command in its shell block: the "#  " lines that follow
// it, without that mark; a "…" line stands for lines left out.
QStringList sampleAfter(const QString &doc, const QRegularExpression &command)
{
    QFile file(QStringLiteral(VELMORA_DOCS "/") + doc);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    QStringList sample;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!command.match(lines[i].section("  #", 0, 0).trimmed()).hasMatch())
            continue;
        while (++i < lines.size() && lines[i].startsWith('#'))
            sample << lines[i].mid(3);
        break;
    }
    return sample;
}

// Whether the sample's lines are the listing's, in order, one after the other between
// the gaps it marks.
bool shows(const QStringList &listing, const QStringList &sample)
{
    qsizetype at = 0;
    bool gap = true;   // the sample may start anywhere in the listing
    for (const QString &line : sample) {
        if (line.trimmed() == QStringLiteral("…")) {
            gap = true;
            continue;
        }
        const qsizetype found = listing.indexOf(line, at);
        if (found < 0 || (!gap && found != at))
            return false;
        at = found + 1;
        gap = false;
    }
    return true;
}

GpioChipInfo raspberryPi4()
{
    GpioChipInfo chip {"/dev/gpiochip0", "gpiochip0", "pinctrl-bcm2711", {}, 0};
    for (int n = 0; n < 58; ++n)
        chip.lines << GpioLineInfo {n < 28 ? QString("GPIO%1").arg(n) : QString(), {}, false};
    chip.lines[42] = {"STATUS_LED_G_CLK", "ACT", true};
    return chip;
}

}   // namespace

// The guides show what --list-inputs prints, in English: each sample is the program's own
// listing for the device it shows, so the two cannot drift apart.
class TestInputListing : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { useTranslation(QStringLiteral("en")); }
    void cleanupTestCase() { useTranslation({}); }

    void guidesShowTheListing_data()
    {
        QTest::addColumn<QString>("doc");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("listing");
        const QString stick = "/dev/input/by-id/usb-DragonRise_Inc._Generic_USB_Joystick-event-joystick";
        QList<int> buttons;
        for (int code = 0x120; code < 0x12c; ++code)   // BTN_TRIGGER and the eleven after it
            buttons << code;
        QTest::newRow("USB buttons") << "usb-buttons.md"
                                     << "^velmora --list-inputs$"
                                     << describeInputDevices(
                                            {{"/dev/input/event17", stick,
                                              "DragonRise Inc.   Generic   USB  Joystick  ", buttons, 0}});
        const QString ftdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0";
        const SerialPortInfo adapter {"/dev/ttyUSB0", ftdi, "ftdi_sio", {}, 0};
        QTest::newRow("serial ports") << "serial-port.md"
                                      << "^velmora --list-inputs$" << describeSerialPorts({adapter});
        QTest::newRow("a serial port's lines")
            << "serial-port.md"
            << "^velmora --list-inputs --port serial:" << describeSerialLines(ftdi, ModemLines {}, {});
        QTest::newRow("a Raspberry Pi's chip")
            << "gpio.md"
            << "^velmora --list-inputs$" << describeGpioChips({raspberryPi4()});
    }
    void guidesShowTheListing()
    {
        QFETCH(QString, doc);
        QFETCH(QString, command);
        QFETCH(QString, listing);
        const QStringList sample = sampleAfter(doc, QRegularExpression(command));
        QVERIFY2(!sample.isEmpty(), qPrintable(doc + ": no sample after " + command));
        const QStringList printed = fittedToColumns(listing).split('\n');
        QVERIFY2(shows(printed, sample), qPrintable("the guide shows:\n" + sample.join('\n') +
                                                    "\nthe program prints:\n" + printed.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestInputListing)
#include "tst_inputlisting.moc"
