// The key chart, help and About windows: one instance each, the beep before opening, the links,
// the data-file version, the system information tool; and for every window, the keyboard, what a
// screen reader reads, the colours under a dark desktop theme, plain text and Qt's own texts in
// Czech.
#include "fakes.h"
#include "usercharacters/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form5.h"

#include <QAccessible>
#include <QFocusFrame>

namespace {

QStringList names(const char *pattern, int from, int to)
{
    QStringList list;
    for (int n = from; n <= to; ++n)
        list << QString::fromLatin1(pattern).arg(n);
    return list;
}

// The focus ring is shown and stands out 3:1 from what lies just outside it.
bool ringStandsOut(QWidget *window)
{
    auto *ring = window->findChild<QFocusFrame *>();
    if (!ring || !ring->isVisible())
        return false;
    const QImage shot = window->grab().toImage();
    const QRect r = ring->geometry();
    const int y = r.center().y();
    const QPoint on = r.left() > 0 ? r.topLeft() : r.topRight();
    const QPoint beside = r.left() > 0 ? QPoint(r.left() - 1, y) : QPoint(r.right() + 1, y);
    return contrastRatio(shot.pixelColor(on.x(), y), shot.pixelColor(beside)) >= 3;
}

} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

    UrlCatcher catcher;
    TestProgram program;
    std::unique_ptr<Form1> form;
    Environment env = program.environment();
    std::unique_ptr<QWidget> other;

    // A window as the user meets it, shown and active: "main" with the page in front (0 ... 2)
    // and the keys then typed, "save", "about", "help" or "chart".
    QWidget *open(const QString &which)
    {
        QWidget *w = form.get();
        if (which.startsWith(u"main")) {
            control<QTabWidget>(w, "SSTab1")->setCurrentIndex(which[4].digitValue());
        } else {
            if (which == u"save")
                other = std::make_unique<Form2>(
                    [this] { return form->KOdeslani; }, program.dataFile(), *program.messages);
            else if (which == u"about")
                other = std::make_unique<Form3>(env, program.dataFile());
            else
                other = which == u"help" ? std::unique_ptr<QWidget>(new Form5)
                                         : std::unique_ptr<QWidget>(new Form4);
            w = other.get();
            w->setAttribute(Qt::WA_DeleteOnClose, false);
        }
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            qWarning("%s not active", qPrintable(which));
        QTest::keyClicks(w, which.mid(5));
        return w;
    }

    // Runs the About window modally, as its button does, and does `action` in it.
    void withAbout(const std::function<void(Form3 &)> &action)
    {
        QTimer::singleShot(0, [&] {
            auto *about = qobject_cast<Form3 *>(QApplication::activeModalWidget());
            action(*about);
            about->close();
        });
        form->Command4_Click();
    }

