#include "fakes.h"
#include "inputs/sources/gpioinput.h"

#include <QTest>

#include <cerrno>

namespace {

// A chip written as a test row does: "PATH LABEL NAMES", names by commas, "-" for none,
// a name ending in "*" used by another program.
GpioChipInfo chip(const QString &text)
{
    const QStringList parts = text.split(' ');
    GpioChipInfo out {parts[0], parts[0].mid(5), parts[1], {}, 0};
    for (QString name : parts[2].split(',')) {
        const bool used = name.endsWith('*');
        name.chop(used ? 1 : 0);
        out.lines.append(
            {name == "-" ? QString() : name, used ? QStringLiteral("w1-gpio") : QString(), used});
    }
    return out;
}

// A Raspberry Pi's header chip, lines GPIO0..GPIO27, under a label and a path.
GpioChipInfo header(const QString &path, const QString &label)
{
    QStringList names;
    for (int i = 0; i < 28; ++i)
        names << QString("GPIO%1").arg(i);
    return chip(path + ' ' + label + ' ' + names.join(','));
}

// Four lines whose edges the test queues; gone when the test says so.
struct FakeChip {
    std::array<bool, 4> now {};
    QList<GpioLines::Edge> queued;
    bool lost = false;
    int requestError = 0, edgeError = 0, requests = 0;
    GpioLineRequester requester()
    {
        return [this](const QByteArray &, const std::array<int, 4> &,
                      GpioBias) -> Result<std::unique_ptr<GpioLines>, int> {
            if (requestError)
                return failure(requestError);
            ++requests;
            return std::unique_ptr<GpioLines>(std::make_unique<Lines>(*this));
        };
    }
    struct Lines : GpioLines {
        explicit Lines(FakeChip &c) : chip(c) {}
        Result<std::array<bool, 4>, int> values() override { return chip.now; }
        Result<Edges, int> edges() override
        {
            if (chip.edgeError)
                return failure(chip.edgeError);
            return Edges {std::exchange(chip.queued, {}), std::exchange(chip.lost, false)};
        }
        int descriptor() const override { return -1; }
        FakeChip &chip;
    };
};

}   // namespace

Q_DECLARE_METATYPE(GpioChipInfo)

