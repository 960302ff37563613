#include "windows/form5.h"

#include "effects/linelibrary.h"
#include "ui/geometry.h"
#include "ui/texts.h"
#include "ui/widgets.h"

#include <QAction>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QPushButton>
#include <QUrl>

Form5::Form5()
    : QWidget(nullptr)
{
    setObjectName(QStringLiteral("Form5"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Nápověda"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsSize(5520, 6255));
    useProgramLook(this);
    setFont(windowFont());

    auto *diagram
        = new SvgPicture(QStringLiteral(":/pictures/wiring.svg"), this, QStringLiteral("Image1"));
    diagram->setGeometry(twipsRect(120, 120, 5325, 3150));
    diagram->setAccessibleName(QStringLiteral("Schéma zapojení"));
    diagram->setAccessibleDescription(WiringDescription);
    auto *test = new QAction(QStringLiteral("Test zapojení…"), diagram);
    test->setObjectName(QStringLiteral("WiringTestAction"));
    connect(test, &QAction::triggered, this, &Form5::wiringTestRequested);
    diagram->addAction(test);
    diagram->setContextMenuPolicy(Qt::ActionsContextMenu);
    diagram->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    new LineWidget(
        this, QStringLiteral("Line1"), twipsPoint(120, 3360), twipsPoint(5280, 3360), 1, Qt::black);

    QLabel *note = makeLabel(this, QStringLiteral("Label1"),
        QStringLiteral("Vše propojte přesně podle schématu. Dbejte hlavně na správné zapojení "
                       "displeje. Správné zapojení displeje a posuvného registru (4094) zjistíte "
                       "pokud v tomto programu na záložce \"Jednotlivé seg.\" budete rosvěcet a "
                       "zhasínat jednotlivé segmenty."),
        twipsRect(120, 3480, 5160, 795));
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    const auto line = [this](const QString &name, const QString &text, int left, int top) {
        QLabel *label = makeLabel(this, name, text, QRect(twipsPoint(left, top), QSize()));
        label->adjustSize();
        return label;
    };
    line(QStringLiteral("Label2"), QStringLiteral("Program používa tyto 2 signály :"), 120, 4320);
    line(QStringLiteral("Label3"), QStringLiteral("DTR - Hodinový signál"), 2520, 4320);
    line(QStringLiteral("Label4"), QStringLiteral("TxD - Data"), 2520, 4560);
    new LineWidget(
        this, QStringLiteral("Line2"), twipsPoint(120, 4800), twipsPoint(5400, 4800), 1, Qt::black);
    line(QStringLiteral("Label5"),
        QStringLiteral("V počítači musíte mít soubor %1 - lze stáhnout na ")
                .arg(lineLibraryFileName())
            + MakerWebAddress,
        120, 4920);
    QLabel *cable = makeLabel(this, QStringLiteral("Label6"),
        QStringLiteral("Použíjte prodlužovací kabel, ne komunikační! V komunikačním se kříží "
                       "signály => jsou na jiných pinech..."),
        twipsRect(120, 5160, 5250, 435));
    cable->setWordWrap(true);

    auto *more = new QPushButton(QStringLiteral("Více..."), this);
    more->setObjectName(QStringLiteral("Command2"));
    more->setGeometry(twipsRect(120, 5760, 1215, 375));
    more->setCursor(Qt::WhatsThisCursor);
    connect(more, &QPushButton::clicked, this, &Form5::Command2_Click);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry(twipsRect(4200, 5760, 1215, 375));
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    // Enter presses the button that has the focus; the window opens with it on OK.
    for (QPushButton *b : {more, ok})
        b->setAutoDefault(true);
    ok->setFocus();

    Form_Load();
}

void Form5::Form_Load()
{
    EnableMinimizeBox(this);
}

void Form5::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(e);
}

void Form5::Command2_Click()
{
    // Whether a browser starts or not, the help stays open.
    QDesktopServices::openUrl(makerWebUrl());
}
