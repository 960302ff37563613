#include "ui/picturebutton.h"

#include "ui/toolkit.h"

#include <QKeyEvent>
#include <QPainter>
#include <utility>

PictureButton::PictureButton(
    QString resource, QWidget *parent, const QString &name, const QString &accessibleName)
    : QAbstractButton(parent)
    , m_resource(std::move(resource))
{
    setObjectName(name);
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureButton::setResource(const QString &resource)
{
    m_resource = resource;
    update();
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPixmap &picture = pixmapFor(m_resource, size(), devicePixelRatioF());
    if (!isDown()) {
        p.drawPixmap(0, 0, picture);
        return;
    }
    // Held down: a pixel lower and to the right, and darker where the picture is drawn.
    QPixmap pressed = picture;
    QPainter shade(&pressed);
    shade.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    shade.fillRect(QRect(QPoint(), size()), QColor(0, 0, 0, 80));
    shade.end();
    p.drawPixmap(1, 1, pressed);
}

void PictureButton::keyPressEvent(QKeyEvent *e)
{
    if (isEnter(e))
        animateClick();
    else
        QAbstractButton::keyPressEvent(e);
}
