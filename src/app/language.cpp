#include "language.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

#include <memory>

namespace {

// "en_US.UTF-8", "en-GB", "C.UTF-8", "POSIX" -> "en", "en", "c", "posix"
QString languageOf(const QString &name)
{
    return name.toLower()
        .section(QLatin1Char('.'), 0, 0)
        .section(QLatin1Char('@'), 0, 0)
        .split(QRegularExpression(QStringLiteral("[-_]")))
        .constFirst();
}

}   // namespace

QString translationFor(const QString &messagesLocale, const QStringList &uiLanguages)
{
    const QString locale = languageOf(messagesLocale);
    if (locale.isEmpty() || locale == QLatin1String("c") || locale == QLatin1String("posix"))
        return {};
    for (const QString &entry : uiLanguages) {
        const QString language = languageOf(entry);
        if (language == QLatin1String("en"))
            return QStringLiteral("en");
        if (language == QLatin1String("it"))
            return {};
    }
    return {};
}

void useTranslation(const QString &translation)
{
    static std::unique_ptr<QTranslator> translator;
    if (translator)
        QCoreApplication::removeTranslator(translator.get());
    translator.reset();
    if (translation.isEmpty())
        return;
    translator = std::make_unique<QTranslator>();
    // Compiled into the program, so that a copied program folder still has it.
    if (translator->load(QStringLiteral(":/i18n/velmora_%1.qm").arg(translation)))
        QCoreApplication::installTranslator(translator.get());
}

QString desktopTranslation()
{
    QString messages;
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (messages.isEmpty())
            messages = qEnvironmentVariable(name);
    return translationFor(messages, QLocale::system().uiLanguages());
}
