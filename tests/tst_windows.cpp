// The key chart, help and About windows: one instance each, the beep before opening, the
// links, the data-file version and the system information tool.
#include "fakes.h"
#include "sources/keytable.h"
#include "sources/textplayer.h"
#include "ui/widgets.h"
#include "usercharacters/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form5.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    int opened = 0;
public slots:
    void open(const QUrl &url)
    {
        if (url == makerWebUrl())
            ++opened;
    }
};

class TestWindows : public QObject
{
    Q_OBJECT

    UrlCatcher catcher;

    // Runs the About window modally and does `action` in it.
    void withAbout(Form1 &form, const std::function<void(Form3 &)> &action)
    {
        QTimer::singleShot(0, [&] {
            auto *about = qobject_cast<Form3 *>(QApplication::activeModalWidget());
            QVERIFY(about);
            action(*about);
            if (about->isVisible())
                about->close();
        });
        form.Command4_Click();
    }

private slots:
    void initTestCase()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    void keyChartIsOneWindowAgreeingWithThePlayer()
    {
        TestProgram program;
        auto form = program.start();
        form->Command7_Click();
        Form4 *chart = form->keyChart();
        QVERIFY(chart);
        form->Command7_Click();
        QCOMPARE(form->keyChart(), chart);
        QVERIFY(chart->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(chart->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(chart->size(), QSize(313, 419));
        QVERIFY(!program.events.contains(QStringLiteral("beep")));

        // Every row's key plays what the row says.
        form->SSTab1->setCurrentIndex(2);
        for (int row = 0; row < Form4::RowCount; ++row) {
            const QString key = chart->keyLabel(row)->text();
            control<QPlainTextEdit>(form.get(), "Text1")->setPlainText(key);
            control<QPushButton>(form.get(), "Check3")->setChecked(true);
            form->page3->Timer2_Timer();
            control<QPushButton>(form.get(), "Check3")->setChecked(false);
            if (row < UserCharacterCount) {
                QCOMPARE(chart->meaningLabel(row)->text(),
                    QStringLiteral("Předdefinovaný znak %1").arg(row + 1));
                QCOMPARE(form->KOdeslani, CharacterPatterns[FirstUserSlot + row]);
            } else {
                const auto *picture
                    = chart->findChild<SvgPicture *>(QStringLiteral("Meaning%1").arg(row + 1));
                QVERIFY(picture);
                const QString pattern = form->KOdeslani;
                QCOMPARE(pattern.count(u'1'), 1);
                const QChar bar = QLatin1Char("abcdefg"[pattern.indexOf(u'1')]);
                QVERIFY(picture->resource().endsWith(QStringLiteral("mini-%1.svg").arg(bar)));
            }
        }
        chart->close(); // deleted on close; the next click makes a new one
        QTRY_VERIFY(!form->keyChart());
        form->Command7_Click();
        QVERIFY(form->keyChart()->windowFlags() & Qt::WindowMinimizeButtonHint);
    }

    void helpBeepsThenShowsOneWindow()
    {
        TestProgram program;
        auto form = program.start();
        form->Command3_Click();
        Form5 *help = form->helpWindow();
        QVERIFY(help && help->isVisible());
        QCOMPARE(program.events, QStringList({QStringLiteral("beep")}));
        form->Command3_Click();
        QCOMPARE(form->helpWindow(), help);
        QCOMPARE(program.events.count(QStringLiteral("beep")), 2);
        QVERIFY(help->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(help->size(), QSize(368, 417));
        QCOMPARE(help->windowTitle(), QStringLiteral("Nápověda"));
        QVERIFY(help->findChild<QLabel *>(QStringLiteral("Label5"))
                    ->text()
                    .contains(lineLibraryFileName()));
        catcher.opened = 0;
        auto *more = help->findChild<QPushButton *>(QStringLiteral("Command2"));
        more->click();
        more->click();
        QCOMPARE(catcher.opened, 2);
        QVERIFY(help->isVisible());
        help->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        QTRY_VERIFY(!form->helpWindow());
    }

    void aboutLinksAndSwap()
    {
        TestProgram program;
        auto form = program.start();
        catcher.opened = 0;
        withAbout(*form, [&](Form3 &about) {
            QCOMPARE(program.events, QStringList({QStringLiteral("beep")}));
            QCOMPARE(about.size(), QSize(257, 233));
            const QString icon = about.Image1->resource();
            const QString figure = about.Image2->resource();
            about.Image1_Click();
            QCOMPARE(about.Image1->resource(), figure);
            QCOMPARE(about.Image2->resource(), icon);
            QVERIFY(about.Image3->isHidden());
            about.Image1_Click();
            QCOMPARE(about.Image1->resource(), icon);
            QTest::mouseClick(about.Image2, Qt::LeftButton);
            QTest::mouseClick(about.findChild<QLabel *>(QStringLiteral("Label4")), Qt::LeftButton);
            about.findChild<QPushButton *>(QStringLiteral("Command3"))->click();
            QCOMPARE(catcher.opened, 3);
            QVERIFY(about.isVisible());
            QTest::keyClick(&about, Qt::Key_Return); // OK is the default button
            QVERIFY(!about.isVisible());
        });
    }

    void dataFileVersion_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("missing") << QByteArray() << "ERROR 02" << dataFileMissingText();
        QTest::newRow("long") << QByteArray("[Init]\nVKTVerze=2007.12.31-b\n")
                              << "Verze Dat. souboru"
                              << "2007.12.3";
        QTest::newRow("no entry") << QByteArray("[User]\n") << "Verze Dat. souboru"
                                  << "CHYBA";
        QTest::newRow("empty") << QByteArray("[init]\nvktverze=\n") << "Verze Dat. souboru"
                               << "";
    }

    void dataFileVersion()
    {
        QFETCH(QByteArray, file);
        TestProgram program;
        auto form = program.start();
        QFile::remove(program.dataFile());
        if (!file.isEmpty())
            program.writeDataFile(file);
        else
            QDir(program.dir.path()).mkdir(QStringLiteral("Data.ini")); // a directory is no file
        program.messages->shown.clear();
        withAbout(*form, [](Form3 &about) { about.Command4_Click(); });
        QCOMPARE(program.messages->shown.size(), 1);
        QTEST(program.messages->shown[0].title, "title");
        QTEST(program.messages->shown[0].text, "text");
    }

    // Names from Data.ini and typed text are shown as they are, never read as markup.
    void labelsShowPlainText()
    {
        TestProgram program;
        auto form = program.start();
        Environment env = program.environment();
        Form2 dialog([] { return BlankPattern; }, *program.messages);
        Form3 about(env);
        Form4 chart;
        Form5 help;
        for (QWidget *window : QList<QWidget *>{form.get(), &dialog, &about, &chart, &help}) {
            for (QLabel *label : window->findChildren<QLabel *>())
                QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
        }
    }

    // Qt's own texts are Czech like the rest (the reset question's buttons, the text box's
    // context menu), and a message box shows its text as it is.
    void standardTextsInCzech()
    {
        if (!installCzechQtTexts())
            QSKIP("Qt's Czech translation (Debian qt6-translations-l10n) is not installed");
        QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "&Copy"),
            QStringLiteral("&Kopírovat"));
        QTimer::singleShot(0, [] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->textFormat(), Qt::PlainText);
            QCOMPARE(box->button(QMessageBox::Yes)->text(), QStringLiteral("&Ano"));
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(QtMessageSink().show(nullptr, QStringLiteral("Pravlon"),
                     QStringLiteral("<b>x</b>"), MessageIcon::None, MessageButtons::YesNo),
            MessageAnswer::No);
    }

    void systemInformationTool()
    {
        TestProgram program;
        auto form = program.start();
        withAbout(*form, [](Form3 &about) { about.Command2_Click(); });
        QVERIFY(program.events.filter(QStringLiteral("try")).size() >= 2);
        QCOMPARE(program.messages->shown.size(), 1);
        QCOMPARE(program.messages->shown[0].title, QStringLiteral("Pravlon"));

        program.messages->shown.clear();
        program.events.clear();
        program.startable = {Form3::systemInfoTools()[1].first};
        withAbout(*form, [](Form3 &about) { about.Command2_Click(); });
        QVERIFY(program.messages->shown.isEmpty());
        QCOMPARE(program.events.filter(QStringLiteral("try")).size(),
            2); // stops at the first that starts
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
