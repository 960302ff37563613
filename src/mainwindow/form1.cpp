#include "mainwindow/form1.h"

#include "characterset/datafile.h"
#include "display/portdetails.h"
#include "sources/characterbuttons.h"
#include "sources/segmenteditor.h"
#include "sources/textplayer.h"
#include "ui/geometry.h"
#include "ui/texts.h"
#include "ui/widgets.h"
#include "usercharacters/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form5.h"
#include "windows/wiringtestwindow.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <QWindow>

const QString Form1::Caption = QStringLiteral("Pravlon, by VKT");
const QString Form1::PageCaptions[3] = {
    QStringLiteral("Předdefinované"), QStringLiteral("Jednotlivé seg."), QStringLiteral("Řetězce")};

namespace {

QString optionToolTip(int n)
{
    return QStringLiteral("Otevřít port %1 pro odesílání znaků").arg(PortSelection::portName(n));
}
} // namespace

Form1::Form1(Environment environment, QWidget *parent)
    : QWidget(parent)
    , m_env(std::move(environment))
    , m_ports(PortSelection::Callbacks{
          [this](const QByteArray &settings) { return m_env.lines->OPENCOM(settings); },
          [this] {
              message(
                  QStringLiteral("ERROR 01"), NoPortText, MessageIcon::Critical, noPortDetails());
          },
          [this] { ShowCharacter(); },
          [this](const QString &name) { Label2->setText(name); },
          [this](int n, bool selected, bool enabled) {
              QRadioButton *option = Option[n - 1];
              const QSignalBlocker block(option);
              option->setEnabled(enabled);
              if (selected) {
                  option->setChecked(true);
              } else if (option->isChecked()) {
                  // Nothing may stay selected: the group lets go of its last option only
                  // while it is not exclusive.
                  auto *group = option->group();
                  group->setExclusive(false);
                  option->setChecked(false);
                  group->setExclusive(true);
              }
          },
      })
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(Caption);
    // Created without a minimise box; start-up adds it.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsSize(6030, 4470));
    new FramePacer(this);
    useProgramLook(this);
    paintBackground(this, colors::DarkRed);

    setFont(windowFont());

    buildLeftColumn();

    SSTab1 = new TabControl(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->setGeometry(twipsRect(960, 120, 4935, 4215));
    // Made inside the window, which the tab control takes them from: their controls have the
    // window's font from the start, and nothing loads the desktop's font for them.
    page1 = new CharacterButtonsPage(*this, new QWidget(this));
    page2 = new SegmentEditorPage(*this, *m_env.random, new QWidget(this));
    page3 = new TextPlayerPage(*this, new QWidget(this));
    SSTab1->addCanvasPage(page1, PageCaptions[0]);
    SSTab1->addCanvasPage(page2, PageCaptions[1]);
    SSTab1->addCanvasPage(page3, PageCaptions[2]);
    SSTab1->setCurrentIndex(0);
    connect(SSTab1, &QTabWidget::currentChanged, this, &Form1::SSTab1_Click);

    connect(page1, &CharacterButtonsPage::decimalPointChanged, this, &Form1::Check1_Click);
    connect(page2, &SegmentEditorPage::saveRequested, this, &Form1::Command2_Click);
    connect(page3, &TextPlayerPage::keyChartRequested, this, &Form1::Command7_Click);

    connect(qApp, &QGuiApplication::focusWindowChanged, this, &Form1::focusWindowChanged);
}

Form1::~Form1()
{
    delete m_keyChart;
    delete m_help;
}

