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
}

void ShapeWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_fill);
    p.setPen(m_border);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}
