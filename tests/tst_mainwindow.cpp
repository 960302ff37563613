// The main window: start-up in its situations; what the pages, the decimal point, the port
// options and closing do to the character on show; activation; how the window looks.
#include "display/portdetails.h"
#include "fakes.h"
#include "ui/geometry.h"
#include "usercharacters/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form5.h"

#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTabBar>
#include <QToolTip>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How strongly a control's text stands out: the mean colour distance between the control drawn
// as it is and drawn with invisible text, over the pixels where the two differ.
double textContrast(QWidget *w)
{
    const QImage shown = w->grab().toImage();
    const QPalette palette = w->palette();
    QPalette bare = palette;
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        bare.setColor(role, Qt::transparent);
    w->setPalette(bare);
    const QImage hidden = w->grab().toImage();
    w->setPalette(palette);
    double sum = 0;
    int count = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb a = shown.pixel(x, y), b = hidden.pixel(x, y);
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                + std::abs(qBlue(a) - qBlue(b));
            count += a != b;
        }
    }
    return count ? sum / count : 0;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    UrlCatcher catcher;

private slots:
    // The situation: the ports that work, "nolibrary", and "nofile" or "fifo" for what stands
    // at Data.ini. The outcome: the boxes shown, the port label, and the options: "s" selected,
    // "e" enabled, "x" selected but disabled, "." neither.
    void startUp_data()
    {
        QTest::addColumn<QStringList>("situationAndOutcome");
        QTest::newRow("normal") << QStringList{"12", "|COM1|se..."};
        QTest::newRow("only COM3") << QStringList{"3", "|COM3|..s.."};
        QTest::newRow("no port") << QStringList{"", "ERROR 01|COM0|....."};
        QTest::newRow("no library, no file")
            << QStringList{"1 nolibrary nofile", "ERROR 03,ERROR 02|COM0|x...."};
        // A FIFO is no character-set file: it counts as missing and must not block the start.
        QTest::newRow("a FIFO") << QStringList{"1 fifo", "ERROR 02|COM1|s...."};
    }

    void startUp()
    {
        QFETCH(QStringList, situationAndOutcome);
        const QString situation = situationAndOutcome[0];
        TestProgram program;
        program.lines->working.clear();
        for (QChar c : situation.section(u' ', 0, 0))
            program.lines->working.insert(c.digitValue());
        const bool library = !situation.contains("nolibrary"),
                   file = !situation.contains("file") && !situation.contains("fifo");
        program.lines->missing = !library;
        if (situation.contains("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(program.dataFile()).constData(), 0644), 0);
        catcher.opened = 0;
        alarm(60);
        auto form = program.start(file);
        alarm(0);

        QString options;
        for (QRadioButton *o : form->findChildren<QRadioButton *>())
            options += o->isChecked() ? (o->isEnabled() ? 's' : 'x') : (o->isEnabled() ? 'e' : '.');
        QCOMPARE(program.messages->titles.join(u',') + u'|'
                + control<QLabel>(form.get(), "Label2")->text() + u'|' + options,
            situationAndOutcome[1]);
        // Text, and details: none from a module that cannot say what stands behind the ports.
        const QMap<QString, QStringList> texts{
            {"ERROR 01", {"Nelze otevřít žádný port. Program nebude odesílat data.", ""}},
            {"ERROR 02", {dataFileMissingText(), "Soubor byl hledán zde: " + program.dataFile()}},
            {"ERROR 03",
                {"Nenalezen soubor librscom.so. Potřebnou knihovnu lze stáhnout na "
                        + MakerWebAddress,
                    "Knihovna byla hledána zde: /nowhere/librscom.so\nDůvod: gone"}}};
        for (const Message &m : std::as_const(program.messages->shown)) {
            QVERIFY(QStringList({m.text, m.details}) == texts[m.title]
                && m.icon == MessageIcon::Critical);
        }
        QCOMPARE(control<QTabWidget>(form.get(), "SSTab1")->isEnabled()
                + control(form.get(), "Command3")->isEnabled() + catcher.opened,
            2 * library + !library);
        // Nothing is sent, the preview is dark, the set is loaded, the window can be minimised.
        QVERIFY(program.lines->calls.filter(QStringLiteral("DTR")).isEmpty());
        for (char letter : "ABCDEFGH")
            QVERIFY(!letter || control(form.get(), QStringLiteral("Image") + letter)->isHidden());
        QVERIFY(form->windowFlags() & Qt::WindowMinimizeButtonHint
            && CharacterPatterns[10] == (file ? QStringLiteral("11101110") : DefaultPattern));
        form->close(); // without the library the shutdown transfer fails quietly
    }

    // Steps: a letter is typed, in either case (on the first page it shows its character, on
    // the editor "g" and "h" switch the middle bar and the point), "'n" types the digit n, "."
    // clicks the decimal point, "p" Play, a digit brings that page to the front, "#n" picks COMn
    // (COM1, COM2 and COM4 work), "x" closes the window. Then the pattern on the display, in the
    // preview and on show, and the one put aside: a letter, "'n" for digit n, "g", "h" or "0"
    // for blank, "." for the point, or eight bits.
    void characterOnShow_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("into the editor") << QStringList{"a2", "0", "a"};
        QTest::newRow("editor and back") << QStringList{"A2G1", "a", "a"};
        QTest::newRow("typed digit") << QStringList{"'7", "'7", "0"};
        QTest::newRow("into the player") << QStringList{"a3", "a", "0"};
        QTest::newRow("player and back, no editor") << QStringList{"a31", "0", "0"};
        QTest::newRow("player into the editor") << QStringList{"a2g1b32", "g", "b"};
        QTest::newRow("player stopped by a switch") << QStringList{"3p1", "0", "0"};
        QTest::newRow("point applied again") << QStringList{"a2.1", "a.", "a"};
        QTest::newRow("point elsewhere not") << QStringList{".2g3", "g", "0."};
        QTest::newRow("no point cuts it") << QStringList{"2h321", "0", "h"};
        QTest::newRow("to COM2") << QStringList{"a#2", "a", "0"};
        QTest::newRow("COM4 gone: on to COM1") << QStringList{"a#2-#4", "a", "0"};
        QTest::newRow("closed, first page") << QStringList{"ax", "11111111", "0"};
        QTest::newRow("closed, editor, point on") << QStringList{".2x", "11111111", "0."};
        QTest::newRow("closed, player") << QStringList{"a3x", "11111111", "0"};
    }

    void characterOnShow()
    {
        QFETCH(QStringList, steps);
        TestProgram program;
        program.lines->working = {1, 2, 4};
        auto form = program.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        const auto pattern = [](const QString &name) {
            QString p = name.size() == 8 ? name
                : name[0] == u'\''       ? CharacterPatterns[name[1].digitValue()]
                : name[0] == u'0'        ? BlankPattern
                : name[0] == u'g'        ? QStringLiteral("00000010")
                : name[0] == u'h'        ? QStringLiteral("00000001")
                                  : CharacterPatterns[FirstLetterSlot + name[0].unicode() - u'a'];
            p[7] = name.endsWith(u'.') ? u'1' : p[7];
            return p;
        };
        for (int i = 0; i < steps[0].size(); ++i) {
            const QChar step = steps[0][i];
            program.lines->clear();
            if (step == u'#')
                control<QRadioButton>(form.get(), QStringLiteral("Option") + steps[0][++i])
                    ->click();
            else if (step == u'-')
                program.lines->working = {1, 2}; // COM4 unplugged
            else if (step == u'x')
                QVERIFY(form->close());
            else if (step.isDigit())
                control<QTabWidget>(form.get(), "SSTab1")->setCurrentIndex(step.digitValue() - 1);
            else if (step == u'.' || step == u'p')
                control<QPushButton>(form.get(), step == u'p' ? "Check3" : "Check1")->click();
            else // typed where the focus is
                QTest::keyClick(form->focusWidget(), char(steps[0][i += step == u'\''].unicode()));
        }
        const QString shown = pattern(steps[1]);
        QCOMPARE(program.lines->shown() + control<QLabel>(form.get(), "Label1")->text()
                + form->KOdeslani,
            shown + shown + shown);
        for (int k = 0; k < 8; ++k)
            QCOMPARE(control(form.get(), QStringLiteral("Image") + QChar(u'A' + k))->isHidden(),
                shown[k] == u'0');
        QCOMPARE(form->Buffer, pattern(steps[2]));
        QCOMPARE(form->Smod, control<QTabWidget>(form.get(), "SSTab1")->currentIndex() + 1);
        QCOMPARE(control<QLabel>(form.get(), "Label2")->text(),
            "COM" + QString::number(program.lines->openPort));
        if (steps[0].endsWith(u'x')) // all lit, twice
            QCOMPARE(program.lines->txdBits(), QString(16, u'1'));
        if (steps[0].contains(u'#')) { // sent once by each run of the port change
            QVERIFY(program.messages->shown.isEmpty());
            QCOMPARE(program.lines->charactersSent(), steps[0].contains(u'-') ? 3 : 1);
        }
        if (steps[0].contains(u'p')) { // stopped, but still playing
            QVERIFY(!control<QTimer>(form.get(), "Timer2")->isActive());
            QVERIFY(control(form.get(), "Command6")->isEnabled());
        }
    }

    // What the simulated module says of each port (the ports that open, and the states it gives
    // the others) in the options' tooltips, below the given text, and in the details of the
    // boxes; then, where ports open, in the details of the open port's box before and after a
    // pick of COM2.
    void portDetails_data()
    {
        QTest::addColumn<QByteArray>("ports");
        QTest::addColumn<QByteArray>("states");
        QTest::addColumn<QString>("words");
        QTest::newRow("none opens")
            << QByteArray()
            << QByteArray("1=denied:dialout,2=busy:minicom,3=nodtr,4=nobreak,5=gone")
            << "denied busy nodtr nobreak gone";
        QTest::newRow("some open")
            << QByteArray("123") << QByteArray("2=slowbreak:ch341-uart,4=error:Input/output error")
            << "open slowbreak ready error missing";
    }

    void portDetails()
    {
        QFETCH(QByteArray, ports);
        QFETCH(QByteArray, states);
        QFETCH(QString, words);
        qputenv("PRAVLON_SIM_PORTS", ports);
        qputenv("PRAVLON_SIM_PORTINFO", states);
        const auto cleanup = qScopeGuard([] {
            qunsetenv("PRAVLON_SIM_PORTS");
            qunsetenv("PRAVLON_SIM_PORTINFO");
        });
        TestProgram program;
        QFile::copy(SIM_LIBRARY_DIR "/librscom.so", program.dir.filePath("librscom.so"));
        Environment env = program.environment();
        env.lines = std::make_shared<ModuleLineLibrary>(program.dir.path());
        auto form = program.start(true, env);

        QStringList lines;
        for (int n = 1; n <= 5; ++n) {
            auto *option = control<QRadioButton>(form.get(), QStringLiteral("Option%1").arg(n));
            const PortInfo port = *env.lines->portInfo(n);
            QCOMPARE(PortInfo::word(port.state), words.section(u' ', n - 1, n - 1));
            QCOMPARE(option->toolTip(),
                QStringLiteral("Otevřít port COM%1 pro odesílání znaků\n").arg(n)
                    + (option->isEnabled() ? describePort(port) : portStateText(port, false)));
            lines << QStringLiteral("COM%1%2: ")
                         .arg(n)
                         .arg(port.device.isEmpty() ? QString() : " (" + describePort(port) + ')')
                    + portStateText(port, false).replace(u'\n', u' ');
            // Shown on a grey option too.
            QHelpEvent help(QEvent::ToolTip, QPoint(4, 4), option->mapToGlobal(QPoint(4, 4)));
            QApplication::sendEvent(option, &help);
            QCOMPARE(QToolTip::text(), option->toolTip());
            QToolTip::hideText();
        }
        form->Label2_Click();
        if (ports.isEmpty()) {
            QCOMPARE(program.messages->titles, QStringList({"ERROR 01", "ERROR 01"}));
            for (const Message &m : std::as_const(program.messages->shown)) {
                QCOMPARE(m.details,
                    lines.join(u'\n') + "\n\nNáhled znaků v okně funguje i bez displeje.");
            }
            return;
        }
        control<QRadioButton>(form.get(), "Option2")->click();
        form->Label2_Click();
        QCOMPARE(program.messages->shown[0].details,
            "Zařízení: /dev/ttyUSB0\nAdaptér: FT232R USB UART\nPoslední znak: zatím žádný "
            "neodešel");
        QVERIFY(QRegularExpression("^Zařízení: /dev/ttyUSB1\nAdaptér: FT232R USB UART\nPoslední "
                                   "znak: (\\d+|méně než 1) ms na znak\n\nOvladač ch341-uart "
                                   "stav break jen napodobuje")
                    .match(program.messages->shown[1].details)
                    .hasMatch());
    }

    // Coming back to the program from another application does not load the character set
    // again; coming back from one of its own windows does.
    void activation()
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
    }

    // The three tabs in one row, whole, above the page contents, and every caption of every
    // window fitting its control, the main window's labels also with their longest run-time
    // texts.
    void captionsFit()
    {
        TestProgram program;
        auto form = program.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(QFontInfo(form->font()).family(), WindowFontFamily); // the face carried along
        QTabBar *bar = control<QTabWidget>(form.get(), "SSTab1")->tabBar();
        QWidget *point = control(form.get(), "Check1"); // placed as the table says, strip included
        QCOMPARE(
            QRect(point->mapTo(control<QTabWidget>(form.get(), "SSTab1"), QPoint()), point->size()),
            twipsRect(4320, 3480, 495, 495));
        QVERIFY(bar->tabRect(2).right() < control<QTabWidget>(form.get(), "SSTab1")->width());
        QVERIFY(
            bar->tabRect(0).top() == bar->tabRect(2).top() && bar->tabRect(0).bottom() < px(480));
        const QMap<QString, QString> longest{{"Label10", "Odesílaný znak : 5000"},
            {"Label6", "Rychlost generování : 5000 ms"}, {"Label9", "Pocet znaku : 1000"},
            {"Label3", "Náhodný znak : 255"}, {"Label4", "1996 ms"}, {"Label5", "Znak : 255"}};
        Environment env = program.environment();
        Form2 save([] { return BlankPattern; }, program.dataFile(), *program.messages);
        Form3 about(env, program.dataFile());
        Form4 chart;
        Form5 help;
        QWidgetList controls = form->findChildren<QWidget *>();
        for (QWidget *window : QWidgetList{&save, &about, &chart, &help})
            controls += window->findChildren<QWidget *>();
        for (QWidget *w : std::as_const(controls)) {
            QString text = w->window() == form.get() ? longest.value(w->objectName()) : QString();
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

    // Every control that can be disabled looks dimmer so; enabled, it keeps its colours.
    void disabledControlsLookDimmer()
    {
        TestProgram program;
        auto form = program.start();
        for (const char *name : {"Option1", "Command3", "qt_tabwidget_tabbar", "Commanda1",
                 "Commanda37", "Check1", "Command2", "Label3", "Frame1", "Check2", "Label4",
                 "Text1", "Label7", "Command6", "Label8", "Label9"}) {
            QWidget *w = control(form.get(), name);
            w->setEnabled(true);
            const double enabled = textContrast(w);
            w->setEnabled(false);
            QVERIFY2(textContrast(w) < 0.6 * enabled, name);
            w->setEnabled(true);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