void Form1::buildLeftColumn()
{
    auto *frame = new ShapeWidget(this, QStringLiteral("Shape1"), Qt::black);
    frame->setGeometry(twipsRect(100, 100, 680, 930));
    const QRect preview = twipsRect(120, 120, 645, 900);
    Image1 = new DigitPreview(QStringLiteral("preview"), PatternLength, this,
        QStringLiteral("Image1"), QStringLiteral("Image%1"));
    Image1->setGeometry(preview);
    // The preview carries its tooltip, so it must take the pointer.
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    Image1->setToolTip(QStringLiteral("Náhled"));
    Image1->setAccessibleName(QStringLiteral("Náhled"));
    // The wiring test: F2 anywhere in the window, or the preview's context menu.
    auto *test = new QAction(QStringLiteral("Test zapojení…"), Image1);
    test->setObjectName(QStringLiteral("WiringTestAction"));
    test->setShortcut(Qt::Key_F2);
    test->setShortcutContext(Qt::WindowShortcut);
    connect(test, &QAction::triggered, this, &Form1::openWiringTest);
    Image1->addAction(test);
    Image1->setContextMenuPolicy(Qt::ActionsContextMenu);

    Label1 = makeLabel(
        this, QStringLiteral("Label1"), BlankPattern, twipsRect(120, 1200, 720, 195), Qt::white);
    Label1->setAlignment(Qt::AlignCenter);

    new LineWidget(
        this, QStringLiteral("Line1"), twipsPoint(120, 1500), twipsPoint(840, 1500), 3, Qt::black);

    auto *group = new QButtonGroup(this);
    for (int n = 1; n <= PortSelection::Count; ++n) {
        auto *option = new QRadioButton(PortSelection::portName(n), this);
        option->setObjectName(QStringLiteral("Option%1").arg(n));
        option->setGeometry(twipsRect(60, 1680 + 240 * (n - 1), 855, 195));
        option->setToolTip(optionToolTip(n));
        setTextColor(option, Qt::white);
        group->addButton(option, n);
        option->setChecked(n == 1);
        connect(option, &QRadioButton::toggled, this, [this, n](bool checked) {
            if (!checked)
                return;
            try {
                m_ports.userSelected(n);
            } catch (const LineLibraryError &) {
                // The library cannot vanish once loaded; should it fail, the choice stands.
            }
            refreshPortToolTips();
        });
        Option[n - 1] = option;
    }

    new LineWidget(
        this, QStringLiteral("Line2"), twipsPoint(120, 2940), twipsPoint(840, 2940), 3, Qt::black);

    Command3 = makeButton(
        this, QStringLiteral("Command3"), QStringLiteral("Help"), twipsRect(120, 3120, 735, 375));
    Command4 = makeButton(
        this, QStringLiteral("Command4"), QStringLiteral("About"), twipsRect(120, 3480, 735, 375));
    for (QPushButton *b : {Command3, Command4}) {
        b->setCursor(Qt::WhatsThisCursor);
        paintButtonFace(b, colors::LightGrey);
        setTextColor(b, Qt::black);
    }
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    // F1 asks for help as on any desktop, exactly as the button does, and not while it is grey.
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, [this] {
        if (Command3->isEnabled())
            Command3_Click();
    });
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);

    Label2 = new ClickLabel(QStringLiteral("COM0"), this, QStringLiteral("Label2"));
    Label2->setGeometry(twipsRect(120, 4080, 735, 255));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(boldFont(font(), 9.75));
    setTextColor(Label2, colors::Red);
    connect(Label2, &ClickLabel::clicked, this, &Form1::Label2_Click);
}

MessageAnswer Form1::message(
    const QString &title, const QString &text, MessageIcon icon, const QString &details)
{
    return m_env.messages->show(this, title, text, icon, MessageButtons::Ok, details);
}

PortReports Form1::portReports() const
{
    PortReports ports;
    for (int n = 1; n <= PortSelection::Count; ++n)
        ports[n - 1] = m_env.lines->portInfo(n);
    return ports;
}

std::array<bool, PortSelection::Count> Form1::offeredPorts() const
{
    std::array<bool, PortSelection::Count> offered{};
    for (int n = 1; n <= PortSelection::Count; ++n)
        offered[n - 1] = m_ports.isEnabled(n);
    return offered;
}

