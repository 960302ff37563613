#include "ui/svgpicture.h"

#include "ui/toolkit.h"

#include <QPainter>
#include <utility>

SvgPicture::SvgPicture(QString resource, QWidget *parent, const QString &name)
    : QWidget(parent)
    , m_resource(std::move(resource))
{
    ensureToolkit();
    setObjectName(name);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SvgPicture::setResource(const QString &resource)
{
    m_resource = resource;
    update();
}

void SvgPicture::paintEvent(QPaintEvent *)
{
    if (m_resource.isEmpty())
        return;
    QPainter p(this);
    p.drawPixmap(0, 0, pixmapFor(m_resource, size(), devicePixelRatioF()));
}
