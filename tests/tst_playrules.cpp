#include "inputs/playrules.h"

#include <QTest>

// A tick written as four characters, one per input 1-4: '.' idle, 'h' held (active, no new
// press), 'p' pressed since the last tick (active and new); or "^" and the inputs let go
// between ticks ("^13"). The actions as "+2" (start),
// "+2L" (start a loop), "-2" (stop), in the order given.
namespace {
std::pair<Inputs, Inputs> tickOf(const QString &text)
{
    Inputs active {}, pressed {};
    for (int i = 0; i < 4; ++i) {
        active[std::size_t(i)] = text[i] != QLatin1Char('.');
        pressed[std::size_t(i)] = text[i] == QLatin1Char('p');
    }
    return {active, pressed};
}
QString said(const QList<PlayAction> &actions)
{
    QStringList out;
    for (const PlayAction &a : actions)
        out << QStringLiteral("%1%2%3")
                   .arg(a.kind == PlayAction::Kind::Start ? "+" : "-")
                   .arg(a.input)
                   .arg(a.loop ? "L" : "");
    return out.join(QLatin1Char(' '));
}
InputModes modesOf(const QString &text)   // "r o h t" per input, upper case: mix
{
    InputModes modes;
    for (int i = 0; i < 4; ++i) {
        const QChar c = text[i];
        modes[std::size_t(i)].when = c.toLower() == 'o'   ? InputMode::When::Once
                                     : c.toLower() == 'h' ? InputMode::When::Hold
                                     : c.toLower() == 't' ? InputMode::When::Toggle
                                                          : InputMode::When::Repeat;
        modes[std::size_t(i)].with = c.isUpper() ? InputMode::With::Mix : InputMode::With::Replace;
    }
    return modes;
}
}   // namespace

class TestPlayRules : public QObject {
    Q_OBJECT
private slots:
    void ticks_data()
    {
        QTest::addColumn<QString>("modes");
        QTest::addColumn<QStringList>("ticks");
        QTest::addColumn<QStringList>("actions");
        QTest::newRow("repeat: every tick while held, as always")
            << "rrrr" << QStringList {"...p", "...h", "...h", "...."} << QStringList {"+4", "+4", "+4", ""};
        QTest::newRow("repeat: all four in the order 2, 1, 3, 4")
            << "rrrr" << QStringList {"pppp"} << QStringList {"+2 +1 +3 +4"};
        QTest::newRow("once: held across ticks, one start")
            << "ooor" << QStringList {"p...", "h...", "h...", "...."} << QStringList {"+1", "", "", ""};
        QTest::newRow("once: a new press starts it again")
            << "oooo" << QStringList {"p...", "....", "p..."} << QStringList {"+1", "", "+1"};
        QTest::newRow("once: a press while held (bounce kept out) restarts")
            << "oooo" << QStringList {"p...", "p..."} << QStringList {"+1", "+1"};
        QTest::newRow("hold: a loop while held, stopped at the first idle tick")
            << "hhhh" << QStringList {"p...", "h...", "h...", "....", "...."}
            << QStringList {"+1L", "", "", "-1", ""};
        QTest::newRow("hold: a tap shorter than a tick plays one tick")
            << "hhhh" << QStringList {"..p.", "...."} << QStringList {"+3L", "-3"};
        QTest::newRow("toggle: press starts, next press stops, holding does nothing")
            << "tttt" << QStringList {"p...", "h...", "....", "p...", "....", "p..."}
            << QStringList {"+1L", "", "", "-1", "", "+1L"};
        QTest::newRow("toggle replaced by another input: its next press starts it again")
            << "trrr" << QStringList {"p...", ".p..", "....", "p..."} << QStringList {"+1L", "+2", "", "+1L"};
        QTest::newRow("toggle mixed with another: its next press stops it")
            << "tRrr" << QStringList {"p...", ".p..", "....", "p..."} << QStringList {"+1L", "+2", "", "-1"};
        QTest::newRow("two holds overlapping, mixed")
            << "HHrr" << QStringList {"p...", "hp..", "h...", "...."}
            << QStringList {"+1L", "+2L", "-2", "-1"};
        QTest::newRow("hold replaced while held stays silent until pressed again")
            << "hrrr" << QStringList {"p...", "hp..", "h...", "....", "p..."}
            << QStringList {"+1L", "+2", "", "", "+1L"};
        QTest::newRow("hold let go between ticks: stopped then, not again at the tick")
            << "hhhh" << QStringList {"p...", "^1", "....", "p..."} << QStringList {"+1L", "-1", "", "+1L"};
        QTest::newRow("let go between ticks: only a playing hold stops")
            << "otrh" << QStringList {"pppp", "^1234"} << QStringList {"+2L +1 +3 +4L", "-4"};
        QTest::newRow("hold replaced while held, then let go: nothing to stop")
            << "hrrr" << QStringList {"p...", "hp..", "^1"} << QStringList {"+1L", "+2", ""};
        QTest::newRow("once and repeat together: the order 2, 1, 3, 4 kept")
            << "oror" << QStringList {"pppp", "hhhh"} << QStringList {"+2 +1 +3 +4", "+2 +4"};
    }
    void ticks()
    {
        QFETCH(QString, modes);
        QFETCH(QStringList, ticks);
        QFETCH(QStringList, actions);
        PlayRules rules;
        QStringList got;
        for (const QString &tick : ticks) {
            if (tick.startsWith(QLatin1Char('^'))) {
                Inputs released {};
                for (const QChar c : tick.mid(1))
                    released[std::size_t(c.digitValue() - 1)] = true;
                got << said(rules.released(released, modesOf(modes)));
                continue;
            }
            const auto [active, pressed] = tickOf(tick);
            got << said(rules.tick(active, pressed, modesOf(modes)));
        }
        QCOMPARE(got, actions);
    }
};

QTEST_APPLESS_MAIN(TestPlayRules)
#include "tst_playrules.moc"
