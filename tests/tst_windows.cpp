// The key chart, help and About windows: one instance each, the beep before opening, the links,
// the data-file version; and for every window, the keyboard.
#include "fakes.h"
#include "usercharacters/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form5.h"
#include "windows/wiringtestwindow.h"

#include <QAccessible>
#include <QClipboard>
#include <QDirIterator>
#include <QFocusFrame>
#include <QMessageBox>
#include <QRawFont>
#include <QStringDecoder>
#include <QTabBar>
#include <QTextEdit>
#include <QXmlStreamReader>

namespace {

// The focus ring is shown and stands out 3:1 from what lies just outside it.
bool ringStandsOut(QWidget *window)
{
    auto *ring = window->findChild<QFocusFrame *>();
    if (!ring || !ring->isVisible())
        return false;
    const QImage shot = window->grab().toImage();
    const QRect r = ring->geometry();
    const int y = r.center().y();
    const QPoint beside = r.left() > 0 ? QPoint(r.left() - 1, y) : QPoint(r.right() + 1, y);
    return contrastRatio(
               shot.pixelColor(r.left() > 0 ? r.left() : r.right(), y), shot.pixelColor(beside))
        >= 3;
}

// The characters of `text` that the bundled face, regular or bold, has no glyph for. The tests
// run without installed fonts, so nothing else could draw them.
QString missingGlyphs(const QString &text)
{
    static const QRawFont faces[]
        = {QRawFont::fromFont(windowFont()), QRawFont::fromFont(boldFont(windowFont()))};
    QString missing;
    for (const char32_t c : text.toUcs4()) {
        for (const QRawFont &face : faces) {
            if (QChar::category(c) != QChar::Other_Control
                && (face.familyName() != WindowFontFamily || !face.supportsCharacter(c)))
                missing += QString::fromUcs4(&c, 1);
        }
    }
    return missing;
}

// What a window draws: captions, labels, tab headers, the text box, tooltips.
QString drawnTexts(QWidget *window)
{
    QStringList texts;
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    for (QWidget *w : widgets << window) {
        texts << w->toolTip();
        if (auto *label = qobject_cast<QLabel *>(w))
            texts << label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            texts << button->text();
        else if (auto *edit = qobject_cast<QPlainTextEdit *>(w))
            texts << edit->toPlainText();
        if (auto *bar = qobject_cast<QTabBar *>(w)) {
            for (int i = 0; i < bar->count(); ++i)
                texts << bar->tabText(i);
        }
    }
    return texts.join(QString());
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

    // A window as the user meets it, shown and active: "main" with the page in front (0 ... 2),
    // "save", "about", "help" or "chart".
    QWidget *open(const QString &which)
    {
        QWidget *w = form.get();
        if (which.startsWith(u"main")) {
            control<QTabWidget>(w, "SSTab1")->setCurrentIndex(which[4].digitValue());
        } else if (which == u"test") {
            form->openWiringTest();
            w = form->wiringTest();
        } else {
            other.reset(which == u"save"
                    ? static_cast<QWidget *>(new Form2(
                        [this] { return form->KOdeslani; }, program.dataFile(), *program.messages))
                    : which == u"about" ? new Form3(env, program.dataFile())
                    : which == u"help"  ? new Form5
                                        : static_cast<QWidget *>(new Form4));
            w = other.get();
            w->setAttribute(Qt::WA_DeleteOnClose, false);
        }
        w->show();
        w->activateWindow();
        (void)QTest::qWaitForWindowActive(w); // the focus checks fail where it is not
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
    void init() { form = program.start(); }

    // The key chart without a beep, help and About after one. F1 asks for help as "Help" does,
    // and not while it is grey. Chart and help each stay one window however often asked for, can
    // be minimised, and go when closed; "Více..." opens the maker's page and leaves help open.
    // About: the links, the pictures swapped, Enter for OK.
    void chartHelpAndAbout()
    {
        open("main0");
        program.events.clear();
        catcher.opened = 0;
        // Each click raises its window, which the offscreen platform cannot do and says so.
        for (int n = 0; n < 4 && QGuiApplication::platformName() == u"offscreen"; ++n)
            QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
        form->Command7_Click();
        control(form.get(), "Command3")->setEnabled(false); // as without a line library
        QTest::keyClick(form.get(), Qt::Key_F1);
        QVERIFY(!form->helpWindow() && program.events.isEmpty());
        control(form.get(), "Command3")->setEnabled(true);
        QTest::keyClick(form.get(), Qt::Key_F1);
        const QList<QWidget *> first{form->keyChart(), form->helpWindow()};
        form->Command7_Click();
        form->Command3_Click();
        QCOMPARE((QList<QWidget *>{form->keyChart(), form->helpWindow()}), first);
        for (QWidget *w : first)
            QVERIFY(w->isVisible() && w->windowFlags() & Qt::WindowMinimizeButtonHint);
        control<QPushButton>(first[1], "Command2")->click();
        QVERIFY(first[1]->isVisible());
        control<QPushButton>(first[1], "Command1")->click();
        first[0]->close();
        QTRY_VERIFY(!form->keyChart() && !form->helpWindow());
        withAbout([&](Form3 &about) {
            auto *left = control<PictureButton>(&about, "Image1");
            auto *right = control<PictureButton>(&about, "Image2");
            const QStringList pictures{left->resource(), right->resource()};
            about.Image1_Click();
            QCOMPARE(QStringList({right->resource(), left->resource()}), pictures);
            QTest::mouseClick(right, Qt::LeftButton); // still the link after the swap
            QTest::mouseClick(control(&about, "Label4"), Qt::LeftButton);
            control<QPushButton>(&about, "Command3")->click();
            QTest::keyClick(&about, Qt::Key_Return);
            QVERIFY(!about.isVisible() && control(&about, "Image3")->isHidden());
        });
        QVERIFY(program.events == QStringList({"beep", "beep", "beep"}) && catcher.opened == 4);
    }

    // The details of a message box, where a command to copy stands: Tab reaches them, and
    // Ctrl+A, Ctrl+C copy them whole.
    void messageDetails()
    {
        const QString details
            = QStringLiteral("COM1: Nemáte právo…\nsudo usermod -aG dialout $USER");
        bool reached = false;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            (void)QTest::qWaitForWindowActive(box);
            for (auto *b : box->findChildren<QPushButton *>()) {
                if (b != box->button(QMessageBox::Ok))
                    b->click(); // "Show Details..."
            }
            auto *edit = box->findChild<QTextEdit *>();
            for (int i = 0; i < 5 && box->focusWidget() != edit; ++i)
                QTest::keyClick(box->focusWidget(), Qt::Key_Tab);
            reached = box->focusWidget() == edit;
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
            box->done(0);
        });
        QGuiApplication::clipboard()->clear();
        QtMessageSink().show(
            nullptr, "ERROR 01", NoPortText, MessageIcon::Critical, MessageButtons::Ok, details);
        QVERIFY(reached);
        QCOMPARE(QGuiApplication::clipboard()->text(), details);
    }

