#include "sources/characterbuttons.h"

#include "sources/pagehost.h"
#include "ui/geometry.h"
#include "ui/widgets.h"

#include <QPushButton>
#include <QStyleOptionButton>
#include <QTextDocument>

CharacterButtonsPage::CharacterButtonsPage(PageHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("Page1"));
    const auto cell = [](int index) {
        const int c = index % 8;
        const int r = index / 8;
        return twipsRect(120 + 600 * c, 480 + 600 * r, 495, 495);
    };

    const QColor shadow = colors::ButtonShadow;
    for (int k = 1; k <= ButtonCount; ++k) {
        const int slot = k - 1;
        QPushButton *b = makeButton(this, QStringLiteral("Commanda%1").arg(k),
            slot < FirstUserSlot ? characterset::predefinedKey(slot)
                                 : characterset::userDefaultText(slot - FirstUserSlot + 1),
            cell(slot));
        if (slot >= FirstUserSlot) {
            paintButtonFace(b, shadow);
            b->setAccessibleDescription(
                QStringLiteral("Uživatelský znak %1").arg(slot - FirstUserSlot + 1));
        }
        connect(b, &QPushButton::clicked, this, [this, k] { Commanda_Click(k); });
        m_buttons[slot] = b;
    }

    const QColor workspace = colors::AppWorkspace;
    QPushButton *blank = makeButton(this, QStringLiteral("Command1"), QStringLiteral("_"), cell(46),
        QStringLiteral("Zobrazit prázdný znak"));
    connect(blank, &QPushButton::clicked, this, &CharacterButtonsPage::Command1_Click);
    QPushButton *point = makeButton(this, QStringLiteral("Check1"), QStringLiteral(","), cell(47),
        QStringLiteral("Zobrazit des. čárku"));
    point->setCheckable(true);
    blank->setAccessibleName(QStringLiteral("Prázdný znak"));
    point->setAccessibleName(QStringLiteral("Desetinná čárka"));
    connect(point, &QPushButton::toggled, this, &CharacterButtonsPage::decimalPointChanged);
    for (QPushButton *b : {blank, point})
        paintButtonFace(b, workspace);

    new LineWidget(
        this, QStringLiteral("Line3"), twipsPoint(120, 1620), twipsPoint(4800, 1620), 1, shadow);

    // A typed digit or letter, in either case, shows its character as its button does.
    handleTypedKeys(this, [this](QChar typed) {
        const char16_t c = typed.toUpper().unicode();
        const int k = c >= u'0' && c <= u'9' ? c - u'0' + 1
            : c >= u'A' && c <= u'Z'         ? c - u'A' + FirstLetterSlot + 1
                                             : 0;
        if (k)
            m_buttons[k - 1]->click();
        return k != 0;
    });
}

void CharacterButtonsPage::Commanda_Click(int k)
{
    m_host.KOdeslani = CharacterPatterns[k - 1];
    m_host.ShowCharacter();
}

void CharacterButtonsPage::Command1_Click()
{
    m_host.KOdeslani = BlankPattern;
    m_host.ShowCharacter();
}

void CharacterButtonsPage::setUserCaption(int n, const QString &name)
{
    QPushButton *b = Commanda(FirstUserSlot + n);
    // Names of up to nine characters must be readable on the small square: a name too wide for
    // the page's font is set smaller, down to a legible size, and only below that cut short.
    QStyleOptionButton option;
    option.initFrom(b);
    // A pixel clear of the frame on either side.
    const int room
        = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b).width() - 2;
    QFont caption = font();
    QString shown = name;
    for (int pixels = QFontInfo(caption).pixelSize(); pixels >= SmallestCaptionPixels; --pixels) {
        caption.setPixelSize(pixels);
        if (QFontMetrics(caption).horizontalAdvance(name) <= room)
            break;
    }
    const QFontMetrics fm(caption);
    if (fm.horizontalAdvance(name) > room)
        shown = fm.elidedText(name, Qt::ElideRight, room);
    // An unchanged font is left to the page, so the button follows it.
    b->setFont(caption == font() ? QFont() : caption);
    // A tooltip reads markup: the name is put in as plain text.
    b->setToolTip(shown == name ? QString() : Qt::convertFromPlainText(name, Qt::WhiteSpaceNoWrap));
    // A screen reader reads the whole name.
    b->setAccessibleName(name);
    // A name is no mnemonic: "&" stands for itself.
    b->setText(QString(shown).replace(QLatin1Char('&'), QLatin1String("&&")));
}
