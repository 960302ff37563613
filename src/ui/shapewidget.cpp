#include "ui/shapewidget.h"

#include "ui/toolkit.h"

#include <QPainter>

ShapeWidget::ShapeWidget(
    QWidget *parent, const QString &name, const QColor &border, const QColor &fill)
    : QWidget(parent)
    , m_border(border)
    , m_fill(fill)
{
    ensureToolkit();
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFill(fill);
}

void ShapeWidget::setFill(const QColor &fill)
{
    m_fill = fill;
    // Filled with an opaque colour, it covers all it lies on: showing, hiding or repainting it
    // then repaints nothing beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent, m_fill.alpha() == 255);
    update();
}

void ShapeWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_fill);
    p.setPen(m_border);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
