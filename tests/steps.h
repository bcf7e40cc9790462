#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The one step language of the scripted tests: steps separated by "; ", each a verb and
// its words separated by blanks; `rest` is everything after the verb, blanks included.
struct Step {
    QString verb;
    QStringList words;
    QString rest;
    QString word(qsizetype i) const { return words.value(i); }
};

inline QList<Step> steps(const QString &script)
{
    QList<Step> out;
    for (const QString &text : script.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        const qsizetype blank = text.indexOf(QLatin1Char(' '));
        out.append({text.left(blank), text.split(QLatin1Char(' ')).mid(1),
                    blank < 0 ? QString() : text.mid(blank + 1)});
    }
    return out;
}
