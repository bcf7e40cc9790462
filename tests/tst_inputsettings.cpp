#include "config/inputsettings.h"

#include <QTest>

namespace {
// An input's settings in one line: "hold mix 80 250 a.wav|b.wav random".
QString summary(const InputSettings &in)
{
    static const char *when[] = {"repeat", "once", "hold", "toggle"};
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(when[int(in.mode.when)], in.mode.with == InputMode::With::Mix ? "mix" : "replace")
        .arg(in.volume)
        .arg(in.fadeMs)
        .arg(QString::fromUtf8(in.files.join('|')), in.order == FileOrder::Random ? "random" : "turn");
}
const QString kDefault = QStringLiteral("repeat replace 100 0  turn");
}   // namespace

class TestInputSettings : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("input2");    // input 2's settings as read
        QTest::addColumn<QString>("quiz");      // "on 30" or "off 0"
        QTest::addColumn<QString>("problem");   // a piece of the one problem, or empty
        QTest::newRow("nothing: as always") << QByteArray() << kDefault << "off 0"
                                            << "";
        QTest::newRow("every setting")
            << QByteArray("version = 1\n[input 2]\nplay = hold\nwith = mix\nvolume = 80\nfade = 250\n"
                          "files = a.wav, sub/b.wav\norder = random\n[quiz]\non = yes\nreset-after = 30\n")
            << "hold mix 80 250 a.wav|sub/b.wav random"
            << "on 30"
            << "";
        QTest::newRow("comments, blanks, CRLF")
            << QByteArray("# mine\r\nversion = 1\r\n\r\n[input 2]   \r\nplay = once # one per press\r\n")
            << "once replace 100 0  turn"
            << "off 0"
            << "";
        QTest::newRow("a bad value: that input as always, the others read")
            << QByteArray("version = 1\n[input 1]\nplay = toggle\n[input 2]\nplay = loop\nvolume = 50\n")
            << kDefault << "off 0"
            << "riga 5: play = loop non va (repeat, once, hold, toggle): l'ingresso 2 suona come sempre";
        QTest::newRow("volume out of range")
            << QByteArray("version = 1\n[input 2]\nvolume = 150\n") << kDefault << "off 0"
            << "da 0 a 100";
        QTest::newRow("negative fade")
            << QByteArray("version = 1\n[input 2]\nfade = -1\n") << kDefault << "off 0"
            << "60000";
        QTest::newRow("unknown key") << QByteArray("version = 1\n[input 2]\nspeed = 2\nplay = once\n")
                                     << kDefault << "off 0"
                                     << "play, with";
        QTest::newRow("unknown section skipped")
            << QByteArray("version = 1\n[input 5]\nplay = once\n[input 2]\nplay = once\n")
            << "once replace 100 0  turn"
            << "off 0"
            << "sezione sconosciuta [input 5]";
        QTest::newRow("quiz's bad value")
            << QByteArray("version = 1\n[quiz]\non = maybe\n") << kDefault << "off 0"
            << "il quiz resta spento";
        QTest::newRow("a newer version: what is known is read")
            << QByteArray("version = 2\n[input 2]\nplay = once\n") << "once replace 100 0  turn"
            << "off 0"
            << "più nuova";
        QTest::newRow("no key = value")
            << QByteArray("version = 1\n[input 2]\nplay once\n") << kDefault << "off 0"
            << "CHIAVE = VALORE";
    }
    void parse()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, input2);
        QFETCH(QString, quiz);
        QFETCH(QString, problem);
        const ReadInputSettings read = parseInputSettings(text);
        QCOMPARE(summary(read.settings.inputs[1]), input2);
        QCOMPARE(QStringLiteral("%1 %2")
                     .arg(read.settings.quiz ? "on" : "off")
                     .arg(read.settings.quizResetSeconds),
                 quiz);
        QCOMPARE(read.problems.size(), problem.isEmpty() ? 0 : 1);
        if (!problem.isEmpty())
            QVERIFY2(read.problems.first().contains(problem), qPrintable(read.problems.first()));
    }

    void writtenReadsBack()
    {
        BoxSettings settings;
        settings.inputs[0] = {{InputMode::When::Toggle, InputMode::With::Mix},
                              35,
                              1200,
                              {"a.wav", "b b.wav"},
                              FileOrder::Random};
        settings.inputs[3].files = {"jingles/"};
        settings.quiz = true;
        settings.quizResetSeconds = 15;
        const ReadInputSettings read = parseInputSettings(serializeInputSettings(settings));
        QCOMPARE(read.problems, QStringList());
        QVERIFY(read.settings == settings);
        QVERIFY(parseInputSettings(serializeInputSettings(BoxSettings {})).settings == BoxSettings {});
    }
};

QTEST_APPLESS_MAIN(TestInputSettings)
#include "tst_inputsettings.moc"
