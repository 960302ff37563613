#include "usercharacters/form2.h"

#include "characterset/characterset.h"
#include "characterset/datafile.h"
#include "characterset/profile.h"
#include "display/transfer.h"
#include "effects/messages.h"
#include "effects/outsidetext.h"
#include "ui/widgets.h"

#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QValidator>

namespace {

// Takes only what the character-set file can hold.
class StorableValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        return profile::isStorable(input) ? Acceptable : Invalid;
    }
};

QLabel *whiteLabel(QWidget *parent, const QString &name, const QString &text, const QRect &rect)
{
    QLabel *label = makeLabel(parent, name, text, rect, Qt::white);
    label->setFont(boldFont(label->font()));
    return label;
}

const QString FailedSave = QStringLiteral("Chyba: znak nebyl uložen (Data.ini nelze zapsat)");
const QString FailedReset = QStringLiteral("Chyba: znaky nebyly vymazány (Data.ini nelze zapsat)");

} // namespace

Form2::Form2(std::function<QString()> currentPattern, QString dataFile, MessageSink &messages,
    QWidget *parent)
    : QDialog(parent)
    , m_pattern(std::move(currentPattern))
    , m_dataFile(std::move(dataFile))
    , m_messages(messages)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Uložit znak"));
    setWindowFlags(
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(330, 250);
    useProgramLook(this);
    paintBackground(this, colors::DarkRed);
    // The windows' face, a size larger: the layout holds whatever the desktop's font.
    QFont face = windowFont();
    face.setPixelSize(12);
    setFont(face);

    // Upper left: the preview.
    whiteLabel(this, QStringLiteral("Label1"), QStringLiteral("Náhled znaku :"), {8, 8, 100, 16});
    // Without the point: a user character is saved without it.
    Image1 = new DigitPreview(QStringLiteral("editor"), PatternLength - 1, this,
        QStringLiteral("Image1"), QStringLiteral("Image%1"));
    Image1->setGeometry(12, 30, 88, 100);
    Image1->setAccessibleName(QStringLiteral("Náhled znaku"));
    new LineWidget(this, QStringLiteral("Line1"), {114, 0}, {114, 140}, 1, colors::LightRed);

    // Upper right: the pattern text, the name and the status.
    whiteLabel(this, QStringLiteral("Label2"), QStringLiteral("Data znaku :"), {124, 8, 200, 16});
    Label3
        = makeLabel(this, QStringLiteral("Label3"), BlankPattern, {124, 26, 200, 16}, colors::Red);
    Label3->setFont(boldFont(Label3->font()));
    QLabel *nameLabel = whiteLabel(
        this, QStringLiteral("Label4"), QStringLiteral("Jméno znaku :"), {124, 50, 200, 16});
    Text1 = new QLineEdit(QStringLiteral("[1]"), this);
    nameLabel->setBuddy(Text1); // the field's name for a screen reader
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(124, 68, 96, 28);
    Text1->setValidator(new StorableValidator(Text1));
    QPalette pal = Text1->palette();
    pal.setColor(QPalette::Base, colors::DarkRed);
    pal.setColor(QPalette::Text, colors::Red);
    Text1->setPalette(pal);
    QFont big = boldFont(Text1->font());
    big.setPixelSize(16);
    Text1->setFont(big);
    connect(Text1, &QLineEdit::textChanged, this, &Form2::Text1_Change);
    // Down to the line: room for three lines, the longest message takes two.
    Label6 = whiteLabel(this, QStringLiteral("Label6"), QStringLiteral("..."), {124, 98, 200, 42});
    Label6->setWordWrap(true);
    Label6->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Lower area: the slots, RESET and ZAVŘÍT, in this order after the name for the keyboard.
    new LineWidget(this, QStringLiteral("Line2"), {0, 142}, {330, 142}, 1, colors::LightRed);
    whiteLabel(this, QStringLiteral("Label5"), QStringLiteral("Uložit jako :"), {8, 150, 200, 16});
    for (int n = 1; n <= UserCharacterCount; ++n) {
        const QString action = QStringLiteral("Uložit do %1").arg(n);
        auto *slot = new PictureButton(QStringLiteral(":/pictures/slot%1.svg").arg(n), this,
            QStringLiteral("Image%1").arg(n + 1), action);
        slot->setGeometry(8 + 38 * ((n - 1) % 5), 170 + 38 * ((n - 1) / 5), 32, 32);
        slot->setCursor(Qt::PointingHandCursor);
        slot->setToolTip(action);
        connect(slot, &PictureButton::clicked, this, [this, n] { Image_Click(n); });
    }
    auto *reset = new PictureButton(QStringLiteral(":/pictures/reset.svg"), this,
        QStringLiteral("Image12"), QStringLiteral("Vymazat všechny uživatelské znaky"));
    reset->setGeometry(208, 170, 110, 32);
    auto *close = new PictureButton(QStringLiteral(":/pictures/close.svg"), this,
        QStringLiteral("Image13"), QStringLiteral("Zavřít"));
    close->setGeometry(208, 208, 110, 32);
    for (PictureButton *p : {reset, close})
        p->setCursor(Qt::PointingHandCursor);
    connect(reset, &PictureButton::clicked, this, &Form2::Image12_Click);
    connect(close, &PictureButton::clicked, this, &Form2::Image13_Click);

    Form_Load();
}

void Form2::Form_Load()
{
    const QString pattern = m_pattern();
    Label3->setText(pattern.left(7) + QLatin1Char('0'));
    Image1->setPattern(pattern);
}

void Form2::Text1_Change()
{
    if (Text1->text().size() > NameLength)
        Text1->setText(Text1->text().left(NameLength));
}

void Form2::Image_Click(int n)
{
    // An empty name would leave the button without a caption: it stores the slot's own
    // default name instead.
    const QString name = Text1->text().isEmpty() ? characterset::userDefaultText(n) : Text1->text();
    const bool saved
        = save({{characterset::userTextKey(n), name}, {characterset::userDataKey(n), m_pattern()}});
    Label6->setText(saved ? QStringLiteral("Znak uložen do %1").arg(n) : FailedSave);
}

void Form2::Image12_Click()
{
    const MessageAnswer answer = m_messages.show(this, QStringLiteral("Pravlon"),
        QStringLiteral("Opravdu chcete vymazat všechny uživatelské znaky?"), MessageIcon::None,
        MessageButtons::YesNo);
    if (answer != MessageAnswer::Yes)
        return;
    QList<std::pair<QString, QString>> entries;
    for (int n = 1; n <= UserCharacterCount; ++n) {
        entries.append({characterset::userTextKey(n), characterset::userDefaultText(n)});
        entries.append({characterset::userDataKey(n), ResetPattern});
    }
    const bool done = save(entries);
    Label6->setText(done ? QStringLiteral("Uživatelské znaky vymazány") : FailedReset);
}

bool Form2::save(const QList<std::pair<QString, QString>> &entries)
{
    bool saved = false;
    QString why;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        saved = datafile::write(QStringLiteral("User"), entries, m_dataFile);
        why = datafile::lastFailure();
    }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    // Painting, timers and commands go on; clicks and keys wait, so that no second save starts.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    Label6->setToolTip(saved ? QString() : cleanOutsideText(why, 400));
    return saved;
}

void Form2::Image13_Click()
{
    reject();
}