QString Form1::noPortDetails() const
{
    return ::noPortDetails(portReports(), offeredPorts());
}

// The open port, and below it every COM name with its state and reason: a grey option takes no
// focus, so its tooltip is out of a keyboard's reach; this box is not.
QString Form1::portLabelDetails(int n) const
{
    const QString open = openPortDetails(m_env.lines->portInfo(n), m_lastCharacterNs);
    const QString every = everyPortDetails(portReports(), offeredPorts());
    return open.isEmpty() || every.isEmpty() ? open + every : open + QStringLiteral("\n\n") + every;
}

// The given text first; below it the device of a usable port, or why a grey one is grey and
// what to do.
void Form1::refreshPortToolTips()
{
    const PortReports ports = portReports();
    for (int n = 1; n <= PortSelection::Count; ++n) {
        const std::optional<PortInfo> &port = ports[n - 1];
        QString tip = optionToolTip(n);
        if (port) {
            tip += u'\n'
                + (m_ports.isEnabled(n) ? describePort(*port) : portStateText(*port, false));
        }
        Option[n - 1]->setToolTip(tip);
    }
}

void Form1::ShowCharacter()
{
    if (Smod == 1 && KOdeslani.size() >= PatternLength)
        KOdeslani[PatternLength - 1] = DecimalPoint ? u'1' : u'0';
    Image1->setPattern(KOdeslani);
    QElapsedTimer onTheLine;
    onTheLine.start();
    m_sentWhole = transferPattern(*m_env.lines, KOdeslani);
    if (m_sentWhole) {
        m_lastCharacterNs = onTheLine.nsecsElapsed();
        Label1->setText(KOdeslani);
    }
}

void Form1::Check1_Click(bool checked)
{
    DecimalPoint = checked;
    ShowCharacter();
}

void Form1::Form_Load()
{
    EnableMinimizeBox(this);

    bool libraryMissing = false;
    QString libraryDetails;
    try {
        m_ports.startupChoice();
    } catch (const LineLibraryError &e) {
        libraryMissing = true;
        libraryDetails = QStringLiteral("Knihovna byla hledána zde: %1\nDůvod: %2")
                             .arg(QDir::toNativeSeparators(e.modulePath), e.reason);
    }
    refreshPortToolTips();
    if (libraryMissing) {
        message(QStringLiteral("ERROR 03"),
            QStringLiteral("Nenalezen soubor %1. Potřebnou knihovnu lze stáhnout na ")
                    .arg(lineLibraryFileName())
                + MakerWebAddress,
            MessageIcon::Critical, libraryDetails);
        SSTab1->setEnabled(false);
        m_ports.disableAll();
        Command3->setEnabled(false);
        QDesktopServices::openUrl(makerWebUrl());
    }

    DataFilePath = QDir(m_env.programDirectory).filePath(DataFileName);
    const QString dataFile = datafile::inUse(DataFilePath);
    if (!QFileInfo(dataFile).isFile()) {
        message(QStringLiteral("ERROR 02"), dataFileMissingText(), MessageIcon::Critical,
            dataFileMissingDetails(dataFile));
    }

    JednoSeg = BlankPattern;
    KOdeslani = BlankPattern;
    Buffer = BlankPattern;
    Smod = 1;
    applyPageRule(SSTab1->currentCaption());
    LoadCharacterSet();
}

void Form1::LoadCharacterSet()
{
    characterset::load(datafile::inUse(DataFilePath), CharacterPatterns, BText,
        [this](int n, const QString &text) { page1->setUserCaption(n, text); });
}

void Form1::Form_Activate()
{
    ++m_activations;
    LoadCharacterSet();
}

void Form1::focusWindowChanged(QWindow *window)
{
    if (!window)
        return; // the program as a whole lost the focus
    // Only an activation that comes from another window of this program (or the first one)
    // counts; coming back from another application keeps the old focus window.
    if (window == windowHandle() && m_lastFocusWindow != window)
        Form_Activate();
    m_lastFocusWindow = window;
}

