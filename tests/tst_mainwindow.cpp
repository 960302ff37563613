// The main window: start-up in its four situations, port changes through the options, the
// hand-over of patterns between pages, shutdown, and that the layout stands where designed.
#include "fakes.h"
#include "mainwindow/geometry.h"
#include "mainwindow/widgets.h"
#include "sources/characterbuttons.h"
#include "sources/segmenteditor.h"
#include "sources/textplayer.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QGroupBox>
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
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
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
            if (a == b)
                continue;
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                + std::abs(qBlue(a) - qBlue(b));
            ++count;
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

    void normalStart()
    {
        TestProgram program;
        auto form = program.start();
        QVERIFY(program.messages->shown.isEmpty());
        QVERIFY(form->Option[0]->isChecked());
        QCOMPARE(form->Label2->text(), QStringLiteral("COM1"));
        QVERIFY(program.lines->calls.filter(QStringLiteral("DTR")).isEmpty()); // nothing sent
        QCOMPARE(form->Label1->text(), QStringLiteral("00000000"));
        QCOMPARE(form->Smod, 1);
        QCOMPARE(form->SSTab1->currentIndex(), 0);
        QVERIFY(form->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(DataFilePath, program.dataFile());
        QCOMPARE(form->page1->Commanda(37)->text(), QStringLiteral("[1]"));
        QCOMPARE(CharacterPatterns[10], QStringLiteral("11101110"));
        for (SvgPicture *s : form->previewSegments)
            QVERIFY(s->isHidden());
    }

    void onlyCom3Works()
    {
        TestProgram program;
        program.lines->working = {3};
        auto form = program.start();
        QVERIFY(program.messages->shown.isEmpty());
        QVERIFY(form->Option[2]->isChecked());
        for (int n : {0, 1, 3, 4})
            QVERIFY(!form->Option[n]->isEnabled());
        QCOMPARE(form->Label2->text(), QStringLiteral("COM3"));
        QCOMPARE(program.lines->openPort, 3);
    }

    void noPortWorks()
    {
        TestProgram program;
        program.lines->working = {};
        auto form = program.start();
        QCOMPARE(program.messages->titles(), QStringList({QStringLiteral("ERROR 01")}));
        QCOMPARE(program.messages->shown[0].icon, MessageIcon::Critical);
        QCOMPARE(program.messages->shown[0].text,
            QStringLiteral("Nelze otevřít žádný port. Program nebude odesílat data."));
        for (QRadioButton *o : form->Option)
            QVERIFY(!o->isChecked() && !o->isEnabled());
        QCOMPARE(form->Label2->text(), QStringLiteral("COM0"));
        form->Label2_Click();
        QCOMPARE(program.messages->shown.last().title, QStringLiteral("ERROR 01"));
        QCOMPARE(program.messages->shown.last().icon, MessageIcon::Warning);
    }

    // A FIFO is no character-set file: it counts as missing and must not block the start.
    void libraryAndDataFileMissing_data()
    {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("nothing there") << false;
        QTest::newRow("a FIFO") << true;
    }

    void libraryAndDataFileMissing()
    {
        QFETCH(bool, fifo);
        TestProgram program;
        program.lines->missing = true;
        catcher.urls.clear();
        if (fifo)
            QCOMPARE(mkfifo(QFile::encodeName(program.dataFile()).constData(), 0644), 0);
        alarm(60);
        auto form = program.start(false);
        alarm(0);
        QCOMPARE(program.messages->titles(),
            QStringList({QStringLiteral("ERROR 03"), QStringLiteral("ERROR 02")}));
        QCOMPARE(program.messages->shown[0].text,
            QStringLiteral("Nenalezen soubor librscom.so. Potřebnou knihovnu lze stáhnout na ")
                + MakerWebAddress);
        QVERIFY(program.messages->shown[1].text.startsWith(
            QStringLiteral("Nenalezen soubor Data.ini. Předdefinované znaky nejsou k dispozici.\r\n"
                           "Doporučuji přeinstalovat program")));
        QCOMPARE(catcher.urls, QList<QUrl>({makerWebUrl()}));
        QVERIFY(!form->SSTab1->isEnabled());
        QVERIFY(!form->Command3->isEnabled());
        for (QRadioButton *o : form->Option)
            QVERIFY(!o->isEnabled());
        QVERIFY(form->Command4->isEnabled());
        QCOMPARE(form->Label2->text(), QStringLiteral("COM0"));
        QCOMPARE(CharacterPatterns[0], DefaultPattern);
        form->Label2_Click();
        QCOMPARE(program.messages->shown.last().title, QStringLiteral("ERROR 01"));
        form->close(); // the shutdown transfer fails quietly
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

        // COM3 was unusable from the start; the user picks COM4, then COM4 is unplugged and the
        // user picks it again through COM2.
        program.lines->working = {1, 2};
        form->Option[3]->setEnabled(true);
        program.lines->clear();
        form->Option[3]->click();
        // COM4 fails: the selection moves to COM5, which fails too, then on to COM1.
        QVERIFY(form->Option[0]->isChecked());
        QCOMPARE(form->Label2->text(), QStringLiteral("COM1"));
        QCOMPARE(program.lines->shown(1), QStringLiteral("01100000"));
    }

    void tabHandOver()
    {
        TestProgram program;
        auto form = program.start();
        form->page1->Commanda(11)->click(); // "A"
        const QString a = CharacterPatterns[10];
        form->SSTab1->setCurrentIndex(1);
        QCOMPARE(form->Smod, 2);
        QCOMPARE(form->KOdeslani, form->JednoSeg);
        QCOMPARE(form->Buffer, a);
        form->page2->Image_Click(6);
        form->SSTab1->setCurrentIndex(0);
        QCOMPARE(form->KOdeslani, a);
        QCOMPARE(program.lines->shown(), a);

        // Into the text player the pattern stays; back, Buffer comes back.
        form->page1->Commanda(12)->click(); // "B"
        form->SSTab1->setCurrentIndex(2);
        QCOMPARE(form->Smod, 3);
        QCOMPARE(form->KOdeslani, CharacterPatterns[11]);
        form->SSTab1->setCurrentIndex(0);
        QCOMPARE(form->KOdeslani, a);
        form->SSTab1->setCurrentIndex(2);
        form->SSTab1->setCurrentIndex(1);
        QCOMPARE(form->Buffer, a);
        QCOMPARE(form->KOdeslani, QStringLiteral("00000010"));

        // Back on the first page the decimal point is applied again.
        form->page1->Check1->setChecked(true);
        form->SSTab1->setCurrentIndex(1);
        form->SSTab1->setCurrentIndex(0);
        QCOMPARE(program.lines->shown(), a.left(7) + QLatin1Char('1'));

        form->page3->Text1->setPlainText(QString());
        form->SSTab1->setCurrentIndex(2);
        QCOMPARE(form->page3->Label9->text(), QStringLiteral("Pocet znaku : 0"));
    }

    void firstPageOnlyFromStart()
    {
        TestProgram program;
        auto form = program.start();
        form->page1->Commanda(11)->click();
        form->SSTab1->setCurrentIndex(2);
        QCOMPARE(form->KOdeslani, CharacterPatterns[10]);
        form->SSTab1->setCurrentIndex(0);
        QCOMPARE(form->KOdeslani, QStringLiteral("00000000"));
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
        form->page1->Check1->setChecked(point);
        form->SSTab1->setCurrentIndex(page);
        program.lines->clear();
        QVERIFY(form->close());
        QCOMPARE(program.lines->txdBits(), QString(16, u'1'));
        QCOMPARE(program.lines->shown(), QStringLiteral("11111111"));
        QCOMPARE(form->Label1->text(), QStringLiteral("11111111"));
    }

    void activationReloadsOnlyFromOurOwnWindows()
    {
        TestProgram program;
        auto form = program.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(form->page1->Commanda(37)->text(), QStringLiteral("[1]"));
        program.writeDataFile("[User]\nB1Text=Nov\n");
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTRY_COMPARE(form->page1->Commanda(37)->text(), QStringLiteral("Nov"));
    }

    void layoutStandsWhereDesigned()
    {
        TestProgram program;
        auto form = program.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->size(), QSize(402, 298));
        QCOMPARE(form->windowTitle(), QStringLiteral("Pravlon, by VKT"));
        const auto at = [&](const QString &name, QWidget *relativeTo) {
            QWidget *w = form->findChild<QWidget *>(name);
            return QRect(w->mapTo(relativeTo, QPoint(0, 0)), w->size());
        };
        QCOMPARE(at(QStringLiteral("Image1"), form.get()), twipsRect(120, 120, 645, 900));
        QCOMPARE(at(QStringLiteral("Option5"), form.get()), twipsRect(60, 2640, 855, 195));
        QCOMPARE(at(QStringLiteral("Label2"), form.get()), twipsRect(120, 4080, 735, 255));
        // Page contents in the tab control's coordinates, tab strip included.
        QCOMPARE(at(QStringLiteral("Commanda1"), form->SSTab1), twipsRect(120, 480, 495, 495));
        QCOMPARE(at(QStringLiteral("Check1"), form->SSTab1), twipsRect(4320, 3480, 495, 495));
        form->SSTab1->setCurrentIndex(1);
        QCOMPARE(at(QStringLiteral("Image9"), form->SSTab1), twipsRect(840, 2040, 1215, 495));
        QCOMPARE(at(QStringLiteral("VScroll1"), form->SSTab1),
            twipsRect(3240 + 1200, 2160 + 720, 255, 975));
        form->SSTab1->setCurrentIndex(2);
        QCOMPARE(at(QStringLiteral("Text1"), form->SSTab1), twipsRect(120, 480, 4695, 1815));
        // The three tabs in one row, fully visible.
        QTabBar *bar = form->SSTab1->tabBar();
        QVERIFY(bar->tabRect(2).right() < form->SSTab1->width());
        QCOMPARE(bar->tabRect(0).top(), bar->tabRect(2).top());
        QVERIFY(bar->tabRect(0).bottom() < px(480));
    }

    // Every control the program disables (the port options, Help, the tab control with all it
    // holds, the pause button, the text while playing) must look it.
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

    void everyCaptionFits()
    {
        TestProgram program;
        auto form = program.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        const QStringList longest = {QStringLiteral("Odesílaný znak : 5000"),
            QStringLiteral("Rychlost generování : 5000 ms"), QStringLiteral("Pocet znaku : 10000"),
            QStringLiteral("Náhodný znak : 255"), QStringLiteral("1996 ms"),
            QStringLiteral("Znak : 255")};
        for (QWidget *w : form->findChildren<QWidget *>()) {
            QString text;
            int room = w->width();
            if (auto *l = qobject_cast<QLabel *>(w); l && !l->wordWrap())
                text = l->text();
            else if (auto *b = qobject_cast<QAbstractButton *>(w)) {
                text = b->text();
                room -= qobject_cast<QRadioButton *>(w) ? 18 : 6; // indicator, button margins
            }
            if (text.isEmpty())
                continue;
            const QFontMetrics fm(w->font());
            QVERIFY2(fm.horizontalAdvance(text) <= room, qPrintable(w->objectName() + ": " + text));
            QVERIFY2(fm.height() <= w->height() + 1, qPrintable(w->objectName()));
        }
        // The run-time texts of the labels that count.
        const auto fits = [&](const QString &name, const QString &text) {
            QWidget *w = form->findChild<QWidget *>(name);
            return QFontMetrics(w->font()).horizontalAdvance(text) <= w->width();
        };
        QVERIFY(fits(QStringLiteral("Label10"), longest[0]));
        QVERIFY(fits(QStringLiteral("Label6"), longest[1]));
        QVERIFY(fits(QStringLiteral("Label9"), longest[2].left(longest[2].size() - 2)));
        QVERIFY(fits(QStringLiteral("Label3"), longest[3]));
        QVERIFY(fits(QStringLiteral("Label4"), longest[4]));
        QVERIFY(fits(QStringLiteral("Label5"), longest[5]));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
