// The wiring test: its diagnosis against displays built wrong, each fault a wrong circuit behind
// the simulated port and each answer what that display shows; its window in the main window.
#include "fakes.h"
#include "windows/form5.h"
#include "windows/wiringtestwindow.h"
#include "wiringtest/wiringtest.h"

#include <QAction>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QStringEncoder>

using namespace wiringtest;

namespace {

struct Fault
{
    const char *name;
    std::function<void(Board &)> build;
    QStringList titles; // of the findings, in order
    QStringList named; // what the findings must name
};

const QList<Fault> &faults()
{
    static const QList<Fault> all{
        {"as drawn", [](Board &) {}, {"Zapojení je v pořádku"}, {}},
        {"as drawn, the register powered up with segments lit",
            [](Board &b) { b.outputs = QStringLiteral("01101001"); }, {"Zapojení je v pořádku"},
            {}},
        {"the wires of Q2 and Q5 swapped", [](Board &b) { std::swap(b.wire[1], b.wire[4]); },
            {"Prohozené segmenty b a e"},
            {"Výstup Q2 (pin 5 obvodu 4094)", "Q5 (pin 14 obvodu 4094)", "pin 9 displeje",
                "pin 4 displeje"}},
        {"Q7 cut", [](Board &b) { b.wire[6] = -1; }, {"Nesvítí segment g"},
            {"výstup Q7 (pin 12 obvodu 4094)", "pin 1 displeje", "rezistor", "0 V"}},
        {"Q7 cut and Q2, Q5 swapped",
            [](Board &b) {
                b.wire[6] = -1;
                std::swap(b.wire[1], b.wire[4]);
            },
            {"Prohozené segmenty b a e", "Nesvítí segment g"}, {"pin 12", "pin 5", "pin 14"}},
        {"display pins 9 and 4 bridged", [](Board &b) { b.bridged = std::pair(1, 4); },
            {"Segment b svítí spolu s e", "Segment e svítí spolu s b"},
            {"Výstup Q2 (pin 5 obvodu 4094)", "mezi pinem 9 a pinem 4 displeje"}},
        {"DTR and TxD crossed at the connector", [](Board &b) { b.crossed = true; },
            {"Prohozené DTR a TxD"},
            {"pin 4 konektoru", "pin 3 konektoru", "pin 8 obvodu MAX 232", "pin 13",
                "pin 2 obvodu 4094 má 0 V a pin 3 +5 V"}},
        {"DTR and TxD crossed, the register powered up with segments lit",
            [](Board &b) {
                b.crossed = true;
                b.outputs = QStringLiteral("00110110");
            },
            {"Prohozené DTR a TxD"}, {"pin 4 konektoru"}},
        {"no clock, the register powered up with segments lit",
            [](Board &b) {
                b.clockHeld = true;
                b.outputs = QStringLiteral("10110010");
            },
            {"Displej se nemění"},
            {"a, c, d, g", "pin 4 konektoru", "pin 8 obvodu MAX 232", "pin 3 obvodu 4094"}},
        {"no clock, the register powered up dark", [](Board &b) { b.clockHeld = false; },
            {"Nesvítí nic"}, {"pin 4 konektoru", "pin 8 obvodu MAX 232"}},
        {"the clock not inverted, the register powered up with a segment lit",
            [](Board &b) {
                b.clockNotInverted = true;
                b.outputs = QStringLiteral("10000000");
            },
            {"Obrazec posunutý o segment"}, {"pin 3 obvodu 4094 má mít +5 V", "pin 8", "pin 9"}},
        {"the data input stuck high", [](Board &b) { b.dataHeld = true; }, {"Nesvítí nic"},
            {"pin 3 konektoru (TxD) -> pin 13 MAX 232 -> pin 12 MAX 232 -> pin 2 obvodu 4094",
                "+5 V"}},
        {"the data input stuck low", [](Board &b) { b.dataHeld = false; }, {"Svítí stále vše"},
            {"pin 2 obvodu 4094", "pin 12 obvodu MAX 232", "pin 13 obvodu MAX 232",
                "pin 3 konektoru"}},
        {"no supply", [](Board &b) { b.powered = false; }, {"Nesvítí nic"},
            {"piny 16 a 8 obvodu 4094", "piny 3 a 8 displeje mají mít +5 V", "MAX 232"}},
    };
    return all;
}

// What a user answers when the display shows `shown` for a step.
Answer answerFor(const Step &step, const QString &shown)
{
    return shown == step.pattern ? Answer{Seen::Exactly, {}}
        : shown == BlankPattern  ? Answer{Seen::Nothing, {}}
                                 : Answer{Seen::Other, shown};
}

} // namespace

