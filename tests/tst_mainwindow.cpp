// The main window: start-up in its situations, port changes through the options, the hand-over
// of patterns between pages, activation, shutdown, and how the window looks.
#include "fakes.h"
#include "sources/characterbuttons.h"
#include "sources/segmenteditor.h"
#include "sources/textplayer.h"
#include "ui/geometry.h"
#include "ui/widgets.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    int opened = 0;
public slots:
    void open(const QUrl &url) { opened += url == makerWebUrl(); }
};

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

class TestMainWindow : public QObject
{
    Q_OBJECT

    UrlCatcher catcher;

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    // Which ports work, whether the line library is there, what stands at Data.ini; then the
    // boxes shown, the port label, the option selected (0: none) and those still enabled.
    void startUp_data()
    {
        QTest::addColumn<QList<int>>("working");
        QTest::addColumn<bool>("library");
        QTest::addColumn<QString>("dataFile");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QList<int>>("enabled");
        QTest::newRow("normal") << QList<int>{1, 2} << true << "file" << QStringList{} << "COM1"
                                << 1 << QList<int>{1, 2};
        QTest::newRow("only COM3")
            << QList<int>{3} << true << "file" << QStringList{} << "COM3" << 3 << QList<int>{3};
        QTest::newRow("no port") << QList<int>{} << true << "file" << QStringList{"ERROR 01"}
                                 << "COM0" << 0 << QList<int>{};
        QTest::newRow("no library, no file")
            << QList<int>{1} << false << "none" << QStringList{"ERROR 03", "ERROR 02"} << "COM0"
            << 1 << QList<int>{};
        // A FIFO is no character-set file: it counts as missing and must not block the start.
        QTest::newRow("a FIFO") << QList<int>{1} << true << "fifo" << QStringList{"ERROR 02"}
                                << "COM1" << 1 << QList<int>{1};
    }

