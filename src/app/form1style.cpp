#include "form1style.h"

#include <QStyleOptionGroupBox>

int Form1Style::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    if (metric == PM_TabBarTabHSpace)
        return 8;
    if (metric == PM_TabBarTabVSpace)
        return 4;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void Form1Style::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                    QPainter *painter, const QWidget *widget) const
{
    if (const auto *frame = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
        frame && control == CC_GroupBox) {
        QStyleOptionGroupBox highlighted(*frame);
        const QColor highlight = frame->palette.color(QPalette::Highlight);
        highlighted.palette.setColor(QPalette::WindowText, highlight);
        highlighted.textColor = highlight;
        QProxyStyle::drawComplexControl(control, &highlighted, painter, widget);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}
