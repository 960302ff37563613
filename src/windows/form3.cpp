#include "windows/form3.h"

#include "characterset/characterset.h"
#include "ui/geometry.h"
#include "ui/texts.h"
#include "ui/widgets.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QPushButton>
#include <QUrl>
#include <tuple>

Form3::Form3(Environment &environment, QString dataFile, QWidget *parent)
    : QDialog(parent)
    , m_env(environment)
    , m_dataFile(std::move(dataFile))
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsSize(3855, 3495));
    useProgramLook(this);
    paintBackground(this, colors::DarkRed);
    setFont(windowFont());

    // The pictures change places; what they do stays with the control.
    Image1 = new PictureButton(QStringLiteral(":/pictures/icon.svg"), this,
        QStringLiteral("Image1"), QStringLiteral("Prohodit obrázky"));
    Image1->setGeometry(twipsRect(120, 120, 480, 480));
    Image2 = new PictureButton(QStringLiteral(":/pictures/figure.svg"), this,
        QStringLiteral("Image2"), QStringLiteral("Otevřít stránky ") + MakerWebAddress);
    Image2->setGeometry(twipsRect(3240, 120, 480, 480));
    Image3 = new SvgPicture(QString(), this, QStringLiteral("Image3"));
    Image3->setGeometry(twipsRect(2880, 120, 255, 255));
    Image3->hide();
    for (PictureButton *p : {Image1, Image2})
        p->setCursor(Qt::CrossCursor);
    connect(Image1, &PictureButton::clicked, this, &Form3::Image1_Click);
    connect(Image2, &PictureButton::clicked, this, &Form3::openMakerPage);

    QLabel *title = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("Pravlon v1.2."),
        twipsRect(840, 240, 2000, 255), colors::Red);
    title->setFont(boldFont(font(), 9.75));
    // Red on dark red reads only in bold, as large as the line allows.
    QFont credit = boldFont(font());
    credit.setPixelSize(12);
    for (const auto &[name, text, top] : {std::tuple(QStringLiteral("Label2"), MakerCredit, 720),
             std::tuple(QStringLiteral("Label3"), AuthorCredit, 960)}) {
        makeLabel(this, name, text, twipsRect(120, top, 3600, 195), colors::Red)->setFont(credit);
    }
    auto *link = new ClickLabel(MakerWebAddress, this, QStringLiteral("Label4"));
    // Only the address is a link, not the empty line beside it.
    link->setGeometry(twipsRect(120, 1320, 2070, 240));
    setTextColor(link, colors::Red);
    link->setFont(boldFont(link->font(), 9.75));
    link->setCursor(Qt::WhatsThisCursor);
    connect(link, &ClickLabel::clicked, this, &Form3::openMakerPage);

    QLabel *visit = makeLabel(this, QStringLiteral("Label6"),
        QStringLiteral("Navštivte stranu ") + MakerWebAddress
            + QStringLiteral(" a stáhněte si další elektronické programy, hry a mnoho dalšího :-)"),
        twipsRect(40, 1680, 3855 - 80, 480), Qt::green);
    visit->setWordWrap(true);
    visit->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QLabel *version = makeLabel(this, QStringLiteral("Label5"), QStringLiteral(" v1.2."),
        twipsRect(120, 2160, 3555, 195), Qt::white);
    QLabel *id = makeLabel(this, QStringLiteral("Label5Id"),
        QStringLiteral("Id.:") + IdentificationNumber, twipsRect(120, 2160, 3555, 195), Qt::white);
    id->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    version->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    new LineWidget(this, QStringLiteral("Line1"), twipsPoint(120, 2400), twipsPoint(3720, 2400), 1,
        colors::Red);

    QPushButton *vkt = makeButton(this, QStringLiteral("Command3"), QStringLiteral("VKT"),
        twipsRect(360, 2520, 1335, 375), QStringLiteral("Stánky VKT Software"));
    connect(vkt, &QPushButton::clicked, this, &Form3::openMakerPage);
    Command1 = makeButton(
        this, QStringLiteral("Command1"), QStringLiteral("OK"), twipsRect(2040, 2520, 1455, 375));
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton *dat = makeButton(this, QStringLiteral("Command4"), QStringLiteral("Dat Info"),
        twipsRect(120, 3000, 1335, 375), QStringLiteral("Informace o datovém souboru"));
    connect(dat, &QPushButton::clicked, this, &Form3::Command4_Click);
    QPushButton *sys = makeButton(this, QStringLiteral("Command2"), QStringLiteral("System info"),
        twipsRect(2280, 3000, 1455, 375), QStringLiteral("Informace o PC"));
    connect(sys, &QPushButton::clicked, this, &Form3::Command2_Click);
    // Enter presses OK and only OK; the others show the help pointer.
    for (QPushButton *b : {vkt, Command1, dat, sys}) {
        b->setAutoDefault(false);
        if (b != Command1)
            b->setCursor(Qt::WhatsThisCursor);
    }
    Command1->setDefault(true);
    Command1->setFocus();
}

void Form3::Image1_Click()
{
    Image3->setResource(Image1->resource());
    Image1->setResource(Image2->resource());
    Image2->setResource(Image3->resource());
}

void Form3::openMakerPage()
{
    QDesktopServices::openUrl(makerWebUrl());
}

QList<QPair<QString, QStringList>> Form3::systemInfoTools()
{
#if defined(Q_OS_WIN)
    return {{QStringLiteral("msinfo32"), {}}, {QStringLiteral("winmsd"), {}}};
#elif defined(Q_OS_MACOS)
    return {{QStringLiteral("open"), {QStringLiteral("-a"), QStringLiteral("System Information")}}};
#else
    return {{QStringLiteral("hardinfo2"), {}}, {QStringLiteral("hardinfo"), {}},
        {QStringLiteral("kinfocenter"), {}}, {QStringLiteral("gnome-system-monitor"), {}},
        {QStringLiteral("xfce4-taskmanager"), {}}};
#endif
}

void Form3::Command2_Click()
{
    for (const auto &[program, arguments] : systemInfoTools()) {
        if (m_env.startProgram(program, arguments))
            return;
    }
    m_env.messages->show(this, QStringLiteral("Pravlon"),
        QStringLiteral("Nástroj pro informace o systému se nepodařilo spustit."),
        MessageIcon::Information, MessageButtons::Ok);
}

void Form3::Command4_Click()
{
    if (!QFileInfo(m_dataFile).isFile()) {
        m_env.messages->show(this, QStringLiteral("ERROR 02"), dataFileMissingText(),
            MessageIcon::Critical, MessageButtons::Ok, dataFileMissingDetails(m_dataFile));
        return;
    }
    m_env.messages->show(this, QStringLiteral("Verze Dat. souboru"),
        characterset::readVersion(m_dataFile), MessageIcon::Information, MessageButtons::Ok);
}
