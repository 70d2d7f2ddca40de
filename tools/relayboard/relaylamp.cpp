#include "relayboard/relaylamp.h"

#include <QPainter>

RelayLamp::RelayLamp(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void RelayLamp::setOn(bool on)
{
    if (m_on == on)
        return;
    m_on = on;
    update();
}

QSize RelayLamp::sizeHint() const
{
    return {44, 44};
}

void RelayLamp::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bulb = QRectF(rect()).adjusted(3, 3, -3, -3);
    painter.setPen(QPen(QColor(60, 60, 60), 2));
    if (m_on) {
        QRadialGradient glow(bulb.center(), bulb.width() / 2);
        glow.setColorAt(0, QColor(255, 250, 190));
        glow.setColorAt(1, QColor(255, 170, 0));
        painter.setBrush(glow);
    } else {
        painter.setBrush(QColor(90, 90, 90));
    }
    painter.drawEllipse(bulb);
}
