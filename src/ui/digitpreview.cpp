#include "ui/digitpreview.h"

#include <QAccessible>
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
        m_overlays[k]->setHidden(!lit);
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
    m_overlays[k]->setHidden(!lit);
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

void DigitPreview::resizeEvent(QResizeEvent *)
{
    for (SvgPicture *overlay : std::as_const(m_overlays))
        overlay->setGeometry(rect());
}