    // The version from Data.ini, cut to nine characters, "CHYBA" without one, nothing for an
    // empty one; no file, ERROR 02.
    void dataFileVersion()
    {
        const QString version = QStringLiteral("Verze Dat. souboru");
        for (const auto &[file, shown] : QList<std::pair<QByteArray, QStringList>>{
                 {QByteArray(), {"ERROR 02", dataFileMissingText()}},
                 {"[init]\nvktverze=2007.12.31-b\n", {version, "2007.12.3"}}, // any case
                 {"[User]\n", {version, "CHYBA"}}, {"[Init]\nVKTVerze=\n", {version, ""}}}) {
            *program.messages = RecordingMessageSink();
            QFile::remove(program.dataFile());
            file.isEmpty() ? QDir().mkdir(program.dataFile())
                           : (writeFile(program.dataFile(), file), true);
            withAbout([](Form3 &about) { about.Command4_Click(); });
            QDir().rmdir(program.dataFile());
            QCOMPARE(QStringList(
                         {program.messages->titles.join(','), program.messages->shown.last().text}),
                shown);
        }
    }

    // Every text the windows draw has its glyphs in the bundled face: what the windows show (in
    // keyboard()), the message boxes, the pictures, and any user character's name (Data.ini is
    // Windows-1250: every character of that code page).
    void everyTextInTheFace()
    {
        *program.messages = RecordingMessageSink();
        form->Label2_Click(); // the open port
        program.lines->missing = true;
        QFile::remove(program.dataFile());
        program.start(false);
        program.lines->missing = false;
        program.lines->working = {};
        program.start()->Label2_Click();
        program.lines->working = {1};
        const QStringList titles = program.messages->titles;
        QCOMPARE(QSet<QString>(titles.begin(), titles.end()),
            QSet<QString>({"Pravlon", "ERROR 01", "ERROR 02", "ERROR 03"}));
        QString texts;
        for (const Message &m : std::as_const(program.messages->shown))
            texts += m.title + m.text + m.details;
        QDirIterator pictures(QStringLiteral(":/pictures"));
        while (pictures.hasNext()) {
            QFile svg(pictures.next());
            QVERIFY(svg.open(QIODevice::ReadOnly));
            QXmlStreamReader xml(&svg);
            while (!xml.atEnd()) {
                if (xml.readNext() == QXmlStreamReader::Characters)
                    texts += xml.text();
            }
        }
        QByteArray codePage;
        for (int byte = 0x20; byte <= 0xff; ++byte)
            codePage += char(byte);
        texts += QStringDecoder("windows-1250")(codePage);
        QCOMPARE(missingGlyphs(texts), QString());
    }