    void startUp()
    {
        QFETCH(QList<int>, working);
        QFETCH(bool, library);
        QFETCH(QString, dataFile);
        QFETCH(QList<int>, enabled);
        TestProgram program;
        program.lines->working = std::set<int>(working.begin(), working.end());
        program.lines->missing = !library;
        if (dataFile == QLatin1String("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(program.dataFile()).constData(), 0644), 0);
        catcher.opened = 0;
        alarm(60);
        auto form = program.start(dataFile == QLatin1String("file"));
        alarm(0);

        QTEST(program.messages->titles(), "boxes");
        const QMap<QString, QString> texts{
            {"ERROR 01", "Nelze otevřít žádný port. Program nebude odesílat data."},
            {"ERROR 02", dataFileMissingText()},
            {"ERROR 03",
                "Nenalezen soubor librscom.so. Potřebnou knihovnu lze stáhnout na "
                    + MakerWebAddress}};
        for (const Message &m : std::as_const(program.messages->shown)) {
            QCOMPARE(m.text, texts[m.title]);
            QCOMPARE(m.icon, MessageIcon::Critical);
        }
        QTEST(form->Label2->text(), "label");
        QFETCH(int, selected);
        for (int n = 1; n <= 5; ++n) {
            QCOMPARE(form->Option[n - 1]->isChecked(), n == selected);
            QCOMPARE(form->Option[n - 1]->isEnabled(), enabled.contains(n));
        }
        QCOMPARE(form->SSTab1->isEnabled(), library);
        QCOMPARE(form->Command3->isEnabled(), library);
        QVERIFY(form->Command4->isEnabled());
        QCOMPARE(catcher.opened, library ? 0 : 1);
        // Nothing is sent, the preview is dark, the first page in front, the set loaded.
        QVERIFY(program.lines->calls.filter(QStringLiteral("DTR")).isEmpty());
        QCOMPARE(form->Label1->text(), BlankPattern);
        for (SvgPicture *s : form->previewSegments)
            QVERIFY(s->isHidden());
        QCOMPARE(form->Smod, 1);
        QCOMPARE(form->SSTab1->currentIndex(), 0);
        QVERIFY(form->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(DataFilePath, program.dataFile());
        QCOMPARE(CharacterPatterns[10],
            dataFile == QLatin1String("file") ? QStringLiteral("11101110") : DefaultPattern);

        const QString port = form->Label2->text();
        form->Label2_Click();
        const Message &told = program.messages->shown.last();
        if (port == QLatin1String("COM0")) {
            QCOMPARE(told.title, QStringLiteral("ERROR 01"));
            QCOMPARE(told.icon, MessageIcon::Warning);
        } else {
            QCOMPARE(told.text, QStringLiteral("Nyní je tímto programem otevřen port ") + port);
            QCOMPARE(told.icon, MessageIcon::Information);
        }
        form->close(); // without the library the shutdown transfer fails quietly
    }

    void portChangesThroughTheOptions()
    {
        TestProgram program;
        program.lines->working = {1, 2, 4};
        auto form = program.start();
        form->KOdeslani = QStringLiteral("01100000");
        program.lines->clear();
        form->Option[1]->click();
        QCOMPARE(form->Label2->text(), QStringLiteral("COM2"));
        QCOMPARE(program.lines->charactersSent(), 1);
        QCOMPARE(program.lines->shown(2), QStringLiteral("01100000"));
        QVERIFY(program.messages->shown.isEmpty());

        // COM4 unplugged after start-up and picked: the selection moves on to COM5, which
        // fails too, then to COM1, which works.
        program.lines->working = {1, 2};
        form->Option[3]->click();
        QVERIFY(form->Option[0]->isChecked());
        QCOMPARE(form->Label2->text(), QStringLiteral("COM1"));
        QCOMPARE(program.lines->shown(1), QStringLiteral("01100000"));
    }

    // Steps: a letter clicks its button on the first page, "g" the editor's middle bar, "."
    // the decimal point, "p" Play, a digit brings that page to the front. Then the pattern on
    // show (a letter, "g" the middle bar, "0" blank, "." with the point) and the one put aside.
    void pageHandOver_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("buffer");
        QTest::newRow("into the editor") << "a2"
                                         << "0"
                                         << "a";
        QTest::newRow("editor and back") << "a2g1"
                                         << "a"
                                         << "a";
        QTest::newRow("into the player") << "a3"
                                         << "a"
                                         << "0";
        QTest::newRow("player and back, no editor") << "a31"
                                                    << "0"
                                                    << "0";
        QTest::newRow("player into the editor") << "a2g1b32"
                                                << "g"
                                                << "b";
        QTest::newRow("point applied again") << "a2.1"
                                             << "a."
                                             << "a";
        QTest::newRow("player stopped by a switch") << "3p1"
                                                    << "0"
                                                    << "0";
    }

    void pageHandOver()
    {
        QFETCH(QString, steps);
        TestProgram program;
        auto form = program.start();
        const auto pattern = [](const QString &name) {
            QString p = name[0] == u'0' ? BlankPattern
                : name[0] == u'g'       ? QStringLiteral("00000010")
                                  : CharacterPatterns[FirstLetterSlot + name[0].unicode() - u'a'];
            if (name.endsWith(u'.'))
                p[7] = u'1';
            return p;
        };
        for (QChar step : steps) {
            if (step.isDigit())
                form->SSTab1->setCurrentIndex(step.digitValue() - 1);
            else if (step == u'g')
                form->page2->Image_Click(6);
            else if (step == u'.')
                control<QPushButton>(form.get(), "Check1")->click();
            else if (step == u'p')
                control<QPushButton>(form.get(), "Check3")->click();
            else
                form->page1->Commanda(FirstLetterSlot + step.unicode() - u'a' + 1)->click();
        }
        QFETCH(QString, shown);
        QCOMPARE(form->KOdeslani, pattern(shown));
        QCOMPARE(program.lines->shown(), pattern(shown));
        QFETCH(QString, buffer);
        QCOMPARE(form->Buffer, pattern(buffer));
        QCOMPARE(form->Smod, form->SSTab1->currentIndex() + 1);
        if (steps.contains(u'p')) {
            QVERIFY(!control<QTimer>(form.get(), "Timer2")->isActive());
            QVERIFY(control<QPushButton>(form.get(), "Check3")->isChecked());
            QVERIFY(control<QPushButton>(form.get(), "Command6")->isEnabled());
        }
    }

    void shutdownLightsEverything_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("point");
        QTest::newRow("first page") << 0 << false;
        QTest::newRow("editor, point on") << 1 << true;
        QTest::newRow("player") << 2 << false;
    }

    void shutdownLightsEverything()
    {
        QFETCH(int, page);
        QFETCH(bool, point);
        TestProgram program;
        auto form = program.start();
        control<QPushButton>(form.get(), "Check1")->setChecked(point);
        form->SSTab1->setCurrentIndex(page);
        program.lines->clear();
        QVERIFY(form->close());
        QCOMPARE(program.lines->txdBits(), QString(16, u'1'));
        QCOMPARE(program.lines->shown(), QStringLiteral("11111111"));
        QCOMPARE(form->Label1->text(), QStringLiteral("11111111"));
    }

    // The character set is loaded again when the window comes back from another window of the
    // program, not when the user comes back from another application.
    void activation()
    {
        TestProgram program;
        auto form = program.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        program.writeDataFile("[User]\r\nB1Text=Nov\r\n");
        emit qApp->focusWindowChanged(nullptr);
        emit qApp->focusWindowChanged(form->windowHandle());
        QCOMPARE(form->page1->Commanda(37)->text(), QStringLiteral("[1]"));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTRY_COMPARE(form->page1->Commanda(37)->text(), QStringLiteral("Nov"));
    }

    // Where the tables put the controls (page contents in the tab control's coordinates, tab
    // strip included), and the three tabs in one row, whole.
    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("page"); // -1: the left column
        QTest::addColumn<QRect>("twips");
        QTest::newRow("Image1") << "Image1" << -1 << QRect(120, 120, 645, 900);
        QTest::newRow("Option5") << "Option5" << -1 << QRect(60, 2640, 855, 195);
        QTest::newRow("Label2") << "Label2" << -1 << QRect(120, 4080, 735, 255);
        QTest::newRow("Commanda1") << "Commanda1" << 0 << QRect(120, 480, 495, 495);
        QTest::newRow("Check1") << "Check1" << 0 << QRect(4320, 3480, 495, 495);
        QTest::newRow("Image9") << "Image9" << 1 << QRect(840, 2040, 1215, 495);
        QTest::newRow("VScroll1") << "VScroll1" << 1 << QRect(3240 + 1200, 2160 + 720, 255, 975);
        QTest::newRow("Text1") << "Text1" << 2 << QRect(120, 480, 4695, 1815);
    }

