// The save-character dialog: the name field's limits, what a save and a reset write into the
// file, that a failure says so, and that the buttons show a save once the dialog is closed.
#include "characterset/filestore.h"
#include "fakes.h"
#include "usercharacters/form2.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopeGuard>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The dialog on its own, with no Data.ini yet.
struct Dialog
{
    QTemporaryDir dir;
    QString dataFile = dir.filePath(QStringLiteral("Data.ini"));
    RecordingMessageSink messages;
    QString pattern = QStringLiteral("11111111");
    Form2 form{[this] { return pattern; }, dataFile, messages};
    QLineEdit *name = control<QLineEdit>(&form, "Text1");

    QString status() { return textOf(&form, "Label6"); }
};

} // namespace

class TestUserCharacters : public QObject
{
    Q_OBJECT
private slots:
    // At most four characters, typed or pasted, and only what Data.ini can hold.
    void nameFieldLimits()
    {
        Dialog dialog;
        dialog.name->setCursorPosition(1); // in "[1]"
        QTest::keyClicks(dialog.name, QStringLiteral("ab"));
        QCOMPARE(dialog.name->text(), QStringLiteral("[ab1")); // the last one pushed out
        QApplication::clipboard()->setText(QStringLiteral("sedmpís"));
        dialog.name->selectAll();
        dialog.name->paste();
        QCOMPARE(dialog.name->text(), QStringLiteral("sedm"));
        dialog.name->clear();
        for (const char *typed : {"ě", "Ж", "😀", "š"}) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8(typed));
            QApplication::sendEvent(dialog.name, &press);
        }
        QCOMPARE(dialog.name->text(), QStringLiteral("ěš"));
    }

    // Reset: No leaves everything as it was; Yes writes the ten defaults, into a new file if need
    // be. The pattern text and the preview leave the point out; a save stores the pattern on
    // show at the moment of the click, whole, and the name (an empty one as the slot's default),
    // into the slot its picture names. Where nothing can be written, save and reset say so,
    // whole, in the status line.
    void savesAndResets()
    {
        Dialog dialog;
        dialog.form.Image12_Click(); // answered No
        const Message &question = dialog.messages.shown.last();
        QVERIFY(question.title == "Pravlon" && question.icon == MessageIcon::None);
        QVERIFY(question.buttons == MessageButtons::YesNo && !QFile::exists(dialog.dataFile));
        QCOMPARE(dialog.status(), QStringLiteral("..."));
        dialog.messages.answers = {MessageAnswer::Yes};
        dialog.form.Image12_Click();
        QByteArray expected = "[User]\r\n";
        for (int n = 1; n <= 10; ++n)
            expected += QStringLiteral("B%1Text=[%1]\r\nB%1Data=10010000\r\n").arg(n).toLatin1();
        QCOMPARE(readFile(dialog.dataFile) + dialog.status().toUtf8(),
            expected + "Uživatelské znaky vymazány");

        QCOMPARE(textOf(&dialog.form, "Label3"), QStringLiteral("11111110"));
        for (const char *image : {"ImageA", "ImageD", "ImageG"})
            QVERIFY(!control(&dialog.form, image)->isHidden());
        dialog.pattern = QStringLiteral("01100001"); // changed by a timer meanwhile
        for (const auto &[slot, name] : {std::pair(3, "Tři"), std::pair(10, "")}) {
            auto *picture
                = control<QAbstractButton>(&dialog.form, QStringLiteral("Image%1").arg(slot + 1));
            QCOMPARE(picture->accessibleName(), QStringLiteral("Uložit do %1").arg(slot));
            dialog.name->setText(QString::fromUtf8(name));
            // No mouse: the keypad's Enter (with the keypad modifier) and Space.
            QTest::keyClick(picture, slot == 3 ? Qt::Key_Enter : Qt::Key_Space,
                slot == 3 ? Qt::KeypadModifier : Qt::NoModifier);
            QTRY_COMPARE(dialog.status(), QStringLiteral("Znak uložen do %1").arg(slot));
        }
        expected.replace("B3Text=[3]\r\nB3Data=10010000", "B3Text=T\xf8i\r\nB3Data=01100001");
        expected.replace("B10Data=10010000", "B10Data=01100001");
        QCOMPARE(readFile(dialog.dataFile), expected);

        QVERIFY(QFile::remove(dialog.dataFile) && QDir().mkdir(dialog.dataFile)); // no file there
        auto *status = control<QLabel>(&dialog.form, "Label6");
        const auto says = [&](const char *error) {
            return status->text() == QString::fromUtf8(error)
                && status->heightForWidth(status->width()) <= status->height();
        };
        dialog.form.Image_Click(1);
        QVERIFY(says("Chyba: znak nebyl uložen (Data.ini nelze zapsat)"));
        dialog.messages.answers = {MessageAnswer::Yes};
        dialog.form.Image12_Click();
        QVERIFY(says("Chyba: znaky nebyly vymazány (Data.ini nelze zapsat)"));
    }

    // Another program holds the file's lock longer than a save waits: the window goes on
    // meanwhile (its timers run), and the failure says who is in the way, not a full disk.
    void fileLockedByAnotherProgram()
    {
        Dialog dialog;
        writeFile(dialog.dataFile, readFile(ShippedDataFile));
        const int held = ::open(QFile::encodeName(dialog.dataFile).constData(), O_RDONLY);
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX) == 0);
        const auto release = qScopeGuard([held] { ::close(held); });
        filestore::setLockWait(500);
        const auto back = qScopeGuard([] { filestore::setLockWait(10000); });
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(20);
        dialog.form.Image_Click(2);
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
        QCOMPARE(dialog.status(), "Chyba: znak nebyl uložen (Data.ini nelze zapsat)");
        QVERIFY(control<QLabel>(&dialog.form, "Label6")->toolTip().contains("jiný program"));
        QCOMPARE(readFile(dialog.dataFile), readFile(ShippedDataFile));
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
            control<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("Sed"));
            dialog->Image_Click(7);
            dialog->Image13_Click();
        });
        form->Command2_Click();
        characterButton(form.get(), 43)->click();
        QCOMPARE(characterButton(form.get(), 43)->text() + program.lines->shown(), "Sed01100000");
        writeFile(program.dataFile(), "[User]\r\nB1Text=Hand\r\n");
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        form->Command2_Click();
        QCOMPARE(characterButton(form.get(), 37)->text() + characterButton(form.get(), 43)->text(),
            "Hand[7]");
    }
};

QTEST_MAIN(TestUserCharacters)
#include "tst_usercharacters.moc"