class TestWiringTest : public QObject
{
    Q_OBJECT

private slots:
    // Each fault built into the display behind the port; each step sent as the window sends it,
    // answered with what that display shows; the findings name the pins to check.
    void diagnosis_data()
    {
        QTest::addColumn<int>("fault");
        for (int i = 0; i < faults().size(); ++i)
            QTest::newRow(faults()[i].name) << i;
    }
    void diagnosis()
    {
        QFETCH(int, fault);
        const Fault &f = faults()[fault];
        FakeLineLibrary lines;
        f.build(lines.boards[1]);
        lines.OPENCOM("COM1,1200,N,8,1");
        Session session;
        while (!session.finished()) {
            QVERIFY(transferPattern(lines, session.step().pattern));
            session.answer(answerFor(session.step(), lines.shown()));
        }
        const QList<Finding> findings = diagnose(session.seen());
        QStringList titles;
        for (const Finding &found : findings)
            titles << found.title;
        const QString text = diagnosisText(findings);
        QVERIFY2(titles == f.titles, qPrintable(text));
        for (const QString &pin : f.named)
            QVERIFY2(text.contains(pin), qPrintable(pin + u'\n' + text));
        // The bundled face carries the Windows-1250 repertoire: nothing else would draw.
        QStringEncoder cp1250("windows-1250");
        (void)cp1250.encode(text + Question);
        QVERIFY(!cp1250.hasError());
    }

    // The terminal's answers; going back answers a step again.
    void answers()
    {
        const Step &b = steps()[2];
        QCOMPARE(litPattern(b, *parseAnswer(QStringLiteral(" P "))), b.pattern);
        QCOMPARE(litPattern(b, *parseAnswer(QStringLiteral("n"))), BlankPattern);
        QCOMPARE(litPattern(b, *parseAnswer(QStringLiteral("a, H e"))), QStringLiteral("10001001"));
        for (const char *wrong : {"", "x", "ab1", "přesně"})
            QVERIFY2(!parseAnswer(QString::fromUtf8(wrong)), wrong);
        Session s;
        s.answer({Seen::Nothing, {}});
        s.back();
        QCOMPARE(s.current(), 0);
        s.answer({Seen::Nothing, {}});
        s.answer({Seen::Nothing, {}});
        s.back();
        s.answer({Seen::Exactly, {}});
        QCOMPARE(s.seen()[1], steps()[1].pattern);
        QCOMPARE(s.current(), 2);
    }

