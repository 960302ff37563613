// The main window: start-up in its situations; what the pages, the decimal point, the port
// options and closing do to the character on show; what it tells of the ports through the
// real loader; activation; how the window looks.
#include "fakes.h"
#include "ui/geometry.h"
#include "usercharacters/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form5.h"

#include <QFontDatabase>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabBar>
#include <sys/stat.h>

// A situation at start-up, a normal one unless said otherwise, and what start-up makes of it.
struct StartUp
{
    QList<int> ports{1}; // those that open
    bool library = true, file = true, fifo = false; // a FIFO at Data.ini
    QStringList boxes{}; // the titles of the boxes shown, in order
    QString label = "COM1"; // Label2
    int selected = 1; // the port option selected, 0 for none
};
Q_DECLARE_METATYPE(StartUp)

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void startUp_data()
    {
        QTest::addColumn<StartUp>("s");
        // clang-format off
        QTest::newRow("only COM3") << StartUp{.ports = {3}, .label = "COM3", .selected = 3};
        QTest::newRow("no library, no file") << StartUp{.library = false, .file = false,
            .boxes = {"ERROR 03", "ERROR 02"}, .label = "COM0"};
        // A FIFO is no character-set file: it counts as missing and must not block the start.
        QTest::newRow("a FIFO") << StartUp{.fifo = true, .boxes = {"ERROR 02"}};
        // clang-format on
    }

    void startUp()
    {
        QFETCH(StartUp, s);
        TestProgram program;
        program.lines->working = {s.ports.begin(), s.ports.end()};
        program.lines->missing = !s.library;
        if (s.fifo)
            QCOMPARE(mkfifo(QFile::encodeName(program.dataFile()).constData(), 0644), 0);
        UrlCatcher catcher;
        auto form = program.start(s.file);
        QCOMPARE(program.messages->titles, s.boxes);
        QCOMPARE(textOf(form.get(), "Label2"), s.label);
        for (int n = 1; n <= 5; ++n) {
            auto *option = control<QRadioButton>(form.get(), QStringLiteral("Option%1").arg(n));
            QCOMPARE(option->isEnabled(), s.library && s.ports.contains(n)); // a working port
            QCOMPARE(option->isChecked(), n == s.selected);
            // Nothing below the text from a line library that cannot say what is behind a port.
            QCOMPARE(option->toolTip(), QString("Otevřít port COM%1 pro odesílání znaků").arg(n));
            // A grey option looks it: its disabled text is dimmer than its enabled text.
            QVERIFY(option->palette().color(QPalette::Disabled, QPalette::WindowText)
                != option->palette().color(QPalette::Active, QPalette::WindowText));
        }
        // Text, then details: none from a module that cannot say what stands behind the ports.
        const QMap<QString, QString> texts{
            {"ERROR 02", dataFileMissingText() + "Soubor byl hledán zde: " + program.dataFile()},
            {"ERROR 03",
                "Nenalezen soubor librscom.so. Potřebnou knihovnu lze stáhnout na "
                    + MakerWebAddress
                    + "Knihovna byla hledána zde: /nowhere/librscom.so\nDůvod: gone"}};
        for (const Message &m : std::as_const(program.messages->shown))
            QVERIFY(m.text + m.details == texts[m.title] && m.icon == MessageIcon::Critical);
        // Without the library the pages and "Help" are disabled and the maker's page opens.
        QCOMPARE(control(form.get(), "SSTab1")->isEnabled()
                + control(form.get(), "Command3")->isEnabled() + catcher.opened,
            s.library ? 2 : 1);
        // Nothing is sent, the set is loaded, the window can be minimised.
        QVERIFY(program.lines->calls.filter("DTR").isEmpty()
            && form->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(CharacterPatterns[10], s.file && !s.fifo ? "11101110" : DefaultPattern);
        // Closing lights all; without the library the transfer fails quietly, the label kept.
        form->close();
        QCOMPARE(textOf(form.get(), "Label1"), s.library ? "11111111" : BlankPattern);
    }

    // Steps: "type" keys (or on the "keypad") where the focus is (on the first page a character
    // shows, on the editor "g" and "h" switch the middle bar and the point), bring "page" n to the
    // front, click the decimal "point", "play" the text, "pick" a port, "tick" the text player's
    // timer, "unplug" a port, "close" the window; COM1, COM2 and COM4 work. Then the pattern on
    // show (on the display, in the preview, in Label1 and KOdeslani) and the one put aside
    // (Buffer).
    void characterOnShow_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("onShow");
        QTest::addColumn<QString>("putAside");
        const auto row = [](const char *name, QString steps, QString onShow, QString putAside) {
            QTest::newRow(name) << steps << onShow << putAside;
        };
        // Patterns of the shipped set, segments a ... h.
        const QString A = "11101110", B = "00111110", seven = "11100000", blank = BlankPattern;
        const QString middleBar = "00000010", point = "00000001", all = "11111111";
        row("typed digit, keypad", "keypad 7", seven, blank);
        row("into the player", "type A, page 3", A, blank);
        row("player and back, no editor", "type a, page 3, page 1", blank, blank);
        row("player into the editor", "type a, page 2, type G, page 1, type b, page 3, page 2",
            middleBar, B);
        // "--c-- 2007" is played: without a rewind the third character, c, would show.
        row("player stopped by a switch, rewound", "page 3, play, tick, tick, page 1, page 3, tick",
            middleBar, blank);
        row("point applied again", "type a, page 2, point, page 1", A.left(7) + '1', A);
        row("point elsewhere not", "point, page 2, type g, page 3", middleBar, point);
        row("no point cuts it", "page 2, type h, page 3, page 2, page 1", blank, point);
        row("COM4 gone: on to COM1", "type a, pick COM2, unplug COM4, pick COM4", A, blank);
        row("closed, first page", "type a, close", all, blank);
        row("closed, editor, point on", "point, page 2, close", all, point);
    }

    void characterOnShow()
    {
        QFETCH(QString, steps);
        QFETCH(QString, onShow);
        TestProgram program;
        program.lines->working = {1, 2, 4};
        auto form = program.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        const QMap<QString, QString> buttons{{"point", "Check1"}, {"play", "Check3"},
            {"pick COM2", "Option2"}, {"pick COM4", "Option4"}};
        for (const QString &step : steps.split(QStringLiteral(", "))) {
            const QString what = step.section(u' ', 0, 0), which = step.section(u' ', 1);
            program.lines->calls.clear();
            if (what == u"type" || what == u"keypad")
                QTest::keyClicks(form->focusWidget(), which,
                    what == u"type" ? Qt::NoModifier : Qt::KeypadModifier);
            else if (what == u"page")
                control<QTabWidget>(form.get(), "SSTab1")->setCurrentIndex(which.toInt() - 1);
            else if (buttons.contains(step))
                control<QAbstractButton>(form.get(), buttons[step])->click();
            else if (what == u"tick")
                control<TextPlayerPage>(form.get(), "Page3")->Timer2_Timer();
            else if (what == u"unplug")
                program.lines->working.erase(which.right(1).toInt());
            else
                QVERIFY(form->close());
        }
        QCOMPARE(QStringList({program.lines->shown(),
                     control<DigitPreview>(form.get(), "Image1")->pattern(),
                     textOf(form.get(), "Label1"), form->KOdeslani}),
            QStringList(4, onShow));
        QTEST(form->Buffer, "putAside");
        QCOMPARE(textOf(form.get(), "Label2"), "COM" + QString::number(program.lines->openPort));
        if (steps.endsWith(u"close")) // all lit, twice
            QCOMPARE(program.lines->calls.filter("TXD"), QStringList(16, "TXD 1"));
        if (steps.contains(u"pick")) // sent once by each run of the port change, no box
            QVERIFY(program.lines->charactersSent() == 3 && program.messages->shown.isEmpty());
        if (steps.contains(u"tick")) // stopped, but still playing
            QVERIFY(!control<QTimer>(form.get(), "Timer2")->isActive()
                && control(form.get(), "Command6")->isEnabled());
    }

    // What the simulated module tells through the real loader of each port (the ports that
    // open, the states it gives the others): below each option's tooltip the device of a usable
    // port or why a grey one is grey; a line per port in the details of "ERROR 01"; device,
    // adapter and time per character of the open port, before and after a pick of COM2, and
    // below them a line per port, as a keyboard cannot reach a grey option's tooltip. The label
    // answers the keypad's Enter.
    void portDetails_data()
    {
        QTest::addColumn<QByteArray>("ports");
        QTest::addColumn<QByteArray>("states");
        QTest::newRow("none opens")
            << QByteArray()
            << QByteArray("1=denied:dialout,2=busy:minicom,3=nodtr,4=nobreak,5=gone");
        QTest::newRow("some open")
            << QByteArray("123") << QByteArray("2=slowbreak:ch341-uart,4=error:Input/output error");
    }

    void portDetails()
    {
        QFETCH(QByteArray, ports);
        QFETCH(QByteArray, states);
        qputenv("PRAVLON_SIM_PORTS", ports); // only this test loads the module
        qputenv("PRAVLON_SIM_PORTINFO", states);
        TestProgram program;
        QFile::copy(SIM_LIBRARY_DIR "/librscom.so", program.dir.filePath("librscom.so"));
        Environment env = program.environment();
        env.lines = std::make_shared<ModuleLineLibrary>(program.dir.path());
        auto form = program.start(true, env);
        for (int n = 1; n <= 5; ++n) {
            auto *option = control<QRadioButton>(form.get(), QStringLiteral("Option%1").arg(n));
            const PortInfo port = *env.lines->portInfo(n);
            QCOMPARE(option->toolTip(),
                QStringLiteral("Otevřít port COM%1 pro odesílání znaků\n").arg(n)
                    + (option->isEnabled() ? describePort(port) : portStateText(port, false)));
        }
        QTest::keyClick(control(form.get(), "Label2"), Qt::Key_Enter, Qt::KeypadModifier);
        const QList<Message> &shown = program.messages->shown;
        if (ports.isEmpty()) { // at start-up, and from the label with the exclamation icon
            for (const Message &m : shown)
                QCOMPARE(m.title + ": " + m.text,
                    "ERROR 01: Nelze otevřít žádný port. Program nebude odesílat data.");
            QVERIFY(shown.size() == 2 && shown[0].icon == MessageIcon::Critical
                && shown[1].icon == MessageIcon::Warning);
            QCOMPARE(shown[1].details.section(u'\n', 4),
                "COM5 (/dev/simUSB4 · FT232R USB UART): Adaptér byl odpojen (nebo ho zabral "
                "jiný program, např. brltty). Připojte ho a spusťte program znovu.\n\n"
                "Náhled znaků v okně funguje i bez displeje.");
            return;
        }
        control<QRadioButton>(form.get(), "Option2")->click();
        form->Label2_Click();
        QCOMPARE(shown[0].title + ": " + shown[0].text + '\n' + shown[0].details,
            "Pravlon: Nyní je tímto programem otevřen port COM1\nZařízení: /dev/simUSB0\n"
            "Adaptér: FT232R USB UART\nPoslední znak: zatím žádný neodešel\n\n"
            "COM1 (/dev/simUSB0 · FT232R USB UART): Port je otevřen.\n"
            "COM2 (/dev/simUSB1 · FT232R USB UART): Port lze vybrat. Ovladač ch341-uart stav break "
            "jen napodobuje: každá změna datové linky trvá asi 0,2 s, jeden znak i několik "
            "sekund.\n"
            "COM3 (/dev/simUSB2 · FT232R USB UART): Port lze vybrat.\n"
            "COM4 (/dev/simUSB3 · FT232R USB UART): Port nelze otevřít: Input/output error\n"
            "COM5: V systému takový port není.");
        QVERIFY(shown[0].icon == MessageIcon::Information && shown[1].text.endsWith("COM2"));
        QVERIFY(shown[1].details.contains(
            QRegularExpression("^Zařízení: /dev/simUSB1\n.*\nPoslední znak: (\\d+|méně než 1) ms "
                               "na znak\n\nOvladač ch341-uart stav break jen napodobuje")));
    }

    // The window on screen. Coming back to the program from another application does not load
    // the character set again; coming back from one of its own windows does. Every caption of
    // every window fits its control, the main window's labels also with their longest run-time
    // texts; the tabs stand whole in one row above the pages, which start below the strip.
    void onScreen()
    {
        TestProgram program;
        auto form = program.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        writeFile(program.dataFile(), "[User]\r\nB1Text=Nov\r\n");
        emit qApp->focusWindowChanged(nullptr); // the program lost the focus
        emit qApp->focusWindowChanged(form->windowHandle());
        QCOMPARE(characterButton(form.get(), 37)->text(), QStringLiteral("[1]"));
        QWindow dialog;
        emit qApp->focusWindowChanged(&dialog);
        emit qApp->focusWindowChanged(form->windowHandle());
        QCOMPARE(characterButton(form.get(), 37)->text(), QStringLiteral("Nov"));
        // Frames are paced to the screen, however fast the player: the last character is painted.
        struct : QObject
        {
            QString painted;
            bool eventFilter(QObject *o, QEvent *e) override
            {
                if (e->type() == QEvent::Paint)
                    painted = static_cast<QLabel *>(o)->text();
                return false;
            }
        } paints;
        auto *label1 = control<QLabel>(form.get(), "Label1");
        label1->installEventFilter(&paints);
        control<QTabWidget>(form.get(), "SSTab1")->setCurrentIndex(int(Page::Player));
        control<QPlainTextEdit>(form.get(), "Text1")->setPlainText(QString("ab8").repeated(50));
        control<QScrollBar>(form.get(), "HScroll1")->setValue(1);
        control<QPushButton>(form.get(), "Check3")->setChecked(true);
        QTest::qWait(60);
        control<QPushButton>(form.get(), "Check3")->setChecked(false);
        QTRY_COMPARE(paints.painted, label1->text());
        QCOMPARE(QFontInfo(form->font()).family(), WindowFontFamily); // the face carried along
        QVERIFY(QFontDatabase::styles(WindowFontFamily).contains("Bold")); // and its bold
        auto *tabs = control<QTabWidget>(form.get(), "SSTab1");
        const QRect first = tabs->tabBar()->tabRect(0), last = tabs->tabBar()->tabRect(2);
        QVERIFY(
            last.right() < tabs->width() && first.top() == last.top() && first.bottom() < px(480));
        QCOMPARE(control(form.get(), "Check1")->mapTo(tabs, QPoint()), twipsPoint(4320, 3480));
        const QMap<QString, QString> longest{{"Label10", "Odesílaný znak : 5000"},
            {"Label6", "Rychlost generování : 5000 ms"}, {"Label9", "Pocet znaku : 1000"},
            {"Label3", "Náhodný znak : 255"}, {"Label4", "1996 ms"}, {"Label5", "Znak : 255"}};
        Form2 save([] { return BlankPattern; }, program.dataFile(), *program.messages);
        Environment env = program.environment();
        Form3 about(env, program.dataFile());
        Form4 chart;
        Form5 help;
        for (QWidget *window : QWidgetList{form.get(), &save, &about, &chart, &help})
            for (QWidget *w : window->findChildren<QWidget *>()) {
                QString text = window == form.get() ? longest.value(w->objectName()) : QString();
                int room = w->width();
                if (auto *l = qobject_cast<QLabel *>(w); l && !l->wordWrap() && text.isEmpty())
                    text = l->text();
                else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
                    text = b->text();
                    room -= qobject_cast<QRadioButton *>(w) ? 18 : 6; // indicator, button margins
                }
                const QFontMetrics fm(w->font());
                QVERIFY2(text.isEmpty()
                        || (fm.horizontalAdvance(text) <= room && fm.height() <= w->height() + 1),
                    qPrintable(w->objectName() + ": " + text));
            }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
