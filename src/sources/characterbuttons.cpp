#include "sources/characterbuttons.h"

#include "mainwindow/form1.h"
#include "mainwindow/geometry.h"
#include "mainwindow/widgets.h"

#include <QApplication>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTextDocument>

namespace {

QString fixedCaption(int slot)
{
    return characterset::predefinedKey(slot);
}

} // namespace

CharacterButtonsPage::CharacterButtonsPage(Form1 &form, QWidget *parent)
    : QWidget(parent)
    , m_form(form)
{
    setObjectName(QStringLiteral("Page1"));
    const auto cell = [](int index) {
        const int c = index % 8;
        const int r = index / 8;
        return twipsRect(120 + 600 * c, 480 + 600 * r, 495, 495);
    };

    const QColor shadow = QApplication::palette().color(QPalette::Dark);
    for (int k = 1; k <= ButtonCount; ++k) {
        const int slot = k - 1;
        auto *b = new QPushButton(slot < FirstUserSlot
                ? fixedCaption(slot)
                : characterset::userDefaultText(slot - FirstUserSlot + 1),
            this);
        b->setObjectName(QStringLiteral("Commanda%1").arg(k));
        b->setGeometry(cell(slot));
        if (slot >= FirstUserSlot) {
            QPalette pal = b->palette();
            pal.setColor(QPalette::Button, shadow);
            b->setPalette(pal);
        }
        connect(b, &QPushButton::clicked, this, [this, k] { Commanda_Click(k); });
        m_buttons[slot] = b;
    }

    const QColor workspace = QApplication::palette().color(QPalette::Mid);
    Command1 = new QPushButton(QStringLiteral("_"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(cell(46));
    Command1->setToolTip(QStringLiteral("Zobrazit prázdný znak"));
    Check1 = new QPushButton(QStringLiteral(","), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(cell(47));
    Check1->setCheckable(true);
    Check1->setToolTip(QStringLiteral("Zobrazit des. čárku"));
    for (QPushButton *b : {Command1, Check1}) {
        QPalette pal = b->palette();
        pal.setColor(QPalette::Button, workspace);
        b->setPalette(pal);
    }

    new LineWidget(
        this, QStringLiteral("Line3"), twipsPoint(120, 1620), twipsPoint(4800, 1620), 1, shadow);
}

void CharacterButtonsPage::Commanda_Click(int k)
{
    m_form.KOdeslani = CharacterPatterns[k - 1];
    m_form.ShowCharacter();
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
    // A name is no mnemonic: "&" stands for itself.
    b->setText(QString(shown).replace(QLatin1Char('&'), QLatin1String("&&")));
}