    // F2, the preview's and the help diagram's context menus open the window, modal to the main
    // window; with no port open a box says so instead. Each step is sent through the main window
    // as the segment editor sends it, the point's step too; the keys answer; the sources stay
    // silent; closing sends the pattern of before again, with the first page in front again. The
    // player is silent while the test runs, and plays on after it, from its own pattern.
    void window()
    {
        TestProgram program;
        program.lines->boards[1].wire[6] = -1;
        std::unique_ptr<Form1> form = program.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get())); // for F2
        characterButton(form.get(), 11)->click(); // "A"
        control<QAbstractButton>(form.get(), "Check1")->click(); // with its point
        const QString before = program.lines->shown();
        const int sentBefore = program.lines->charactersSent();
        QTest::keyClick(form.get(), Qt::Key_F2);
        WiringTestWindow *test = form->wiringTest();
        QVERIFY(test && test->isModal() && test->parentWidget() == form.get());
        QCOMPARE(test->windowTitle(), "Test zapojení");
        QCOMPARE(control<QTabWidget>(form.get(), "SSTab1")->currentIndex(), 1);
        for (int i = 0; i < steps().size(); ++i) {
            FakeLineLibrary editor; // the step as the segment editor sends it, whole
            QVERIFY(transferPattern(editor, steps()[i].pattern));
            QCOMPARE(program.lines->calls.mid(program.lines->calls.size() - 24), editor.calls);
            QCOMPARE(form->KOdeslani, steps()[i].pattern);
            QCOMPARE(control<DigitPreview>(test, "Sent")->pattern(), steps()[i].pattern);
            const QString shown = program.lines->shown();
            if (shown == steps()[i].pattern) {
                QTest::keyClick(test, Qt::Key_P);
            } else if (shown == BlankPattern) {
                if (i == 7) { // g: nothing marked, back to it, sent again, answered again
                    QTest::keyClicks(test, "j\r");
                    QTest::keyClick(test, Qt::Key_Backspace);
                    QTest::keyClick(test, Qt::Key_O);
                    // the tab switch, steps dark ... g, h, g again after Back and after O
                    QCOMPARE(program.lines->charactersSent(), sentBefore + 1 + i + 4);
                }
                QTest::keyClick(test, Qt::Key_N);
            } else {
                QTest::keyClick(test, Qt::Key_J);
                for (int k = 0; k < Segments; ++k) {
                    if (shown[k] == u'1')
                        QTest::keyClick(test, Qt::Key(Qt::Key_A + k));
                }
                QTest::keyClick(test, Qt::Key_Enter, Qt::KeypadModifier);
                QCOMPARE(*test->session().seen()[i], shown); // the point's H too
            }
        }
        QVERIFY(test->diagnosis().startsWith(QStringLiteral("Nesvítí segment g")));
        auto *findings = control<QPlainTextEdit>(test, "Findings");
        QCOMPARE(findings->toPlainText(), test->diagnosis());
        control<QPushButton>(test, "Copy")->click();
        QCOMPARE(QApplication::clipboard()->text(), test->diagnosis());

        const int sent = program.lines->charactersSent();
        QTest::keyClick(test, Qt::Key_Escape);
        QVERIFY(!form->wiringTestRunning());
        QCOMPARE(control<QTabWidget>(form.get(), "SSTab1")->currentIndex(), 0);
        QCOMPARE(program.lines->charactersSent(), sent + 1);
        QCOMPARE(program.lines->shown(), before);

        // The preview's menu, then the help diagram's; a running test is raised, not doubled.
        const auto trigger = [](QWidget *w) {
            QCOMPARE(w->contextMenuPolicy(), Qt::ActionsContextMenu);
            QCOMPARE(w->actions().value(0)->text(), "Test zapojení…");
            w->actions().value(0)->trigger();
        };
        trigger(control(form.get(), "Image1"));
        QVERIFY(form->wiringTestRunning());
        test = form->wiringTest();
        for (int n = 0; n < 2 && QGuiApplication::platformName() == u"offscreen"; ++n)
            QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
        form->Command3_Click();
        trigger(control(form->helpWindow(), "Image1"));
        QCOMPARE(form->wiringTest(), test);
        test->close();

        control<QTabWidget>(form.get(), "SSTab1")->setCurrentIndex(2);
        control<QAbstractButton>(form.get(), "Check3")->click(); // Play
        auto *timer = control<QTimer>(form.get(), "Timer2");
        QVERIFY(timer->isActive());
        control<TextPlayerPage>(form.get(), "Page3")->Timer2_Timer(); // "-", not the first step
        const QString played = form->KOdeslani;
        form->openWiringTest();
        QVERIFY(!timer->isActive());
        form->wiringTest()->close();
        QVERIFY(timer->isActive() && form->KOdeslani == played);
        QCOMPARE(control<QTabWidget>(form.get(), "SSTab1")->currentIndex(), 2);

        // No port: a box says so, and which states stand in the way.
        TestProgram portless;
        portless.lines->working.clear();
        form = portless.start();
        QCOMPARE(textOf(form.get(), "Label2"), "COM0");
        const Message noPort = portless.messages->shown.value(0); // ERROR 01 at start-up
        portless.messages->shown.clear();
        form->openWiringTest();
        QVERIFY(!form->wiringTestRunning());
        const Message box = portless.messages->shown.value(0);
        QCOMPARE(
            QStringList({box.title, box.details}), QStringList({"Test zapojení", noPort.details}));
    }

    // While a step is clocked out (seconds on an adapter that makes the break up) the window says
    // so; a step that did not go out whole is named as such.
    void sending()
    {
        QString during;
        WiringTestWindow *w = nullptr;
        WiringTestWindow window(
            [&](const QString &) {
                during = control<QLabel>(w, "Status")->text();
                return false;
            },
            QStringLiteral("COM3"), nullptr);
        w = &window;
        window.show();
        QCOMPARE(during, "Posílám krok na displej (COM3)…");
        QCOMPARE(control<QLabel>(w, "Status")->text(), "Krok se nepodařilo odeslat celý (COM3).");
    }
};

QTEST_MAIN(TestWiringTest)
#include "tst_wiringtest.moc"