void Form1::applyPageRule(const QString &caption)
{
    if (caption == PageCaptions[0]) {
        page3->stop();
        KOdeslani = Buffer;
        Smod = 1;
    }
    if (caption == PageCaptions[1]) {
        page3->stop();
        Buffer = KOdeslani;
        KOdeslani = JednoSeg;
        Smod = 2;
    }
    if (caption == PageCaptions[2])
        Smod = 3;
}

void Form1::SSTab1_Click()
{
    applyPageRule(SSTab1->currentCaption());
    page3->syncPauseButton();
    page3->rewind();
    ShowCharacter();
}

void Form1::Label2_Click()
{
    if (Label2->text() != QLatin1String("COM0")) {
        const int n = Label2->text().mid(3).toInt();
        message(QStringLiteral("Pravlon"),
            QStringLiteral("Nyní je tímto programem otevřen port ") + Label2->text(),
            MessageIcon::Information, portLabelDetails(n));
    } else {
        message(QStringLiteral("ERROR 01"), NoPortText, MessageIcon::Warning, noPortDetails());
    }
}

void Form1::Command2_Click()
{
    const int before = m_activations;
    {
        Form2 dialog([this] { return KOdeslani; }, DataFilePath, *m_env.messages, this);
        dialog.exec();
    }
    // Closing the dialog hands the focus back to this window, which reloads the character
    // set; where no focus change arrives (no window manager) reload here instead.
    if (m_activations == before) {
        Form_Activate();
        m_lastFocusWindow = windowHandle();
    }
}

void Form1::Command3_Click()
{
    m_env.beep();
    connect(showSingle(m_help), &Form5::wiringTestRequested, this, &Form1::openWiringTest,
        Qt::UniqueConnection);
}

void Form1::openWiringTest()
{
    if (m_wiringTest) {
        m_wiringTest->raise();
        m_wiringTest->activateWindow();
        return;
    }
    if (Label2->text() == QLatin1String("COM0")) {
        message(WiringTestWindow::Title,
            QStringLiteral("Test zapojení potřebuje otevřený port a žádný port není otevřen."),
            MessageIcon::Warning, noPortDetails());
        return;
    }
    // The sources fall silent; their timers go on where they were when the test closes.
    for (auto *timer : findChildren<QTimer *>()) {
        if (timer->isActive() && timer->objectName().startsWith(QLatin1String("Timer"))) {
            timer->stop();
            m_pausedTimers << timer;
        }
    }
    // On the first page ShowCharacter sets the point from Check1; the segment editor's page
    // sends the point as it is, so the test runs with that page in front, brought there and
    // back as a tab click would.
    m_testLeftFirstPage = Smod == 1;
    if (m_testLeftFirstPage)
        SSTab1->setCurrentIndex(1);
    m_beforeTest = m_testLeftFirstPage ? Buffer : KOdeslani;
    m_wiringTest = new WiringTestWindow(
        [this](const QString &pattern) { return sendForTest(pattern); }, Label2->text(), this);
    m_wiringTest->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_wiringTest, &QDialog::finished, this, &Form1::endWiringTest);
    m_wiringTest->open();
}

bool Form1::sendForTest(const QString &pattern)
{
    KOdeslani = pattern;
    ShowCharacter();
    return m_sentWhole;
}

void Form1::endWiringTest()
{
    m_wiringTest.clear(); // it goes on its own
    if (m_testLeftFirstPage) {
        SSTab1->setCurrentIndex(0);
    } else {
        KOdeslani = m_beforeTest;
        ShowCharacter();
    }
    for (QTimer *timer : std::exchange(m_pausedTimers, {}))
        timer->start();
}

WiringTestWindow *Form1::wiringTest() const
{
    return m_wiringTest && m_wiringTest->isVisible() ? m_wiringTest.data() : nullptr;
}