class TestGpioInput : public QObject {
    Q_OBJECT
private slots:
    void spec_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parsed");   // chip|lines|wiring, or "x WHY"
        QTest::newRow("nothing: the header's four pins") << ""
                                                         << "|GPIO17,GPIO27,GPIO22,GPIO23|0";
        QTest::newRow("names") << "GPIO5,GPIO6,GPIO13,GPIO19"
                               << "|GPIO5,GPIO6,GPIO13,GPIO19|0";
        QTest::newRow("chip by name, offsets") << "gpiochip0:17,27,22,23"
                                               << "gpiochip0|17,27,22,23|0";
        QTest::newRow("chip by path, pulled down") << "/dev/gpiochip4:17,27,22,23:down"
                                                   << "/dev/gpiochip4|17,27,22,23|1";
        QTest::newRow("the board's own resistors") << "5,6,13,19:none"
                                                   << "|5,6,13,19|2";
        QTest::newRow("wiring alone") << "down"
                                      << "|GPIO17,GPIO27,GPIO22,GPIO23|1";
        QTest::newRow("three lines") << "17,27,22"
                                     << "x quattro linee";
        QTest::newRow("a line twice") << "17,27,17,23"
                                      << "x compare due volte";
        QTest::newRow("an empty line") << "17,,22,23"
                                       << "x manca la linea dell'ingresso 2";
        QTest::newRow("unknown wiring") << "17,27,22,23:sideways"
                                        << "x collegamento sconosciuto";
        QTest::newRow("unknown wiring after a chip") << "gpiochip0:17,27,22,23:high"
                                                     << "x collegamento sconosciuto";
        QTest::newRow("too many parts") << "a:b:c:up"
                                        << "x troppi due punti";
    }
    void spec()
    {
        QFETCH(QString, text);
        QFETCH(QString, parsed);
        const Result<GpioSpec> spec = parseGpioSpec(text);
        if (parsed.startsWith("x ")) {
            QVERIFY2(!spec && spec.error().contains(parsed.mid(2)), qPrintable(spec.error()));
            return;
        }
        QVERIFY2(spec, qPrintable(spec.error()));
        QCOMPARE(QString("%1|%2|%3").arg(spec->chip, spec->lines.join(',')).arg(int(spec->bias)), parsed);
    }

    // Which chip and offsets a spec names, among the chips of a Pi 3, 4 or 5, an expander,
    // and a chip known only by its line names; or why not, and whether that lasts.
    void chooser_data()
    {
        QTest::addColumn<QList<GpioChipInfo>>("chips");
        QTest::addColumn<QString>("spec");
        QTest::addColumn<QString>("chosen");   // path offsets, or "x WHY" / "later WHY"
        const GpioChipInfo expander = chip("/dev/gpiochip2 ch341 -,-,-,-,-,-,-,-");
        QTest::newRow("Pi 3") << QList {header("/dev/gpiochip0", "pinctrl-bcm2835"), expander} << ""
                              << "/dev/gpiochip0 17,27,22,23";
        QTest::newRow("Pi 4, its chip after another")
            << QList {expander, header("/dev/gpiochip1", "pinctrl-bcm2711")} << ""
            << "/dev/gpiochip1 17,27,22,23";
        QTest::newRow("Pi 5, a chip number above 10")
            << QList {expander, header("/dev/gpiochip13", "pinctrl-rp1")} << "GPIO5,GPIO6,GPIO13,GPIO19"
            << "/dev/gpiochip13 5,6,13,19";
        QTest::newRow("found by its line names")
            << QList {expander, header("/dev/gpiochip3", "gpio-sim.0-node0")} << ""
            << "/dev/gpiochip3 17,27,22,23";
        QTest::newRow("the label wins over line names")
            << QList {header("/dev/gpiochip3", "gpio-sim.0-node0"), header("/dev/gpiochip4", "pinctrl-rp1")}
            << ""
            << "/dev/gpiochip4 17,27,22,23";
        QTest::newRow("a chip by its label, offsets") << QList {expander} << "ch341:0,1,2,3"
                                                      << "/dev/gpiochip2 0,1,2,3";
        QTest::newRow("names in another case")
            << QList {header("/dev/gpiochip0", "pinctrl-bcm2711")} << "gpio17,gpio27,gpio22,gpio23"
            << "/dev/gpiochip0 17,27,22,23";
        QTest::newRow("an offset past the chip's lines") << QList {expander} << "gpiochip2:0,1,2,8"
                                                         << "x la linea 8 non c'è";
        QTest::newRow("an unknown name")
            << QList {header("/dev/gpiochip0", "pinctrl-bcm2711")} << "GPIO17,GPIO27,GPIO22,GPIO99"
            << "x linea sconosciuta: GPIO99";
        QTest::newRow("a name and its offset")
            << QList {header("/dev/gpiochip0", "pinctrl-bcm2711")} << "GPIO17,27,22,17"
            << "x la linea 17 compare due volte";
        QTest::newRow("no header chip") << QList {expander} << ""
                                        << "later nessun chip GPIO con le linee";
        GpioChipInfo locked {"/dev/gpiochip0", "gpiochip0", {}, {}, EACCES};
        QTest::newRow("the user may not open the chip") << QList {expander, locked} << ""
                                                        << "later accesso negato a /dev/gpiochip0";
        QTest::newRow("the chip named is not there") << QList {expander} << "gpiochip7:0,1,2,3"
                                                     << "later il chip GPIO \"gpiochip7\" non c'è";
    }
    void chooser()
    {
        QFETCH(QList<GpioChipInfo>, chips);
        QFETCH(QString, spec);
        QFETCH(QString, chosen);
        const Result<GpioChoice, GpioProblem> choice = chooseGpioLines(*parseGpioSpec(spec), chips);
        if (!choice) {
            const GpioProblem problem = choice.error();
            QVERIFY2(chosen.startsWith(problem.lasting ? "x " : "later "), qPrintable(problem.why));
            QVERIFY2(problem.why.contains(chosen.section(' ', 1)), qPrintable(problem.why));
            return;
        }
        QStringList offsets;
        for (int offset : choice->offsets)
            offsets << QString::number(offset);
        QCOMPARE(choice->path + ' ' + offsets.join(','), chosen);
    }

    // Edges become samples at the kernel's times; a line in use names its user; the chip
    // gone is said, and only the same chip is read again.
    void readsEdgesAndComesBack()
    {
        FakeChip lines;
        QList<GpioChipInfo> chips {header("/dev/gpiochip0", "pinctrl-bcm2711")};
        auto made = makeGpioInput(
            "", [&chips] { return chips; }, lines.requester());
        QVERIFY(made);
        InputSource &gpio = **made;
        QCOMPARE(written(gpio.read()), "0000");
        lines.queued = {{1, true, 100}, {1, false, 120}, {3, true, 130}};
        const InputReading read = gpio.read();
        QCOMPARE(written(read), "0100,0000,0001");
        QCOMPARE(read->value(0).atNs, 100);

        // The kernel's queue overflowed and dropped input 1's release: the lines as they are
        // now end the reading, or input 1 would sound every tick until its next edge.
        lines.queued = {{0, true, 200}};
        QCOMPARE(written(gpio.read()), "1001");
        lines.queued = {{2, true, 300}, {2, false, 310}};
        lines.lost = true;
        QCOMPARE(written(gpio.read()), "1011,1001,0000");

        lines.edgeError = ENODEV;
        QVERIFY2(gpio.read().error().contains("è stato scollegato"), "gone");
        lines.edgeError = 0;
        chips = {header("/dev/gpiochip0", "gpio-sim.0-node0")};   // another chip in its place
        QVERIFY2(gpio.read().error().contains("ora è un altro chip GPIO"), "another chip read");
        chips = {header("/dev/gpiochip0", "pinctrl-bcm2711")};
        lines.now = {true, false, false, false};   // held while it was away
        QCOMPARE(written(gpio.read()), "1000");
        QCOMPARE(lines.requests, 2);
    }

    void requestFailures_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("says");
        QTest::newRow("a line in use") << EBUSY << "GPIO4 (ingresso 1) è già usata da \"w1-gpio\"";
        QTest::newRow("no access") << EACCES << "gruppo gpio";
        QTest::newRow("the chip gone") << ENODEV << "non c'è";
    }
    void requestFailures()
    {
        QFETCH(int, error);
        QFETCH(QString, says);
        FakeChip lines;
        lines.requestError = error;
        QList<GpioChipInfo> chips {header("/dev/gpiochip0", "pinctrl-bcm2711")};
        chips[0].lines[4] = {"GPIO4", "w1-gpio", true};
        auto made = makeGpioInput(
            "GPIO4,GPIO27,GPIO22,GPIO23", [&chips] { return chips; }, lines.requester());
        QVERIFY(made);   // none of these lasts: said on the status line, tried again
        const QString why = (*made)->read().error();
        QVERIFY2(why.contains(says), qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(TestGpioInput)
#include "tst_gpioinput.moc"
