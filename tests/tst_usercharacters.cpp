// The save-character dialog: the name field's limits, what a save and a reset write into the
// file, that a failure says so, and that the buttons show a save once the dialog is closed.
#include "fakes.h"
#include "sources/profile.h"
#include "usercharacters/form2.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

// The dialog on its own, over a copy of the shipped Data.ini where asked.
struct Dialog
{
    QTemporaryDir dir;
    RecordingMessageSink messages;
    QString pattern = QStringLiteral("11111111");
    Form2 form{[this] { return pattern; }, messages};

    explicit Dialog(bool withFile = true)
    {
        DataFilePath = dir.filePath(QStringLiteral("Data.ini"));
        if (withFile)
            QFile::copy(ShippedDataFile, DataFilePath);
    }
    QLineEdit *name() { return control<QLineEdit>(&form, "Text1"); }
    QString status() { return control<QLabel>(&form, "Label6")->text(); }
};

} // namespace

class TestUserCharacters : public QObject
{
    Q_OBJECT
private slots:
    void nameFieldLimits()
    {
        Dialog dialog;
        QLineEdit *name = dialog.name();
        QCOMPARE(name->text(), QStringLiteral("[1]"));
        name->clear();
        QTest::keyClicks(name, QStringLiteral("abcde"));
        QCOMPARE(name->text(), QStringLiteral("abcd"));
        name->setCursorPosition(1);
        QTest::keyClicks(name, QStringLiteral("X"));
        QCOMPARE(name->text(), QStringLiteral("aXbc")); // the last one pushed out
        name->clear();
        QApplication::clipboard()->setText(QStringLiteral("sedmpís"));
        name->paste();
        QCOMPARE(name->text(), QStringLiteral("sedm"));
        name->clear();
        for (const QString &typed :
            {QStringLiteral("ě"), QStringLiteral("Ж"), QStringLiteral("😀"), QStringLiteral("š")}) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, typed);
            QApplication::sendEvent(name, &press);
        }
        QCOMPARE(name->text(), QStringLiteral("ěš")); // only what Data.ini can hold
    }

    // The pattern text and the preview leave the point out; a save stores the pattern on show
    // at the moment of the click, whole, and the name (an empty one as the slot's default).
    void saves_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("Czech name") << "Tři" << 3 << QByteArray("T\xf8i");
        QTest::newRow("empty name") << "" << 10 << QByteArray("[10]");
    }

    void saves()
    {
        QFETCH(QString, name);
        QFETCH(int, slot);
        QFETCH(QByteArray, stored);
        Dialog dialog;
        QCOMPARE(control<QLabel>(&dialog.form, "Label3")->text(), QStringLiteral("11111110"));
        for (char c : QByteArray("ABCDEFG"))
            QVERIFY(!control<SvgPicture>(&dialog.form, (QByteArray("Image") + c).constData())
                         ->isHidden());
        dialog.pattern = QStringLiteral("01100001"); // changed by a timer meanwhile
        dialog.name()->setText(name);
        dialog.form.Image_Click(slot);
        QCOMPARE(dialog.status(), QStringLiteral("Znak uložen do %1").arg(slot));
        QByteArray expected = readFile(ShippedDataFile);
        const QByteArray n = QByteArray::number(slot);
        expected.replace("B" + n + "Text=[" + n + "]\r\nB" + n + "Data=10010000",
            "B" + n + "Text=" + stored + "\r\nB" + n + "Data=01100001");
        QCOMPARE(readFile(DataFilePath), expected);
    }

    void reset()
    {
        Dialog dialog(false);
        dialog.form.Image12_Click(); // answered No
        const Message &question = dialog.messages.shown.last();
        QVERIFY(question.title == "Pravlon" && question.icon == MessageIcon::None);
        QVERIFY(question.buttons == MessageButtons::YesNo && !QFile::exists(DataFilePath));
        QCOMPARE(dialog.status(), QStringLiteral("..."));

        dialog.messages.answers = {MessageAnswer::Yes};
        dialog.form.Image12_Click();
        QByteArray expected = "[User]\r\n";
        for (int n = 1; n <= 10; ++n)
            expected += QStringLiteral("B%1Text=[%1]\r\nB%1Data=10010000\r\n").arg(n).toLatin1();
        QCOMPARE(readFile(DataFilePath), expected);
        QCOMPARE(dialog.status(), QStringLiteral("Uživatelské znaky vymazány"));
    }

    // A save or reset that cannot be written says so, whole, in the status line.
    void failureIsReported()
    {
        Dialog dialog(false);
        QDir().mkdir(DataFilePath); // a directory is no file
        QLabel *status = control<QLabel>(&dialog.form, "Label6");
        dialog.form.Image_Click(1);
        QCOMPARE(
            status->text(), QStringLiteral("Chyba: znak nebyl uložen (Data.ini nelze zapsat)"));
        QVERIFY(status->heightForWidth(status->width()) <= status->height());
        dialog.messages.answers = {MessageAnswer::Yes};
        dialog.form.Image12_Click();
        QCOMPARE(
            status->text(), QStringLiteral("Chyba: znaky nebyly vymazány (Data.ini nelze zapsat)"));
        QVERIFY(status->heightForWidth(status->width()) <= status->height());
    }

    // Opened from the main window: its pattern is saved, and the buttons show the save once
    // the dialog closes, as they show a file changed by hand after a close without saving.
    void fromTheMainWindow()
    {
        TestProgram program;
        auto form = program.start();
        form->KOdeslani = QStringLiteral("01100001");
        QTimer::singleShot(0, [] {
            auto *dialog = qobject_cast<Form2 *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            control<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("Sed"));
            dialog->Image_Click(7);
            dialog->Image13_Click();
        });
        form->Command2_Click();
        QCOMPARE(form->page1->Commanda(43)->text(), QStringLiteral("Sed"));
        form->page1->Commanda(43)->click();
        QCOMPARE(program.lines->shown(), QStringLiteral("01100000")); // the point follows Check1

        writeFile(program.dataFile(), "[User]\r\nB1Text=Hand\r\n");
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        form->Command2_Click();
        QCOMPARE(form->page1->Commanda(37)->text(), QStringLiteral("Hand"));
        QCOMPARE(form->page1->Commanda(43)->text(), QStringLiteral("[7]"));
    }
};

QTEST_MAIN(TestUserCharacters)
#include "tst_usercharacters.moc"