void Form1::Command4_Click()
{
    m_env.beep();
    Form3 about(m_env, datafile::inUse(DataFilePath));
    about.exec();
}

void Form1::Command7_Click()
{
    showSingle(m_keyChart);
}

void Form1::Form_Unload()
{
    KOdeslani = QStringLiteral("11111111");
    DecimalPoint = true;
    ShowCharacter();
    ShowCharacter();
}

void Form1::closeEvent(QCloseEvent *e)
{
    if (!m_closing) {
        m_closing = true;
        Form_Unload();
    }
    e->accept();
    // The other windows go with the main window, without further events.
    delete m_keyChart;
    delete m_help;
    emit ended();
}

bool Form1::sends() const
{
    return SSTab1->isEnabled();
}

QString Form1::portName() const
{
    return Label2->text();
}

QString Form1::patternShown() const
{
    return Label1->text();
}

QString Form1::patternToSend() const
{
    return KOdeslani;
}

void Form1::showCharacter(const command::ShowTarget &target)
{
    SSTab1->setCurrentIndex(int(Page::Buttons));
    if (target.button) {
        page1->Commanda(target.button)->click();
    } else {
        // A key of the player's table without a button of its own.
        KOdeslani = target.pattern;
        ShowCharacter();
    }
}

void Form1::showPattern(const QString &pattern)
{
    page2->compose(pattern);
    if (SSTab1->currentIndex() == int(Page::Editor)) {
        KOdeslani = JednoSeg;
        ShowCharacter();
    } else {
        SSTab1->setCurrentIndex(int(Page::Editor)); // which puts the composition on show
    }
}

void Form1::play(const QString &text, int ms, bool loop)
{
    page3->endPlay();
    SSTab1->setCurrentIndex(int(Page::Player));
    page3->play(text, ms, loop);
}

void Form1::stop()
{
    page3->endPlay();
}

command::PlayState Form1::playState() const
{
    if (!page3->isPlaying())
        return command::PlayState::Stopped;
    return page3->isTicking() ? command::PlayState::Playing : command::PlayState::Paused;
}

bool Form1::portOffered(int n) const
{
    return Option[n - 1]->isEnabled();
}

bool Form1::portPicked(int n) const
{
    return Option[n - 1]->isChecked();
}

void Form1::pickPort(int n)
{
    Option[n - 1]->click();
}

void Form1::whenPlayEnds(QObject *receiver, std::function<void()> ended)
{
    connect(page3, &TextPlayerPage::playEnded, receiver, ended);
    connect(SSTab1, &QTabWidget::currentChanged, receiver, [ended](int page) {
        if (page != int(Page::Player))
            ended();
    });
}

void Form1::whenClosed(QObject *receiver, std::function<void()> closed)
{
    connect(this, &Form1::ended, receiver, std::move(closed));
}

Form4 *Form1::keyChart() const
{
    return m_keyChart;
}

Form5 *Form1::helpWindow() const
{
    return m_help;
}

bool Form1::openTest(QObject *receiver, command::TestEvents events)
{
    openWiringTest();
    WiringTestWindow *test = wiringTest();
    if (!test)
        return false;
    test->answerInTerminal();
    // The window shows each step; the terminal asks about it. Once the diagnosis is there the
    // test closes, and this window shows again what it showed before.
    const auto tell = [test, events] {
        const wiringtest::Session &s = test->session();
        if (!s.finished()) {
            events.stepped(s.current() + 1, s.step());
            return;
        }
        events.diagnosed(test->diagnosis());
        test->close();
    };
    connect(test, &WiringTestWindow::progressed, receiver, tell);
    connect(test, &QDialog::finished, receiver, events.closed);
    tell();
    return true;
}

void Form1::answerTest(const wiringtest::Answer &answer)
{
    if (WiringTestWindow *test = wiringTest())
        test->answer(answer);
}

void Form1::closeTest()
{
    if (WiringTestWindow *test = wiringTest())
        test->close();
}
