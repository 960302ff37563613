#include "sources/segmenteditor.h"

#include "mainwindow/form1.h"
#include "mainwindow/geometry.h"
#include "mainwindow/widgets.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace {

struct HotSpotPlace
{
    int left, top, width, height;
};

// Image3 ... Image10 over segments a ... h of the slanted digit.
constexpr HotSpotPlace HotSpotPlaces[8] = {
    {1080, 600, 1335, 375},
    {2160, 960, 375, 1095},
    {1920, 2520, 375, 1095},
    {600, 3600, 1215, 375},
    {360, 2400, 495, 1215},
    {600, 960, 495, 1095},
    {840, 2040, 1215, 495},
    {2760, 3600, 375, 375},
};

const char *const SegmentLetters = "ABCDEFGH";

} // namespace

SegmentEditorPage::SegmentEditorPage(Form1 &form, QWidget *parent)
    : QWidget(parent)
    , m_form(form)
{
    setObjectName(QStringLiteral("Page2"));
    const QRect digit = twipsRect(240, 600, 3000, 3390);
    Image2 = new SvgPicture(
        QStringLiteral(":/pictures/editor-digit.svg"), this, QStringLiteral("Image2"));
    Image2->setGeometry(digit);
    for (int i = 0; i < 8; ++i) {
        const QChar letter = QLatin1Char(SegmentLetters[i]);
        overlays[i]
            = new SvgPicture(QStringLiteral(":/pictures/editor-%1.svg").arg(letter.toLower()), this,
                QStringLiteral("Image%11").arg(letter));
        overlays[i]->setGeometry(digit);
        overlays[i]->hide();
    }
    for (int i = 0; i < 8; ++i) {
        const HotSpotPlace &p = HotSpotPlaces[i];
        hotSpots[i] = new HotSpot(this, QStringLiteral("Image%1").arg(i + 3));
        hotSpots[i]->setGeometry(twipsRect(p.left, p.top, p.width, p.height));
        connect(hotSpots[i], &HotSpot::clicked, this, [this, i] { Image_Click(i); });
    }

    Command2 = new QPushButton(QStringLiteral("Uložit znak"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(twipsRect(3240, 720, 1455, 375));
    Command2->setToolTip(QStringLiteral("Uloží znak v náhledu"));
    connect(Command2, &QPushButton::clicked, &m_form, &Form1::Command2_Click);

    Command5 = new QPushButton(QStringLiteral("Náhodný znak"), this);
    Command5->setObjectName(QStringLiteral("Command5"));
    Command5->setGeometry(twipsRect(3240, 1320, 1455, 375));
    connect(Command5, &QPushButton::clicked, this, &SegmentEditorPage::Command5_Click);

    // Wider than drawn (1260 twips) so that "Náhodný znak : 255" is not cut off.
    Label3 = makeLabel(this, QStringLiteral("Label3"), QStringLiteral("Náhodný znak : 0"),
        twipsRect(3240, 1800, 1575, 195));
    // On the dark red page the default black text could hardly be read.
    setTextColor(Label3, Qt::white);

    Frame1 = new QGroupBox(QStringLiteral("Náhodné gener."), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(3240, 2160, 1575, 1815));
    paintBackground(Frame1, QApplication::palette().color(QPalette::Window));

    Check2 = new QPushButton(QStringLiteral("ZAP"), Frame1);
    Check2->setObjectName(QStringLiteral("Check2"));
    Check2->setCheckable(true);
    Check2->setGeometry(twipsRect(120, 240, 1335, 375));
    connect(Check2, &QPushButton::toggled, this, &SegmentEditorPage::Check2_Click);

    // Label4 and Label5 reach to the slider (drawn 510 and 600 twips wide) so that "1996 ms"
    // and "Znak : 255" fit.
    Label4 = makeLabel(
        Frame1, QStringLiteral("Label4"), QStringLiteral("100 ms"), twipsRect(120, 720, 1035, 195));

    VScroll1 = new QScrollBar(Qt::Vertical, Frame1);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setGeometry(twipsRect(1200, 720, 255, 975));
    VScroll1->setRange(5, 2000);
    VScroll1->setSingleStep(1);
    VScroll1->setPageStep(1);
    VScroll1->setValue(1905);
    connect(VScroll1, &QScrollBar::valueChanged, this, &SegmentEditorPage::VScroll1_Change);

    Label5 = makeLabel(Frame1, QStringLiteral("Label5"), QStringLiteral("Znak : 0"),
        twipsRect(120, 1080, 1035, 195));

    Shape3 = new ShapeWidget(Frame1, QStringLiteral("Shape3"), colors::Maroon);
    Shape3->setGeometry(twipsRect(120, 1440, 975, 255));
    Shape2 = new ShapeWidget(Frame1, QStringLiteral("Shape2"), Qt::black, colors::Red);
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
    SvgPicture *overlay = overlays[i];
    // isHidden(), not isVisible(): the state is the overlay's own, whichever page is in front.
    overlay->setHidden(!overlay->isHidden());
    m_form.JednoSeg[i] = overlay->isHidden() ? u'0' : u'1';
    m_form.KOdeslani = m_form.JednoSeg;
    m_form.ShowCharacter();
}

QString SegmentEditorPage::patternOfNumber(int number)
{
    QString pattern = QStringLiteral("00000000");
    for (int k = 7; k >= 0; --k)
        pattern[7 - k] = (number >> k) % 2 ? u'1' : u'0';
    return pattern;
}

void SegmentEditorPage::drawRandom(QLabel *label, const QString &prefix)
{
    RandomNumber = static_cast<int>(m_form.environment().random->draw() * 256);
    label->setText(prefix + QString::number(RandomNumber));
    m_form.KOdeslani = patternOfNumber(RandomNumber);
    m_form.ShowCharacter();
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
    if (m_form.Smod != 2)
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
