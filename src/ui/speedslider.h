#pragma once

#include <QScrollBar>
#include <QString>

// A speed slider: a standard scroll bar that takes the focus. The arrows move it by one,
// Page Up and Page Down by a hundred, Home and End to its ends; a screen reader reads its value
// as the period in milliseconds it stands for.
class SpeedSlider : public QScrollBar
{
    Q_OBJECT
public:
    static constexpr int KeyboardPage = 100;

    // periodFromMaximum: the period is maximum + 1 - value (the thumb towards the maximum is
    // faster); otherwise it is the value itself.
    SpeedSlider(Qt::Orientation orientation, bool periodFromMaximum, QWidget *parent);

    int periodOf(int value) const;
    int valueOf(int period) const { return periodOf(period); }

protected:
    void keyPressEvent(QKeyEvent *e) override;

private:
    bool m_periodFromMaximum;
};

// A speed slider with a name, a rectangle, its range and first value, moving by one at every
// step of the mouse; accessibleName says what it sets.
SpeedSlider *makeSlider(QWidget *parent, const QString &name, Qt::Orientation orientation,
    const QRect &rect, int minimum, int maximum, int value, bool periodFromMaximum,
    const QString &accessibleName);
