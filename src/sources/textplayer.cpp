#include "sources/textplayer.h"

#include "characterset/keytable.h"
#include "sources/pagehost.h"
#include "ui/geometry.h"
#include "ui/widgets.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>

ScaleLabel::ScaleLabel(QWidget *parent, const QString &name)
    : QLabel(QStringLiteral("Min. ' ' ' ' ' ' ' ' ' Max."), parent)
{
    setObjectName(name);
    setTextFormat(Qt::PlainText);
}

void ScaleLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics fm(font());
    const QString minText = QStringLiteral("Min.");
    const QString maxText = QStringLiteral("Max.");
    const int y = (height() + fm.ascent() - fm.descent()) / 2;
    p.drawText(0, y, minText);
    const int maxLeft = width() - fm.horizontalAdvance(maxText);
    p.drawText(maxLeft, y, maxText);
    const int from = fm.horizontalAdvance(minText);
    const int span = maxLeft - from;
    for (int i = 1; i <= 9; ++i)
        p.drawText(from + span * i / 10, y, QStringLiteral("'"));
}

TextPlayerPage::TextPlayerPage(PageHost &host, QWidget *parent)
    : QWidget(parent)
    , m_host(host)
{
    setObjectName(QStringLiteral("Page3"));

    Text1 = new QPlainTextEdit(QStringLiteral("--c-- 2007"), this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(120, 480, 4695, 1815));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab goes on to the next control; a pasted tab character still plays.
    Text1->setTabChangesFocus(true);
    Text1->setAccessibleName(QStringLiteral("Text k přehrání"));
    Text1->verticalScrollBar()->setAccessibleName(QStringLiteral("Posun textu"));
    Text1->horizontalScrollBar()->setAccessibleName(QStringLiteral("Posun textu do stran"));
    connect(Text1, &QPlainTextEdit::textChanged, this, &TextPlayerPage::Text1_Change);

    HScroll1 = makeSlider(this, QStringLiteral("HScroll1"), Qt::Horizontal,
        twipsRect(120, 2400, 4695, 255), 1, 5000, 350, false,
        QStringLiteral("Rychlost generování"));
    connect(HScroll1, &QScrollBar::valueChanged, this, &TextPlayerPage::HScroll1_Change);

    auto *scale = new ScaleLabel(this, QStringLiteral("Label7"));
    scale->setGeometry(twipsRect(120, 2640, 4695, 195));
    scale->setAccessibleName(QStringLiteral("Stupnice: vlevo Min., vpravo Max."));

    Check3 = makeButton(
        this, QStringLiteral("Check3"), QStringLiteral("Play"), twipsRect(120, 2880, 1095, 375));
    Check3->setCheckable(true);
    connect(Check3, &QPushButton::toggled, this, &TextPlayerPage::Check3_Click);
    Command6 = makeButton(this, QStringLiteral("Command6"), QStringLiteral("Pauza"),
        twipsRect(1320, 2880, 1095, 375));
    Command6->setEnabled(false);
    connect(Command6, &QPushButton::clicked, this, &TextPlayerPage::Command6_Click);
    Check4 = makeButton(this, QStringLiteral("Check4"), QStringLiteral("Opakovat"),
        twipsRect(2520, 2880, 1095, 375));
    Check4->setCheckable(true);
    QPushButton *chart = makeButton(this, QStringLiteral("Command7"), QStringLiteral("Znaky"),
        twipsRect(3720, 2880, 1095, 375));
    connect(chart, &QPushButton::clicked, this, &TextPlayerPage::keyChartRequested);

    Label8 = makeLabel(
        this, QStringLiteral("Label8"), QStringLiteral("-"), twipsRect(3840, 3240, 1020, 555));
    Label8->setFont(boldFont(Label8->font(), 24));
    Label8->setAlignment(Qt::AlignCenter);
    // Label9 and Label10 as wide as Label6 (drawn 1215 and 1320 twips) so that lengths and
    // positions of four digits and more fit.
    Label9 = makeLabel(this, QStringLiteral("Label9"), QStringLiteral("Počet znaků : 10"),
        twipsRect(120, 3360, 2115, 195));
    Label10 = makeLabel(this, QStringLiteral("Label10"), QStringLiteral("Odesílaný znak : 0"),
        twipsRect(120, 3600, 2115, 195));
    Label6 = makeLabel(this, QStringLiteral("Label6"),
        QStringLiteral("Rychlost generování : 350 ms"), twipsRect(120, 3840, 2115, 195));
    const QColor face = colors::Face;
    for (QLabel *l : {static_cast<QLabel *>(scale), Label8, Label9, Label10, Label6})
        paintBackground(l, face);

    auto *lampFrame = new ShapeWidget(this, QStringLiteral("Shape5"), colors::Maroon);
    lampFrame->setGeometry(twipsRect(3840, 3840, 975, 255));
    Shape4 = new ShapeWidget(this, QStringLiteral("Shape4"), colors::Maroon, colors::Red);
    Shape4->setGeometry(twipsRect(3840, 3840, 975, 255));
    Shape4->setAccessibleName(QStringLiteral("Kontrolka přehrávání"));

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setTimerType(Qt::PreciseTimer);
    Timer2->setInterval(350);
    connect(Timer2, &QTimer::timeout, this, &TextPlayerPage::Timer2_Timer);
}

