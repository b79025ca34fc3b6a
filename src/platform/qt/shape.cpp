#include "platform/qt/shape.h"

#include <QPainter>

namespace qtplatform {

Shape::Shape(QColor fill, std::optional<QColor> border, QWidget *parent)
    : QWidget(parent)
    , m_fill(fill)
    , m_border(border)
{
    setAttribute(Qt::WA_OpaquePaintEvent, fill.alpha() == 255);
}

void Shape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_fill);
    if (m_border) {
        painter.setPen(*m_border);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

} // namespace qtplatform
