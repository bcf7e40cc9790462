#include "statusline.h"

namespace {
constexpr int kStatusLines = 3;
}   // namespace

StatusLine::StatusLine(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("statusLine"));
    setWordWrap(true);
    setFixedHeight(kStatusLines * fontMetrics().lineSpacing());
}

void StatusLine::showMessage(const QString &text)
{
    if (text == toolTip())
        return;   // the same failure tick after tick: measured once
    setToolTip(text);
    const QFontMetrics metrics = fontMetrics();
    const QRect room(0, 0, contentsRect().width(), 1 << 20);
    auto fits = [&](const QString &t) {   // a word longer than a line is not broken: it must fit too
        const QRect needed = metrics.boundingRect(room, Qt::TextWordWrap, t);
        return needed.width() <= room.width() &&
               needed.height() < (kStatusLines + 0.5) * metrics.lineSpacing();
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
    setText(shown);
}
