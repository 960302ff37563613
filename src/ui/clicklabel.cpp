#include "ui/clicklabel.h"

#include "ui/toolkit.h"

#include <QKeyEvent>
#include <QMouseEvent>

ClickLabel::ClickLabel(const QString &text, QWidget *parent, const QString &name)
    : QLabel(text, parent)
{
    ensureToolkit();
    setObjectName(name);
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::StrongFocus);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    if (releasedInside(this, e))
        emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent *e)
{
    if (isEnter(e) || (e->key() == Qt::Key_Space && !e->modifiers()))
        emit clicked();
    else
        QLabel::keyPressEvent(e);
}
