#include "sources/randomgenerator.h"

#include "effects/randomsource.h"
#include "sources/pagehost.h"
#include "ui/geometry.h"
#include "ui/widgets.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

RandomGenerator::RandomGenerator(PageHost &host, RandomSource &random, QWidget *page)
    : QObject(page)
    , m_host(host)
    , m_random(random)
{
    setObjectName(QStringLiteral("RandomGenerator"));
    QPushButton *draw = makeButton(page, QStringLiteral("Command5"), QStringLiteral("Náhodný znak"),
        twipsRect(3240, 1320, 1455, 375));
    connect(draw, &QPushButton::clicked, this, &RandomGenerator::Command5_Click);

    // Wider than drawn (1260 twips) so that "Náhodný znak : 255" is not cut off; white, since
    // the default black could hardly be read on the dark red page.
    Label3 = makeLabel(page, QStringLiteral("Label3"), QStringLiteral("Náhodný znak : 0"),
        twipsRect(3240, 1800, 1575, 195), Qt::white);

    auto *frame = new QGroupBox(QStringLiteral("Náhodné gener."), page);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(twipsRect(3240, 2160, 1575, 1815));
    paintBackground(frame, colors::Face);

    Check2 = makeButton(
        frame, QStringLiteral("Check2"), QStringLiteral("ZAP"), twipsRect(120, 240, 1335, 375));
    Check2->setCheckable(true);
    connect(Check2, &QPushButton::toggled, this, &RandomGenerator::Check2_Click);

    // Label4 and Label5 reach to the slider (drawn 510 and 600 twips wide) so that "1996 ms"
    // and "Znak : 255" fit.
    Label4 = makeLabel(
        frame, QStringLiteral("Label4"), QStringLiteral("100 ms"), twipsRect(120, 720, 1035, 195));

    VScroll1 = makeSlider(frame, QStringLiteral("VScroll1"), Qt::Vertical,
        twipsRect(1200, 720, 255, 975), 5, 2000, 1905, true,
        QStringLiteral("Rychlost náhodného generátoru"));
    connect(VScroll1, &QScrollBar::valueChanged, this, &RandomGenerator::VScroll1_Change);

    Label5 = makeLabel(frame, QStringLiteral("Label5"), QStringLiteral("Znak : 0"),
        twipsRect(120, 1080, 1035, 195));

    Shape3 = new ShapeWidget(frame, QStringLiteral("Shape3"), colors::Maroon);
    Shape3->setGeometry(twipsRect(120, 1440, 975, 255));
    Shape2 = new ShapeWidget(frame, QStringLiteral("Shape2"), Qt::black, colors::Red);
    Shape2->setGeometry(twipsRect(120, 1440, 975, 255));
    Shape2->setAccessibleName(QStringLiteral("Kontrolka generátoru"));
    Shape2->hide();

    Timer1 = new SteadyTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &RandomGenerator::Timer1_Timer);
}

QString RandomGenerator::patternOfNumber(int number)
{
    QString pattern = BlankPattern;
    for (int k = 7; k >= 0; --k)
        pattern[7 - k] = (number >> k) % 2 ? u'1' : u'0';
    return pattern;
}

void RandomGenerator::drawRandom(QLabel *label, const QString &prefix)
{
    RandomNumber = static_cast<int>(m_random.draw() * 256);
    label->setText(prefix + QString::number(RandomNumber));
    m_host.KOdeslani = patternOfNumber(RandomNumber);
    m_host.ShowCharacter();
}

void RandomGenerator::Command5_Click()
{
    drawRandom(Label3, QStringLiteral("Náhodný znak : "));
}

void RandomGenerator::Check2_Click()
{
    if (Timer1->isActive()) {
        Timer1->stop();
    } else {
        coverBackdrop();
        Timer1->start();
    }
}

void RandomGenerator::coverBackdrop()
{
    // Every tick rewrites Label5 and blinks the lamp. Transparent, each would repaint the frame
    // beneath it; filled with the one colour the frame has there, they repaint themselves alone
    // and look the same. Looked at anew at each start, as the style or its colours may change.
    const QColor underLabel = backdropColor(Label5);
    if (underLabel.isValid())
        paintBackground(Label5, underLabel);
    else
        Label5->setAutoFillBackground(false);
    const QColor underLamp = backdropColor(Shape3);
    Shape3->setFill(underLamp.isValid() ? underLamp : QColor(Qt::transparent));
}

void RandomGenerator::Timer1_Timer()
{
    if (m_host.Smod != 2)
        return;
    Shape2->setHidden(!Shape2->isHidden());
    drawRandom(Label5, QStringLiteral("Znak : "));
}

void RandomGenerator::VScroll1_Change()
{
    const int period = 2001 - VScroll1->value();
    Label4->setText(QString::number(period) + QStringLiteral(" ms"));
    Timer1->setInterval(period);
}