    void layout()
    {
        QFETCH(QString, name);
        QFETCH(int, page);
        QFETCH(QRect, twips);
        TestProgram program;
        auto form = program.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->size(), QSize(402, 298));
        QWidget *origin = page < 0 ? static_cast<QWidget *>(form.get()) : form->SSTab1;
        form->SSTab1->setCurrentIndex(std::max(page, 0));
        QWidget *w = form->findChild<QWidget *>(name);
        QCOMPARE(QRect(w->mapTo(origin, QPoint(0, 0)), w->size()),
            twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        QTabBar *bar = form->SSTab1->tabBar();
        QVERIFY(bar->tabRect(2).right() < form->SSTab1->width());
        QCOMPARE(bar->tabRect(0).top(), bar->tabRect(2).top());
        QVERIFY(bar->tabRect(0).bottom() < px(480));
    }

    // Every caption fits its control, the labels also with their longest run-time texts.
    void everyCaptionFits()
    {
        TestProgram program;
        auto form = program.start();
        const QMap<QString, QString> longest{{"Label10", "Odesílaný znak : 5000"},
            {"Label6", "Rychlost generování : 5000 ms"}, {"Label9", "Pocet znaku : 100"},
            {"Label3", "Náhodný znak : 255"}, {"Label4", "1996 ms"}, {"Label5", "Znak : 255"}};
        for (QWidget *w : form->findChildren<QWidget *>()) {
            QString text = longest.value(w->objectName());
            int room = w->width();
            if (auto *l = qobject_cast<QLabel *>(w); l && !l->wordWrap() && text.isEmpty())
                text = l->text();
            else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
                text = b->text();
                room -= qobject_cast<QRadioButton *>(w) ? 18 : 6; // indicator, button margins
            }
            const QFontMetrics fm(w->font());
            QVERIFY2(text.isEmpty() || fm.horizontalAdvance(text) <= room,
                qPrintable(w->objectName() + ": " + text));
            QVERIFY2(text.isEmpty() || fm.height() <= w->height() + 1, qPrintable(w->objectName()));
        }
    }

    // Every control that can be disabled looks dimmer so; enabled, it keeps its colours.
    void disabledControlsLookDimmer_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"Option1", "Command3", "qt_tabwidget_tabbar", "Commanda1",
                 "Commanda37", "Check1", "Command2", "Label3", "Frame1", "Check2", "Label4",
                 "Text1", "Label7", "Command6", "Label8", "Label9"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void disabledControlsLookDimmer()
    {
        QFETCH(QString, name);
        TestProgram program;
        auto form = program.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        auto *w = form->findChild<QWidget *>(name);
        for (int page = 0; page < 3; ++page) {
            if (form->SSTab1->widget(page)->isAncestorOf(w))
                form->SSTab1->setCurrentIndex(page);
        }
        w->setEnabled(true);
        const double enabled = textContrast(w);
        w->setEnabled(false);
        const double disabled = textContrast(w);
        QVERIFY2(disabled < 0.6 * enabled,
            qPrintable(QStringLiteral("%1 -> %2").arg(enabled).arg(disabled)));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
