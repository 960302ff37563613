#include "ui/linewidget.h"

#include "ui/toolkit.h"

#include <QPainter>

LineWidget::LineWidget(
    QWidget *parent, const QString &name, QPoint from, QPoint to, int width, const QColor &color)
    : QWidget(parent)
    , m_color(color)
{
    ensureToolkit();
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The line is centred on the given coordinates.
    const QRect span = QRect(from, to).normalized();
    if (from.y() == to.y())
        setGeometry(span.left(), from.y() - width / 2, span.width(), width);
    else
        setGeometry(from.x() - width / 2, span.top(), width, span.height());
}

void LineWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
}
