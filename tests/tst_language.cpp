#include "app/language.h"
#include "platform/texts.h"

#include <QTest>

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    // The messages' locale (LC_ALL, LC_MESSAGES or LANG) and the preferred languages as Qt
    // gives them (LANGUAGE's list first): English or Italian.
    void choice_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("languages");
        QTest::addColumn<QString>("translation");
        QTest::newRow("English, US") << "en_US.UTF-8" << QStringList {"en-US", "en"} << "en";
        QTest::newRow("English, British") << "en_GB.UTF-8" << QStringList {"en-GB"} << "en";
        QTest::newRow("Italian") << "it_IT.UTF-8" << QStringList {"it-IT", "it"} << "";
        QTest::newRow("Swiss Italian") << "it_CH.UTF-8" << QStringList {"it-CH"} << "";
        QTest::newRow("German, no texts of its own: Italian") << "de_DE.UTF-8" << QStringList {"de-DE"} << "";
        QTest::newRow("German, then English in LANGUAGE")
            << "de_DE.UTF-8" << QStringList {"de", "en"} << "en";
        QTest::newRow("French, then Italian, then English")
            << "fr_FR" << QStringList {"fr", "it", "en"} << "";
        QTest::newRow("C locale") << "C" << QStringList {"C"} << "";
        QTest::newRow("C.UTF-8, as containers have") << "C.UTF-8" << QStringList {"en-US"} << "";
        QTest::newRow("POSIX") << "POSIX" << QStringList {"en"} << "";
        QTest::newRow("C with LANGUAGE=en: C wins, as for every program") << "C" << QStringList {"en"} << "";
        QTest::newRow("no locale at all") << "" << QStringList {"en-US"} << "";
        QTest::newRow("English with a modifier") << "en_IE@euro" << QStringList {"en-IE"} << "en";
    }
    void choice()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, languages);
        QFETCH(QString, translation);
        QCOMPARE(translationFor(locale, languages), translation);
    }

    // The English texts are inside the program, and none is left out (scripts/translations
    // --check keeps the file complete; this shows the compiled one is what runs).
    void englishIsBuiltIn()
    {
        useTranslation(QStringLiteral("en"));
        QCOMPARE(Texts::tr("Ingresso %1").arg(2), QStringLiteral("Input 2"));
        QCOMPARE(Texts::tr("SALVA SUONO"), QStringLiteral("SAVE SOUND"));
        useTranslation({});
        QCOMPARE(Texts::tr("Ingresso %1").arg(2), QStringLiteral("Ingresso 2"));
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