    // Tab stops at every control that does something, each with a name, and comes back round to
    // the one that has the focus when the window opens; in the text to play it moves on rather
    // than type a tab. Esc closes every window but the main one. Each draws its texts in the
    // bundled face.
    void keyboard_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("stops");
        QTest::newRow("first page: the column, 46 characters, clear, point") << "main0" << 53;
        QTest::newRow("segment editor: 8 segments, save, draw, auto, speed") << "main1" << 17;
        QTest::newRow("text player: text, speed, play, repeat, chart") << "main2" << 10;
        QTest::newRow("save dialog: name, 10 slots, reset, close") << "save" << 13;
        QTest::newRow("About: 4 buttons, 2 pictures, link") << "about" << 7;
        QTest::newRow("help: close, more") << "help" << 2;
        QTest::newRow("wiring test: 3 answers, repeat") << "test" << 4;
        QTest::newRow("key chart") << "chart" << 0;
    }

    void keyboard()
    {
        QFETCH(QString, window);
        QWidget *w = open(window);
        QCOMPARE(missingGlyphs(drawnTexts(w)), QString());
        QWidget *first = w->focusWidget(), *f = first;
        int stops = 0;
        while (f && stops < 100) {
            QVERIFY2(!QAccessible::queryAccessibleInterface(f)->text(QAccessible::Name).isEmpty(),
                qPrintable(f->objectName()));
            QVERIFY2(ringStandsOut(w), qPrintable(f->objectName()));
            QTest::keyClick(f, Qt::Key_Tab);
            f = w->focusWidget() == first ? nullptr : w->focusWidget();
            ++stops;
        }
        QTEST(stops, "stops");
        if (w != form.get()) {
            QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Escape);
            QVERIFY(!w->isVisible());
        }
    }

    // A dark desktop theme changes nothing of the windows' look (the wiring diagram's
    // included), whether it comes while they are open or was there before they were built.
    void darkDesktop()
    {
        const auto build = [this] {
            return QWidgetList{program.start().release(),
                new Form2([] { return BlankPattern; }, program.dataFile(), *program.messages),
                new Form3(env, program.dataFile()), new Form4, new Form5};
        };
        const auto shots = [](const QWidgetList &windows) {
            QList<QImage> images;
            for (QWidget *w : windows)
                images << w->grab().toImage();
            return images;
        };
        const QWidgetList open = build();
        const QList<QImage> light = shots(open);
        const QPalette before = QApplication::palette();
        QApplication::setPalette(QPalette(QColor(238, 238, 236), QColor(53, 53, 53)));
        const QWidgetList built = build();
        const bool same = shots(open) == light && shots(built) == light;
        QApplication::setPalette(before);
        qDeleteAll(open + built);
        QVERIFY(same);
    }

    // What the user reads when pointing at a control, word for word, and what a screen reader
    // hears of the preview and the sliders: the pattern on show and its lit segments, a period.
    void toolTipsAndScreenReader()
    {
        Form3 about(env, program.dataFile());
        for (const auto &[window, name, tip] : QList<std::tuple<QWidget *, const char *, QString>>{
                 {form.get(), "Check1", "Zobrazit des. čárku"},
                 {form.get(), "Command1", "Zobrazit prázdný znak"},
                 {form.get(), "Image1", "Náhled"}, {form.get(), "Command2", "Uloží znak v náhledu"},
                 {&about, "Command3", "Stánky VKT Software"},
                 {&about, "Command4", "Informace o datovém souboru"},
                 {&about, "Command2", "Informace o PC"}})
            QCOMPARE(control(window, name)->toolTip(), tip);
        const auto heard = [](QWidget *w, QAccessible::Text what) {
            return QAccessible::queryAccessibleInterface(w)->text(what);
        };
        form->KOdeslani = QStringLiteral("10010010");
        form->ShowCharacter();
        auto *preview = control(form.get(), "Image1");
        QCOMPARE(
            heard(preview, QAccessible::Value) + u'|' + heard(preview, QAccessible::Description),
            "10010010|Svítí a, d, g");
        auto *slider = control(form.get(), "VScroll1");
        QTest::keyClick(slider, Qt::Key_Up); // the label agrees with it from its first move
        QCOMPARE(heard(slider, QAccessible::Value), textOf(form.get(), "Label4"));
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
