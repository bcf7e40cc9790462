#pragma once

#include <QProxyStyle>

// Frame captions are drawn in the system highlight colour, and tabs are narrow enough
// for the four of them to fit the tab strip's width.
class Form1Style : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override;
};
