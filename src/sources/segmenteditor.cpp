#include "sources/segmenteditor.h"

#include "sources/pagehost.h"
#include "sources/randomgenerator.h"
#include "ui/geometry.h"
#include "ui/widgets.h"

#include <QPushButton>

SegmentEditorPage::SegmentEditorPage(PageHost &host, RandomSource &random, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("Page2"));
    m_digit = new DigitPreview(QStringLiteral("editor"), PatternLength, this,
        QStringLiteral("Image2"), QStringLiteral("Image%11"));
    m_digit->setGeometry(twipsRect(240, 600, 3000, 3390));
    m_digit->setAccessibleName(QStringLiteral("Složený znak"));
    for (int i = 0; i < PatternLength; ++i) {
        const auto &[left, top, width, height] = HotSpotPlaces[i];
        auto *spot = new HotSpot(this, QStringLiteral("Image%1").arg(i + 3),
            QStringLiteral("Segment %1").arg(QLatin1Char(SegmentLetters[i])));
        spot->setGeometry(twipsRect(left, top, width, height));
        connect(spot, &HotSpot::clicked, this, [this, i] { Image_Click(i); });
        m_spots[i] = spot;
    }
    // Keys a ... g switch segments a ... g, h the point, as a click on the segment does.
    handleTypedKeys(this, [this](QChar typed) {
        const int i = typed.toLower().unicode() - u'a';
        if (i < 0 || i >= PatternLength)
            return false;
        m_spots[i]->click();
        return true;
    });

    QPushButton *save = makeButton(this, QStringLiteral("Command2"), QStringLiteral("Uložit znak"),
        twipsRect(3240, 720, 1455, 375), QStringLiteral("Uloží znak v náhledu"));
    connect(save, &QPushButton::clicked, this, &SegmentEditorPage::saveRequested);

    m_generator = new RandomGenerator(host, random, this);
}

void SegmentEditorPage::Image_Click(int i)
{
    // The digit's own state is the truth, whichever page is in front.
    m_digit->setLit(i, !m_digit->isLit(i));
    m_spots[i]->setChecked(m_digit->isLit(i));
    m_host.JednoSeg[i] = m_digit->isLit(i) ? u'1' : u'0';
    m_host.KOdeslani = m_host.JednoSeg;
    m_host.ShowCharacter();
}

void SegmentEditorPage::compose(const QString &pattern)
{
    m_digit->setPattern(pattern);
    for (int i = 0; i < PatternLength; ++i) {
        m_spots[i]->setChecked(m_digit->isLit(i));
        m_host.JednoSeg[i] = m_digit->isLit(i) ? u'1' : u'0';
    }
}
