// Renders every window to PNG files in the given directory, for looking at them: each page of
// the main window, its disabled states (line library missing; some ports unusable; playing),
// the save dialog with each of its status texts and with the keyboard focus on a slot (pressed
// and not), and the
// three small windows; all of it once more under a dark desktop palette (names ending "-dark").
#include "fakes.h"
#include "sources/segmenteditor.h"
#include "sources/textplayer.h"
#include "usercharacters/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form5.h"
#include "windows/wiringtestwindow.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTabWidget>

namespace {

// A dark desktop theme's palette, as Adwaita's dark variant gives it.
QPalette darkPalette()
{
    QPalette dark(QColor(238, 238, 236), QColor(53, 53, 53), QColor(70, 70, 70), QColor(30, 30, 30),
        QColor(45, 45, 45), QColor(238, 238, 236), Qt::white, QColor(45, 45, 45),
        QColor(53, 53, 53));
    dark.setColor(QPalette::Highlight, QColor(21, 83, 158));
    return dark;
}

void renderAll(const QString &out, const QString &suffix)
{
    const auto save = [&](QWidget *w, const QString &name) {
        w->show();
        QApplication::processEvents();
        if (!w->grab().save(QDir(out).filePath(name + suffix + QStringLiteral(".png"))))
            qWarning("cannot save %s", qPrintable(name));
    };

    TestProgram program;
    // Names as long as the file allows, in its code page.
    writeFile(program.dataFile(),
        QStringEncoder("windows-1250")(
            QStringLiteral("[User]\nB1Text=Kolečko\nB2Text=Ýpsilon\nB3Text=Desátý\nB4Text=WWWW\n"
                           "B5Text=123456789\nB6Text=<u>X</u>\nB7Text=R&B\n")));
    auto form = program.start();
    form->show();
    QApplication::processEvents();
    form->KOdeslani = QStringLiteral("11101110");
    form->ShowCharacter();
    save(form.get(), QStringLiteral("form1-page1"));
    control<QTabWidget>(form.get(), "SSTab1")->setCurrentIndex(int(Page::Editor));
    for (int i : {0, 1, 6, 7})
        control<SegmentEditorPage>(form.get(), "Page2")->Image_Click(i);
    save(form.get(), QStringLiteral("form1-page2"));
    form->activateWindow();
    control(form.get(), "Image9")->setFocus(Qt::TabFocusReason);
    save(form.get(), QStringLiteral("form1-page2-focus"));
    control<QTabWidget>(form.get(), "SSTab1")->setCurrentIndex(int(Page::Player));
    save(form.get(), QStringLiteral("form1-page3"));
    control<QPlainTextEdit>(form.get(), "Text1")->setPlainText(QStringLiteral("v\u00a0Praze"));
    auto *play = control<QPushButton>(form.get(), "Check3");
    play->setChecked(true);
    control<TextPlayerPage>(form.get(), "Page3")->Timer2_Timer();
    control<TextPlayerPage>(form.get(), "Page3")->Timer2_Timer();
    save(form.get(), QStringLiteral("form1-playing"));
    play->setChecked(false);

    Form2 dialog([&] { return form->KOdeslani; }, program.dataFile(), *program.messages);
    save(&dialog, QStringLiteral("form2"));
    const QStringList statuses
        = {QStringLiteral("Znak uložen do 10"), QStringLiteral("Uživatelské znaky vymazány"),
            QStringLiteral("Chyba: znak nebyl uložen (Data.ini nelze zapsat)"),
            QStringLiteral("Chyba: znaky nebyly vymazány (Data.ini nelze zapsat)")};
    for (int i = 0; i < statuses.size(); ++i) {
        control<QLabel>(&dialog, "Label6")->setText(statuses[i]);
        save(&dialog, QStringLiteral("form2-status%1").arg(i + 1));
    }
    for (int i = 0; i < 3; ++i) // the name field, slots 1 and 2
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    save(&dialog, QStringLiteral("form2-focus"));
    qobject_cast<QAbstractButton *>(dialog.focusWidget())->setDown(true); // Space held on slot 3
    save(&dialog, QStringLiteral("form2-pressed"));
    dialog.hide();

    Environment env = program.environment();
    Form3 about(env, program.dataFile());
    save(&about, QStringLiteral("form3"));
    Form4 chart;
    save(&chart, QStringLiteral("form4"));
    Form5 help;
    save(&help, QStringLiteral("form5"));

    // The wiring test on a display with segments b and e swapped and g cut: the step of b with
    // what lights picked, and the diagnosis.
    program.lines->boards[1].wire = {0, 4, 2, 3, 1, 5, -1, 7};
    form->openWiringTest();
    WiringTestWindow *test = form->wiringTest();
    test->answer({wiringtest::Seen::Exactly, {}});
    test->answer({wiringtest::Seen::Exactly, {}});
    QTest::keyClick(test, Qt::Key_E);
    save(test, QStringLiteral("wiringtest-step"));
    test->answer({wiringtest::Seen::Other, program.lines->shown()});
    while (!test->session().finished()) {
        const QString shown = program.lines->shown();
        test->answer(shown == test->session().step().pattern
                ? wiringtest::Answer{wiringtest::Seen::Exactly, {}}
                : wiringtest::Answer{wiringtest::Seen::Other, shown});
    }
    save(test, QStringLiteral("wiringtest-diagnosis"));
    test->close();
    form->hide();

    // COM2, COM4 and COM5 unusable.
    TestProgram someMissing;
    someMissing.lines->working = {1, 3};
    auto ports = someMissing.start();
    save(ports.get(), QStringLiteral("form1-ports"));
    ports->hide();

    // The line library missing: tabs, options and Help disabled, on every page.
    TestProgram noLibrary;
    noLibrary.lines->missing = true;
    auto disabled = noLibrary.start();
    for (int page = 0; page < 3; ++page) {
        control<QTabWidget>(disabled.get(), "SSTab1")->setCurrentIndex(page);
        save(disabled.get(), QStringLiteral("form1-nolibrary-page%1").arg(page + 1));
    }
    disabled->hide();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    renderAll(out, QString());
    QApplication::setPalette(darkPalette());
    renderAll(out, QStringLiteral("-dark"));
    return 0;
}
