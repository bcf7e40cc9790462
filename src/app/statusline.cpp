#include "statusline.h"

#include "linebreaks.h"

#include <QTextDocument>

namespace {
constexpr int kStatusLines = 3;
}   // namespace

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
