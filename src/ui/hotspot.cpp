#include "ui/hotspot.h"

#include "ui/toolkit.h"

#include <QKeyEvent>
#include <QPainter>

HotSpot::HotSpot(QWidget *parent, const QString &name, const QString &accessibleName)
    : QAbstractButton(parent)
{
    setObjectName(name);
    setAccessibleName(accessibleName);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::CrossCursor);
}

void HotSpot::paintEvent(QPaintEvent *)
{
    if (isDown())
        QPainter(this).fillRect(rect(), QColor(255, 255, 255, 70));
}

void HotSpot::keyPressEvent(QKeyEvent *e)
{
    if (isEnter(e))
        animateClick();
    else
        QAbstractButton::keyPressEvent(e);
}
