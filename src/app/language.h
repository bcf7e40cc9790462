#pragma once

#include <QString>
#include <QStringList>

// The language of every text a user reads. Velmora is written in Italian; where the desktop
// asks for English it speaks English. Any other language, and the C locale, get Italian.
// CONFIG.TXT's lines, the log categories and the exit statuses never change with it.

// "en" for the English translation, empty for the Italian the program is written in.
// `messagesLocale` is the locale of messages (LC_ALL, else LC_MESSAGES, else LANG): as for
// every program, a C or POSIX one (or none) means the program's own texts, whatever
// LANGUAGE says. Otherwise the first of the preferred languages (LANGUAGE's list, then the
// locale's own) that has texts of its own decides.
[[nodiscard]] QString translationFor(const QString &messagesLocale, const QStringList &uiLanguages);

// Puts a translation ("en", or empty for none) into effect in the running application
// (again for each application object: the window's replaces the command line's).
void useTranslation(const QString &translation);

// The translation this program's environment asks for, as translationFor() chooses it.
[[nodiscard]] QString desktopTranslation();
