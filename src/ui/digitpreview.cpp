#include "ui/digitpreview.h"

#include "ui/toolkit.h"

#include <QAccessible>
#include <QImage>
#include <QRegion>
#include <QtMath>
#include <utility>

DigitPreview::DigitPreview(const QString &prefix, int segments, QWidget *parent,
    const QString &name, const QString &overlayName)
    : SvgPicture(QStringLiteral(":/pictures/%1-digit.svg").arg(prefix), parent, name)
{
    for (int k = 0; k < segments; ++k) {
        const QChar letter = QLatin1Char(SegmentLetters[k]);
        // Replaced, not arg(): in "Image%11" arg() would take %11 for its placeholder.
        auto *overlay = new SvgPicture(QStringLiteral(":/pictures/%1-%2.svg").arg(prefix, letter),
            this, QString(overlayName).replace(QLatin1String("%1"), letter.toUpper()));
        overlay->hide();
        m_overlays.append(overlay);
    }
}

void DigitPreview::setPattern(const QString &pattern)
{
    bool changed = false;
    for (int k = 0; k < m_overlays.size(); ++k) {
        const bool lit = k < pattern.size() && pattern[k] == u'1';
        changed |= isLit(k) != lit;
        light(k, lit);
    }
    // Once per character, and only when a reader listens and would hear something new.
    if (changed && QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

bool DigitPreview::isLit(int k) const
{
    // isHidden(), not isVisible(): lit is the overlay's own state, whether or not it is on screen.
    return !m_overlays[k]->isHidden();
}

void DigitPreview::setLit(int k, bool lit)
{
    if (isLit(k) == lit)
        return;
    light(k, lit);
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

QString DigitPreview::pattern() const
{
    QString bits;
    for (int k = 0; k < m_overlays.size(); ++k)
        bits += isLit(k) ? u'1' : u'0';
    return bits;
}

void DigitPreview::light(int k, bool lit)
{
    SvgPicture *overlay = m_overlays[k];
    // An overlay is as large as the digit but its segment covers a small part of it: clipped
    // to the segment's ink (and a pixel around it, for any screen scale), lighting or darkening
    // it repaints that part alone. Found at the first lighting, from the picture it draws.
    if (lit && overlay->mask().isEmpty()) {
        const QImage image
            = pixmapFor(overlay->resource(), overlay->size(), overlay->devicePixelRatioF())
                  .toImage();
        QRect ink;
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(line[x]))
                    ink |= QRect(x, y, 1, 1);
            }
        }
        const qreal ratio = image.devicePixelRatio();
        const QRect logical(QPoint(qFloor(ink.left() / ratio), qFloor(ink.top() / ratio)),
            QPoint(qCeil((ink.right() + 1) / ratio), qCeil((ink.bottom() + 1) / ratio)));
        if (!ink.isEmpty())
            overlay->setMask(QRegion(logical.adjusted(-1, -1, 1, 1) & overlay->rect()));
    }
    overlay->setHidden(!lit);
}

void DigitPreview::resizeEvent(QResizeEvent *)
{
    for (SvgPicture *overlay : std::as_const(m_overlays)) {
        overlay->clearMask();
        overlay->setGeometry(rect());
    }
}
