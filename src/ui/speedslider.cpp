#include "ui/speedslider.h"

#include "ui/toolkit.h"

#include <QKeyEvent>

SpeedSlider::SpeedSlider(Qt::Orientation orientation, bool periodFromMaximum, QWidget *parent)
    : QScrollBar(orientation, parent)
    , m_periodFromMaximum(periodFromMaximum)
{
    ensureToolkit();
    setFocusPolicy(Qt::StrongFocus);
}

int SpeedSlider::periodOf(int value) const
{
    // Its own inverse: valueOf() is the same mapping.
    return m_periodFromMaximum ? maximum() + 1 - value : value;
}

void SpeedSlider::keyPressEvent(QKeyEvent *e)
{
    const int key = e->key();
    if ((key == Qt::Key_Left || key == Qt::Key_Right) && orientation() == Qt::Horizontal) {
        // The thumb goes the way of the arrow: Qt 6's scroll bar takes the arrows backwards.
        const bool towardsMaximum = (key == Qt::Key_Right) != isRightToLeft();
        triggerAction(towardsMaximum ? SliderSingleStepAdd : SliderSingleStepSub);
    } else if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        // A click beside the thumb moves it by one; the keyboard's page goes further, in the
        // direction the scroll bar gives it.
        const int mouseStep = pageStep();
        setPageStep(KeyboardPage);
        QScrollBar::keyPressEvent(e);
        setPageStep(mouseStep);
    } else {
        QScrollBar::keyPressEvent(e);
    }
}

SpeedSlider *makeSlider(QWidget *parent, const QString &name, Qt::Orientation orientation,
    const QRect &rect, int minimum, int maximum, int value, bool periodFromMaximum,
    const QString &accessibleName)
{
    auto *slider = new SpeedSlider(orientation, periodFromMaximum, parent);
    slider->setObjectName(name);
    slider->setAccessibleName(accessibleName);
    slider->setGeometry(rect);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(1);
    slider->setPageStep(1);
    slider->setValue(value);
    return slider;
}
