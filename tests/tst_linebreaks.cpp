#include "app/linebreaks.h"

#include <QTest>

class TestLineBreaks : public QObject {
    Q_OBJECT
private slots:
    // Commands, paths and options are never broken across lines in the status line and the
    // start-up box: each is kept whole, an option with the word before it and its value.
    void keepingCommandsWhole_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("html");
        // (U+2060, a word joiner, after a slash or a dash: the toolkit breaks there too.)
        QTest::newRow("a path") << "collegare /dev/parportN ora"
                                << "collegare <nobr>/&#8288;dev/&#8288;parportN</nobr> ora";
        QTest::newRow("a command and its option")
            << "(velmora --list-inputs)"
            << "<nobr>(velmora&nbsp;-&#8288;-&#8288;list-&#8288;inputs)</nobr>";
        QTest::newRow("a script, its option and value")
            << "scripts/install --port serial:/dev/ttyUSB0 ora"
            << "<nobr>scripts/&#8288;install&nbsp;-&#8288;-&#8288;port&nbsp;serial:/&#8288;dev/&#8288;"
               "ttyUSB0</nobr> ora";
        QTest::newRow("sudo to its closing bracket")
            << "gruppo (sudo usermod -aG lp $USER), poi"
            << "gruppo <nobr>(sudo&nbsp;usermod&nbsp;-&#8288;aG&nbsp;lp&nbsp;$USER),</nobr> poi";
        QTest::newRow("escaped, lines kept") << "a < b\nc"
                                             << "a &lt; b<br>c";
    }
    void keepingCommandsWhole()
    {
        QFETCH(QString, plain);
        QFETCH(QString, html);
        QCOMPARE(::keepingCommandsWhole(plain), html);
    }

    // A listing for a terminal: lines of 20 columns here, broken between pieces only.
    void fittedToColumns_data()
    {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("fitted");
        QTest::newRow("short lines as they are") << "uno due\n    tre"
                                                 << "uno due\n    tre";
        QTest::newRow("a paragraph, not indented") << "uno due tre quattro cinque sei"
                                                   << "uno due tre quattro\ncinque sei";
        QTest::newRow("a detail, indented four more") << "  linee: A, B, C, D, E, F, G"
                                                      << "  linee: A, B, C, D,\n      E, F, G";
        QTest::newRow("a command stays whole") << "vedere: velmora --port serial:X ora"
                                               << "vedere:\nvelmora --port serial:X\nora";
        QTest::newRow("the word after an option is prose") << "velmora --list-inputs elenca tutto"
                                                           << "velmora --list-inputs\nelenca tutto";
        QTest::newRow("a no-break space holds, printed plain")
            << QString("a b c d e GPIO17\u00a0(pin 11)") << "a b c d e\nGPIO17 (pin 11)";
    }
    void fittedToColumns()
    {
        QFETCH(QString, plain);
        QFETCH(QString, fitted);
        QCOMPARE(::fittedToColumns(plain, 20), fitted);
    }
};

QTEST_APPLESS_MAIN(TestLineBreaks)
#include "tst_linebreaks.moc"
