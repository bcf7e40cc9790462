#include "linebreaks.h"

namespace {

bool isOption(const QString &word) { return word.size() > 1 && word.startsWith(QLatin1Char('-')); }

// A value after an option, such as serial:/dev/ttyUSB0 or gpio:LINES, rather than the
// next word of the sentence ("velmora --list-inputs shows …").
bool isValue(const QString &word)
{
    return word.contains(QLatin1Char(':')) || word.contains(QLatin1Char('/')) ||
           word.startsWith(QLatin1Char('$')) || word.startsWith(QChar(0x2026));
}

bool endsCommand(const QString &word)
{
    return word.endsWith(QLatin1Char(')')) || word.endsWith(QLatin1Char(',')) ||
           word.endsWith(QLatin1Char(';')) || word.endsWith(QLatin1Char('.'));
}

}   // namespace

QStringList unbreakablePieces(const QString &line)
{
    QStringList pieces;
    bool afterOption = false;   // the last piece ends with an option, which may take a value
    bool inSudo = false;        // the last piece is a command after sudo, not yet ended
    for (const QString &word : line.split(QLatin1Char(' '))) {
        const bool joins = !pieces.isEmpty() && (inSudo || isOption(word) || (afterOption && isValue(word)));
        if (joins)
            pieces.last() += QLatin1Char(' ') + word;
        else
            pieces << word;
        inSudo =
            (inSudo || word == QLatin1String("sudo") || word == QLatin1String("(sudo")) && !endsCommand(word);
        afterOption = isOption(word);
    }
    return pieces;
}

QString keepingCommandsWhole(const QString &plain)
{
    QStringList lines;
    for (const QString &line : plain.split(QLatin1Char('\n'))) {
        QStringList pieces;
        for (const QString &piece : unbreakablePieces(line)) {
            QString html = piece.toHtmlEscaped();
            const bool whole = piece.contains(QLatin1Char(' ')) || piece.contains(QChar::Nbsp) ||
                               piece.contains(QLatin1Char('/')) || isOption(piece);
            if (!whole) {
                pieces << html;
                continue;
            }
            // <nobr> keeps the toolkit from breaking at a space; after a slash or a dash it
            // would still break, unless a word joiner (U+2060, not drawn) says not to.
            html.replace(QLatin1Char('/'), QStringLiteral("/&#8288;"))
                .replace(QLatin1Char('-'), QStringLiteral("-&#8288;"))
                .replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
            pieces << QStringLiteral("<nobr>") + html + QStringLiteral("</nobr>");
        }
        lines << pieces.join(QLatin1Char(' '));
    }
    return lines.join(QStringLiteral("<br>"));
}

QString fittedToColumns(const QString &plain, qsizetype columns)
{
    QStringList lines;
    for (const QString &line : plain.split(QLatin1Char('\n'))) {
        qsizetype lead = 0;
        while (lead < line.size() && line[lead] == QLatin1Char(' '))
            ++lead;
        if (line.size() <= columns || lead == line.size()) {
            lines << line;
            continue;
        }
        const QString more = QString(lead + (lead > 0 ? 4 : 0), QLatin1Char(' '));
        QString current = line.left(lead);
        bool empty = true;   // `current` holds only its indentation so far
        for (const QString &piece : unbreakablePieces(line.mid(lead))) {
            if (!empty && current.size() + 1 + piece.size() > columns) {
                lines << current;
                current = more;
                empty = true;
            }
            current += (empty ? QString() : QStringLiteral(" ")) + piece;
            empty = false;
        }
        lines << current;
    }
    return lines.join(QLatin1Char('\n')).replace(QChar::Nbsp, QLatin1Char(' '));
}
