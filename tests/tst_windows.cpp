// The key chart, help and About windows: one instance each, the beep before opening, the links,
// the data-file version, the system information tool; and for every window, plain text and
// Qt's own texts in Czech.
#include "fakes.h"
#include "usercharacters/form2.h"
#include "windows/form3.h"
#include "windows/form4.h"
#include "windows/form5.h"

class TestWindows : public QObject
{
    Q_OBJECT

    UrlCatcher catcher;
    TestProgram program;
    std::unique_ptr<Form1> form;

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
            const QStringList pictures{control<SvgPicture>(&about, "Image1")->resource(),
                control<SvgPicture>(&about, "Image2")->resource()};
            about.Image1_Click();
            QCOMPARE(QStringList({control<SvgPicture>(&about, "Image2")->resource(),
                         control<SvgPicture>(&about, "Image1")->resource()}),
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
