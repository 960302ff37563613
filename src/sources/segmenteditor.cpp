#include "sources/segmenteditor.h"

#include "effects/randomsource.h"
#include "sources/pagehost.h"
#include "ui/geometry.h"
#include "ui/widgets.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace {

// Image3 ... Image10 over segments a ... h of the slanted digit, in twips.
constexpr int HotSpotPlaces[8][4] = {
    {1080, 600, 1335, 375},
    {2160, 960, 375, 1095},
    {1920, 2520, 375, 1095},
    {600, 3600, 1215, 375},
    {360, 2400, 495, 1215},
    {600, 960, 495, 1095},
    {840, 2040, 1215, 495},
    {2760, 3600, 375, 375},
};

} // namespace

SegmentEditorPage::SegmentEditorPage(PageHost &host, RandomSource &random, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
    , m_random(random)
{
    setObjectName(QStringLiteral("Page2"));
    const QRect digit = twipsRect(240, 600, 3000, 3390);
    auto *ground = new SvgPicture(
        QStringLiteral(":/pictures/editor-digit.svg"), this, QStringLiteral("Image2"));
    ground->setGeometry(digit);
    for (int i = 0; i < 8; ++i) {
        const QChar letter = QLatin1Char(SegmentLetters[i]);
        m_overlays[i] = new SvgPicture(QStringLiteral(":/pictures/editor-%1.svg").arg(letter), this,
            QStringLiteral("Image%11").arg(letter.toUpper()));
        m_overlays[i]->setGeometry(digit);
        m_overlays[i]->hide();
    }
    for (int i = 0; i < 8; ++i) {
        const auto &[left, top, width, height] = HotSpotPlaces[i];
        auto *spot = new HotSpot(this, QStringLiteral("Image%1").arg(i + 3));
        spot->setGeometry(twipsRect(left, top, width, height));
        connect(spot, &HotSpot::clicked, this, [this, i] { Image_Click(i); });
    }

    QPushButton *save = makeButton(this, QStringLiteral("Command2"), QStringLiteral("Uložit znak"),
        twipsRect(3240, 720, 1455, 375), QStringLiteral("Uloží znak v náhledu"));
    connect(save, &QPushButton::clicked, this, &SegmentEditorPage::saveRequested);
    QPushButton *draw = makeButton(this, QStringLiteral("Command5"), QStringLiteral("Náhodný znak"),
        twipsRect(3240, 1320, 1455, 375));
    connect(draw, &QPushButton::clicked, this, &SegmentEditorPage::Command5_Click);

    // Wider than drawn (1260 twips) so that "Náhodný znak : 255" is not cut off; white, since
    // the default black could hardly be read on the dark red page.
    Label3 = makeLabel(this, QStringLiteral("Label3"), QStringLiteral("Náhodný znak : 0"),
        twipsRect(3240, 1800, 1575, 195), Qt::white);

    auto *frame = new QGroupBox(QStringLiteral("Náhodné gener."), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(twipsRect(3240, 2160, 1575, 1815));
    paintBackground(frame, QApplication::palette().color(QPalette::Window));

    Check2 = makeButton(
        frame, QStringLiteral("Check2"), QStringLiteral("ZAP"), twipsRect(120, 240, 1335, 375));
    Check2->setCheckable(true);
    connect(Check2, &QPushButton::toggled, this, &SegmentEditorPage::Check2_Click);

    // Label4 and Label5 reach to the slider (drawn 510 and 600 twips wide) so that "1996 ms"
    // and "Znak : 255" fit.
    Label4 = makeLabel(
        frame, QStringLiteral("Label4"), QStringLiteral("100 ms"), twipsRect(120, 720, 1035, 195));

    VScroll1 = new QScrollBar(Qt::Vertical, frame);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(twipsRect(1200, 720, 255, 975));
    VScroll1->setRange(5, 2000);
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(1);
    VScroll1->setValue(1905);
    connect(VScroll1, &QScrollBar::valueChanged, this, &SegmentEditorPage::VScroll1_Change);

    Label5 = makeLabel(frame, QStringLiteral("Label5"), QStringLiteral("Znak : 0"),
        twipsRect(120, 1080, 1035, 195));

    auto *lampFrame = new ShapeWidget(frame, QStringLiteral("Shape3"), colors::Maroon);
    lampFrame->setGeometry(twipsRect(120, 1440, 975, 255));
    Shape2 = new ShapeWidget(frame, QStringLiteral("Shape2"), Qt::black, colors::Red);
    Shape2->setGeometry(twipsRect(120, 1440, 975, 255));
    Shape2->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &SegmentEditorPage::Timer1_Timer);
}

void SegmentEditorPage::Image_Click(int i)
{
    SvgPicture *overlay = m_overlays[i];
    // isHidden(), not isVisible(): the state is the overlay's own, whichever page is in front.
    overlay->setHidden(!overlay->isHidden());
    m_host.JednoSeg[i] = overlay->isHidden() ? u'0' : u'1';
    m_host.KOdeslani = m_host.JednoSeg;
    m_host.ShowCharacter();
}

QString SegmentEditorPage::patternOfNumber(int number)
{
    QString pattern = BlankPattern;
    for (int k = 7; k >= 0; --k)
        pattern[7 - k] = (number >> k) % 2 ? u'1' : u'0';
    return pattern;
}

void SegmentEditorPage::drawRandom(QLabel *label, const QString &prefix)
{
    RandomNumber = static_cast<int>(m_random.draw() * 256);
    label->setText(prefix + QString::number(RandomNumber));
    m_host.KOdeslani = patternOfNumber(RandomNumber);
    m_host.ShowCharacter();
}

void SegmentEditorPage::Command5_Click()
{
    drawRandom(Label3, QStringLiteral("Náhodný znak : "));
}

void SegmentEditorPage::Check2_Click()
{
    if (Timer1->isActive())
        Timer1->stop();
    else
        Timer1->start();
}

void SegmentEditorPage::Timer1_Timer()
{
    if (m_host.Smod != 2)
        return;
    Shape2->setHidden(!Shape2->isHidden());
    drawRandom(Label5, QStringLiteral("Znak : "));
}

void SegmentEditorPage::VScroll1_Change()
{
    const int period = 2001 - VScroll1->value();
    Label4->setText(QString::number(period) + QStringLiteral(" ms"));
    Timer1->setInterval(period);
}
