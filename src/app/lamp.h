#pragma once

#include <QColor>
#include <QWidget>

// A small filled circle whose only changing property is its fill colour.
class Lamp : public QWidget {
    Q_OBJECT
public:
    explicit Lamp(QWidget *parent = nullptr);
    void setFillColor(const QColor &color);

    static QColor idle() { return QColor(255, 0, 0); }
    static QColor active() { return QColor(0, 255, 0); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill = idle();
};
