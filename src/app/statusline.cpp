#include "statusline.h"

#include <QTextDocument>

namespace {
constexpr int kStatusLines = 3;
}   // namespace

QString keepingCommandsWhole(const QString &plain)
{
    QStringList lines;
    for (const QString &line : plain.split(QLatin1Char('\n'))) {
        QStringList words;    // each as HTML; one that must stay whole in <nobr>
        bool glued = false;   // the last word is in <nobr> and may take an option after it
        for (const QString &word : line.split(QLatin1Char(' '))) {
            QString html = word.toHtmlEscaped();
            // <nobr> keeps the toolkit from breaking at a space; after a slash or a dash it
            // would still break, unless a word joiner (U+2060, not drawn) says not to.
            if (word.contains(QLatin1Char('/')) || word.startsWith(QLatin1Char('-')))
                html.replace(QLatin1Char('/'), QStringLiteral("/&#8288;"))
                    .replace(QLatin1Char('-'), QStringLiteral("-&#8288;"));
            const bool option = word.startsWith(QLatin1Char('-')) && word.size() > 1;
            if (option && !words.isEmpty()) {   // "velmora --list-inputs": one piece
                QString last = words.takeLast();
                if (glued)
                    last.chop(int(qstrlen("</nobr>")));
                else
                    last.prepend(QStringLiteral("<nobr>"));
                words << last + QStringLiteral("&nbsp;") + html + QStringLiteral("</nobr>");
                glued = true;
            } else if (option || word.contains(QLatin1Char('/'))) {
                words << QStringLiteral("<nobr>") + html + QStringLiteral("</nobr>");
                glued = true;
            } else {
                words << html;
                glued = false;
            }
        }
        lines << words.join(QLatin1Char(' '));
    }
    return lines.join(QStringLiteral("<br>"));
}

StatusLine::StatusLine(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("statusLine"));
    setWordWrap(true);
    setTextFormat(Qt::RichText);
    setFixedHeight(kStatusLines * fontMetrics().lineSpacing());
}

void StatusLine::showMessage(const QString &text)
{
    if (text == toolTip())
        return;   // the same failure tick after tick: measured once
    setToolTip(text);
    const int width = contentsRect().width();
    auto fits = [&](const QString &t) {   // laid out as the label lays it out
        QTextDocument document;
        document.setDefaultFont(font());
        document.setDocumentMargin(0);
        document.setHtml(keepingCommandsWhole(t));
        document.setTextWidth(width);
        return document.idealWidth() <= width &&
               document.size().height() < (kStatusLines + 0.5) * fontMetrics().lineSpacing();
    };
    const QString ellipsis(QChar(0x2026));
    QString shown = text;
    if (isVisible() && !fits(text)) {
        qsizetype low = 0, high = text.size();   // the longest start of the text that fits with "…"
        while (low < high) {
            const qsizetype mid = (low + high + 1) / 2;
            if (fits(text.left(mid) + ellipsis))
                low = mid;
            else
                high = mid - 1;
        }
        shown = text.left(low) + ellipsis;
    }
    setText(keepingCommandsWhole(shown));
}