int TextPlayerPage::measureText()
{
    // The raw text, not toPlainText(), which turns a non-breaking space into a space. Lines
    // (Enter) and line breaks inside a line (Shift+Enter) both count as CR LF.
    const QList<uint> codePoints = Text1->document()->toRawText().toUcs4();
    m_text.clear();
    m_text.reserve(codePoints.size());
    for (uint c : codePoints) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            m_text.push_back(U'\r');
            m_text.push_back(U'\n');
        } else {
            m_text.push_back(c);
        }
    }
    return static_cast<int>(m_text.size());
}

void TextPlayerPage::showLength()
{
    Label9->setText(QStringLiteral("Pocet znaku : ") + QString::number(TextLength));
}

void TextPlayerPage::stop()
{
    Timer2->stop();
}

void TextPlayerPage::syncPauseButton()
{
    Command6->setEnabled(Check3->isChecked());
}

void TextPlayerPage::rewind()
{
    TextLength = measureText();
    CharactersLeft = TextLength;
    showLength();
}

void TextPlayerPage::Text1_Change()
{
    TextLength = measureText();
    showLength();
}

void TextPlayerPage::HScroll1_Change()
{
    Label6->setText(QStringLiteral("Rychlost generování : %1 ms").arg(HScroll1->value()));
    Timer2->setInterval(HScroll1->value());
}

void TextPlayerPage::Check3_Click()
{
    if (Check3->isChecked()) {
        Check3->setText(QStringLiteral("Stop"));
        Timer2->start();
        Text1->setEnabled(false);
        Command6->setEnabled(true);
        Command6->setText(QStringLiteral("Pauza"));
    } else {
        Check3->setText(QStringLiteral("Play"));
        Timer2->stop();
        Text1->setEnabled(true);
        Command6->setEnabled(false);
    }
    TextLength = measureText();
    CharactersLeft = TextLength;
    if (!Check3->isChecked())
        emit playEnded();
}

void TextPlayerPage::play(const QString &text, int ms, bool loop)
{
    Text1->setPlainText(text);
    HScroll1->setValue(ms);
    Check4->setChecked(loop);
    Check3->setChecked(true);
}

void TextPlayerPage::endPlay()
{
    if (Check3->isChecked())
        Check3->setChecked(false);
}

bool TextPlayerPage::isPlaying() const
{
    return Check3->isChecked();
}

bool TextPlayerPage::isTicking() const
{
    return Timer2->isActive();
}

void TextPlayerPage::Command6_Click()
{
    if (Timer2->isActive())
        Timer2->stop();
    else
        Timer2->start();
    Command6->setText(Timer2->isActive() ? QStringLiteral("Pauza") : QStringLiteral("Pokračovat"));
}

void TextPlayerPage::Timer2_Timer()
{
    if (m_host.Smod != 3)
        return;
    if (CharactersLeft <= 0) {
        if (!Check4->isChecked()) {
            Timer2->stop();
            Text1->setEnabled(true);
            Check3->setChecked(false); // runs Check3_Click, nested
        }
        CharactersLeft = TextLength;
    }
    Shape4->setHidden(!Shape4->isHidden());
    CharactersLeft -= 1;
    const int p = TextLength - CharactersLeft;
    QString typed;
    if (p >= 1 && p <= static_cast<int>(m_text.size())) {
        const char32_t c = m_text[p - 1];
        typed = QString::fromUcs4(&c, 1);
    }
    if (!typed.isEmpty()) {
        if (auto pattern = playedPattern(typed.toLower(), CharacterPatterns))
            m_host.KOdeslani = *pattern;
    }
    Label8->setText(typed);
    Label10->setText(QStringLiteral("Odesílaný znak : ") + QString::number(p));
    if (const int n = userCharacterNumber(typed))
        Label8->setText(m_host.BText[n - 1]);
    m_host.ShowCharacter();
}
