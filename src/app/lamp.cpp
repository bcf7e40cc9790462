#include "lamp.h"

#include <QPainter>

Lamp::Lamp(QWidget *parent) : QWidget(parent) {}

void Lamp::setFillColor(const QColor &color)
{
    if (color == m_fill)
        return;   // a held input sets the same colour every tick: no repaint for that
    m_fill = color;
    update();
}

void Lamp::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(m_fill);
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