private slots:
    void init()
    {
        form = program.start();
        *program.messages = RecordingMessageSink();
        program.events.clear();
        catcher.opened = 0;
    }

    // One chart, without a beep; closed, it goes, and the next click makes a new one.
    void keyChart()
    {
        form->Command7_Click();
        Form4 *chart = form->keyChart();
        form->Command7_Click();
        QVERIFY(form->keyChart() == chart && chart->isVisible() && program.events.isEmpty()
            && chart->windowFlags() & Qt::WindowMinimizeButtonHint);
        chart->close();
        QTRY_VERIFY(!form->keyChart());
    }

    // Help: a beep, then one window; "Více..." opens the maker's page and leaves it open.
    // About: a beep, the links, the picture swap, Enter for OK.
    void helpAndAbout()
    {
        form->Command3_Click();
        Form5 *help = form->helpWindow();
        form->Command3_Click();
        QVERIFY(form->helpWindow() == help && help->windowFlags() & Qt::WindowMinimizeButtonHint);
        control<QPushButton>(help, "Command2")->click();
        QVERIFY(help->isVisible());
        control<QPushButton>(help, "Command1")->click();
        QTRY_VERIFY(!form->helpWindow());
        withAbout([&](Form3 &about) {
            const QStringList pictures{control<PictureButton>(&about, "Image1")->resource(),
                control<PictureButton>(&about, "Image2")->resource()};
            about.Image1_Click();
            QCOMPARE(QStringList({control<PictureButton>(&about, "Image2")->resource(),
                         control<PictureButton>(&about, "Image1")->resource()}),
                pictures);
            QTest::mouseClick(
                control(&about, "Image2"), Qt::LeftButton); // still the link after the swap
            QTest::mouseClick(control(&about, "Label4"), Qt::LeftButton);
            control<QPushButton>(&about, "Command3")->click();
            QTest::keyClick(&about, Qt::Key_Return);
            QVERIFY(!about.isVisible() && control(&about, "Image3")->isHidden());
        });
        QVERIFY(program.events == QStringList({"beep", "beep", "beep"}) && catcher.opened == 4);
    }

    // The version from Data.ini, cut to nine characters, "CHYBA" without one; no file, ERROR 02.
    void dataFileVersion_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("shown"); // title, text
        const QString version = QStringLiteral("Verze Dat. souboru");
        QTest::newRow("a directory")
            << QByteArray() << QStringList{"ERROR 02", dataFileMissingText()};
        QTest::newRow("long") << QByteArray("[Init]\nVKTVerze=2007.12.31-b\n")
                              << QStringList{version, "2007.12.3"};
        QTest::newRow("no entry") << QByteArray("[User]\n") << QStringList{version, "CHYBA"};
        QTest::newRow("empty") << QByteArray("[init]\nvktverze=\n") << QStringList{version, ""};
    }

    void dataFileVersion()
    {
        QFETCH(QByteArray, file);
        QFile::remove(program.dataFile());
        file.isEmpty() ? QDir().mkdir(program.dataFile())
                       : (writeFile(program.dataFile(), file), true);
        withAbout([](Form3 &about) { about.Command4_Click(); });
        QDir().rmdir(program.dataFile());
        QTEST(
            QStringList({program.messages->titles.join(','), program.messages->shown.last().text}),
            "shown");
    }

    // Tab goes round every control that does something, in reading order, from the one that has
    // the focus when the window opens and back to it; each has a name and a focus ring that
    // stands out 3:1, and answers Space as its click. Tab leaves the text to play as it was;
    // Esc closes every window but the main one.
    void keyboard_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("chain");
        const QStringList column{
            "Option1", "Command3", "Command4", "Label2", "qt_tabwidget_tabbar"};
        QTest::newRow("first page")
            << "main0" << column + names("Commanda%1", 1, 46) + QStringList{"Command1", "Check1"};
        QTest::newRow("segment editor") << "main1"
                                        << column + names("Image%1", 3, 10)
                + QStringList{"Command2", "Command5", "Check2", "VScroll1"};
        QTest::newRow("text player")
            << "main2" << column + QStringList{"Text1", "HScroll1", "Check3", "Check4", "Command7"};
        QTest::newRow("save dialog") << "save" << QStringList{"Text1"} + names("Image%1", 2, 13);
        QTest::newRow("About") << "about"
                               << QStringList{"Command1", "Command4", "Command2", "Image1",
                                      "Image2", "Label4", "Command3"};
        QTest::newRow("help") << "help" << QStringList{"Command1", "Command2"};
        QTest::newRow("key chart") << "chart" << QStringList{};
    }

    void keyboard()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, chain);
        QWidget *w = open(window);
        auto *played = w->findChild<QPlainTextEdit *>();
        const QString text = played ? played->toPlainText() : QString();
        QStringList walked;
        for (QWidget *f = w->focusWidget(); f && walked.size() <= chain.size();) {
            walked << f->objectName();
            QVERIFY2(!QAccessible::queryAccessibleInterface(f)->text(QAccessible::Name).isEmpty(),
                qPrintable(f->objectName()));
            QVERIFY2(ringStandsOut(w), qPrintable(f->objectName()));
            QTest::keyClick(f, Qt::Key_Tab);
            f = w->focusWidget();
            if (f && f->objectName() == chain.value(0))
                break;
        }
        QCOMPARE(walked, chain);
        QCOMPARE(played ? played->toPlainText() : QString(), text);

        // Last to first, so that the buttons that close the window come after the others.
        for (auto name = chain.crbegin(); name != chain.crend(); ++name) {
            QWidget *c = control(w, *name);
            if (c->metaObject()->indexOfSignal("clicked()") < 0)
                continue; // a tab strip, a slider or a text field
            w->show();
            QSignalSpy clicked(c, SIGNAL(clicked()));
            QTimer::singleShot(0, w, [w] { // a dialog it opens is closed at once
                if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != w)
                    modal->close();
            });
            QTest::keyClick(c, Qt::Key_Space);
            QCoreApplication::processEvents();
            QVERIFY2(clicked.size() == 1, qPrintable(*name));
        }
        if (w == form.get())
            return;
        w->show();
        QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Escape);
        QVERIFY(!w->isVisible());
    }

    // What a screen reader reads: the name, " = " and the value where there is one, " (zapnuto)"
    // for a control switched on, " – " and the description of a picture.
    void accessibleNames_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("read");
        const auto row = [](const char *window, const char *name, const QString &read) {
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(window, name)))
                << window << name << read;
        };
        row("main1g", "Image1", "Náhled = 00000010 – Svítí g");
        row("main1g", "Image9", "Segment g (zapnuto)");
        row("main1g", "VScroll1", "Rychlost náhodného generátoru = 96 ms");
        row("main1g", "Shape2", "Kontrolka generátoru");
        row("main2", "HScroll1", "Rychlost generování = 350 ms");
        row("main2", "Text1", "Text k přehrání = --c-- 2007");
        row("save", "Text1", "Jméno znaku : = [1]");
        row("save", "Image4", "Uložit do 3");
        row("save", "Image12", "Vymazat všechny uživatelské znaky");
        row("about", "Image1", "Prohodit obrázky");
        row("help", "Image1", "Schéma zapojení – " + WiringDescription);
        row("chart", "Meaning12", "Svítí jen segment g");
    }

    void accessibleNames()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QAccessibleInterface *read
            = QAccessible::queryAccessibleInterface(::control(open(window), control));
        QString heard = read->text(QAccessible::Name);
        if (const QString value = read->text(QAccessible::Value); !value.isEmpty())
            heard += " = " + value;
        if (read->state().checked)
            heard += " (zapnuto)";
        if (read->role() == QAccessible::Graphic && !read->text(QAccessible::Description).isEmpty())
            heard += " – " + read->text(QAccessible::Description);
        QTEST(heard, "read");
    }

    // Under a dark desktop theme the wiring diagram's black drawing stands out from its ground
    // as under a light one.
    void darkTheme()
    {
        const QPalette light = QApplication::palette();
        QApplication::setPalette(QPalette(QColor(238, 238, 236), QColor(53, 53, 53),
            QColor(70, 70, 70), QColor(30, 30, 30), QColor(45, 45, 45), QColor(238, 238, 236),
            Qt::white, QColor(45, 45, 45), QColor(53, 53, 53)));
        Form5 help;
        const QImage diagram = help.grab(control(&help, "Image1")->geometry()).toImage();
        QApplication::setPalette(light);
        QRgb ink = qRgb(255, 255, 255);
        for (int y = 0; y < diagram.height(); ++y) {
            for (int x = 0; x < diagram.width(); ++x)
                ink = qGray(diagram.pixel(x, y)) < qGray(ink) ? diagram.pixel(x, y) : ink;
        }
        // The ground: a spot between the drawing's lines.
        QVERIFY(contrastRatio(diagram.pixelColor(60, 30), QColor(ink)) >= 4.5);
    }

    // Names from Data.ini and typed text are shown as they are, never read as markup, and
    // Qt's own texts (the reset question's buttons, the text box's menu) are Czech.
    void plainTextAndCzech()
    {
        Environment env = program.environment();
        Form2 dialog([] { return BlankPattern; }, program.dataFile(), *program.messages);
        Form3 about(env, program.dataFile());
        Form4 chart;
        Form5 help;
        for (QWidget *window : QList<QWidget *>{form.get(), &dialog, &about, &chart, &help}) {
            for (QLabel *label : window->findChildren<QLabel *>())
                QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
        }
        if (!installCzechQtTexts())
            QSKIP("Qt's Czech translation (Debian qt6-translations-l10n) is not installed");
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ano"));
        QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "&Copy"),
            QStringLiteral("&Kopírovat"));
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
