// The random generator of the segment-editor page: one random pattern on request ("Náhodný
// znak"), or a new one at every tick of its timer while it is switched on and its page is in
// front.
#pragma once

#include <QObject>

class PageHost;
class RandomSource;
class QLabel;
class QPushButton;
class SpeedSlider;
class SteadyTimer;
class QWidget;
class ShapeWidget;

class RandomGenerator : public QObject
{
    Q_OBJECT
public:
    // Places its controls on the page.
    RandomGenerator(PageHost &host, RandomSource &random, QWidget *page);

    void Command5_Click();
    void Check2_Click();
    void Timer1_Timer();
    void VScroll1_Change();

    // The eight bits of a number 0 ... 255, weight 128 first.
    static QString patternOfNumber(int number);

private:
    void drawRandom(QLabel *label, const QString &prefix);
    void coverBackdrop();

    PageHost &m_host;
    RandomSource &m_random;
    int RandomNumber = 0;
    QLabel *Label3 = nullptr;
    QPushButton *Check2 = nullptr;
    QLabel *Label4 = nullptr;
    SpeedSlider *VScroll1 = nullptr;
    QLabel *Label5 = nullptr;
    ShapeWidget *Shape2 = nullptr;
    ShapeWidget *Shape3 = nullptr;
    SteadyTimer *Timer1 = nullptr;
};
