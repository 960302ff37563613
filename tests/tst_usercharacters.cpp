// The save-character dialog: the name field's limits, what a save and a reset write into the
// file, and that the buttons show it once the dialog is closed.
#include "fakes.h"
#include "mainwindow/widgets.h"
#include "sources/characterbuttons.h"
#include "usercharacters/form2.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <unistd.h>

class TestUserCharacters : public QObject
{
    Q_OBJECT
private slots:
    void nameFieldLimits()
    {
        TestProgram program;
        auto form = program.start();
        Form2 dialog(*form);
        QCOMPARE(dialog.Text1->text(), QStringLiteral("[1]"));
        dialog.Text1->clear();
        QTest::keyClicks(dialog.Text1, QStringLiteral("abcde"));
        QCOMPARE(dialog.Text1->text(), QStringLiteral("abcd"));
        dialog.Text1->setCursorPosition(1);
        QTest::keyClicks(dialog.Text1, QStringLiteral("X"));
        QCOMPARE(dialog.Text1->text(), QStringLiteral("aXbc")); // the last one pushed out
        dialog.Text1->clear();
        QApplication::clipboard()->setText(QStringLiteral("sedmpís"));
        dialog.Text1->paste();
        QCOMPARE(dialog.Text1->text(), QStringLiteral("sedm"));
        dialog.Text1->clear();
        for (const QString &typed :
            {QStringLiteral("ě"), QStringLiteral("Ж"), QStringLiteral("😀"), QStringLiteral("š")}) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, typed);
            QApplication::sendEvent(dialog.Text1, &press);
        }
        QCOMPARE(dialog.Text1->text(), QStringLiteral("ěš"));
    }

    void previewLeavesThePointOut()
    {
        TestProgram program;
        auto form = program.start();
        form->KOdeslani = QStringLiteral("11111111");
        Form2 dialog(*form);
        QCOMPARE(dialog.Label3->text(), QStringLiteral("11111110"));
        for (SvgPicture *p : dialog.preview)
            QVERIFY(!p->isHidden());
        dialog.Image_Click(2);
        QVERIFY(program.readDataFile().contains("B2Data=11111111"));
        QCOMPARE(dialog.Label6->text(), QStringLiteral("Znak uložen do 2"));
    }

    void savesLandInTheFileAndOnTheButtons()
    {
        TestProgram program;
        auto form = program.start();
        const QByteArray before = program.readDataFile();
        form->KOdeslani = QStringLiteral("01100001");
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<Form2 *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->Text1->setText(QStringLiteral("Tři"));
            dialog->Image_Click(3);
            dialog->Text1->setText(QStringLiteral("Sed"));
            dialog->Image_Click(7);
            QCOMPARE(dialog->Label6->text(), QStringLiteral("Znak uložen do 7"));
            dialog->Image13_Click();
        });
        form->Command2_Click();
        QByteArray expected = before;
        expected.replace("B3Text=[3]\r\nB3Data=10010000", "B3Text=T\xf8i\r\nB3Data=01100001");
        expected.replace("B7Text=[7]\r\nB7Data=10010000", "B7Text=Sed\r\nB7Data=01100001");
        QCOMPARE(program.readDataFile(), expected);
        QCOMPARE(form->page1->Commanda(39)->text(), QStringLiteral("Tři"));
        QCOMPARE(form->page1->Commanda(43)->text(), QStringLiteral("Sed"));
        form->page1->Commanda(43)->click();
        QCOMPARE(program.lines->shown(), QStringLiteral("01100000"));
    }

    void emptyNameStoresTheDefault()
    {
        TestProgram program;
        auto form = program.start();
        Form2 dialog(*form);
        dialog.Text1->clear();
        dialog.Image_Click(5);
        form->Form_Activate();
        QCOMPARE(form->page1->Commanda(41)->text(), QStringLiteral("[5]"));
    }

    void reset()
    {
        TestProgram program;
        auto form = program.start(false);
        Form2 dialog(*form);
        dialog.Image12_Click(); // answered No
        QCOMPARE(program.messages->shown.last().title, QStringLiteral("Pravlon"));
        QCOMPARE(program.messages->shown.last().icon, MessageIcon::None);
        QCOMPARE(program.messages->shown.last().buttons, MessageButtons::YesNo);
        QVERIFY(!QFile::exists(program.dataFile()));
        QCOMPARE(dialog.Label6->text(), QStringLiteral("..."));

        program.messages->answers = {MessageAnswer::Yes};
        dialog.Image12_Click();
        QByteArray expected = "[User]\r\n";
        for (int n = 1; n <= 10; ++n)
            expected += QStringLiteral("B%1Text=[%1]\r\nB%1Data=10010000\r\n").arg(n).toLatin1();
        QCOMPARE(program.readDataFile(), expected);
        QCOMPARE(dialog.Label6->text(), QStringLiteral("Uživatelské znaky vymazány"));
        form->Form_Activate();
        QCOMPARE(CharacterPatterns[45], QStringLiteral("10010000"));
        QCOMPARE(CharacterPatterns[0], DefaultPattern);
    }

    void failedSaveIsReported()
    {
        TestProgram program;
        auto form = program.start();
        // The program's directory cannot take a new file: here Data.ini is a directory.
        QFile::remove(program.dataFile());
        QDir(program.dir.path()).mkdir(QStringLiteral("Data.ini"));
        DataFilePath = program.dataFile();
        Form2 dialog(*form);
        // The status line holds the longest messages whole.
        const auto fits
            = [l = dialog.Label6] { return l->heightForWidth(l->width()) <= l->height(); };
        dialog.Image_Click(1);
        QCOMPARE(dialog.Label6->text(),
            QStringLiteral("Chyba: znak nebyl uložen (Data.ini nelze zapsat)"));
        QVERIFY(fits());
        program.messages->answers = {MessageAnswer::Yes};
        dialog.Image12_Click();
        QVERIFY(dialog.Label6->text().startsWith(QLatin1String("Chyba:")));
        QVERIFY(fits());
    }

    void closingWithoutSavingStillReloads()
    {
        TestProgram program;
        auto form = program.start();
        program.writeDataFile("[User]\nB1Text=Hand\n");
        QTimer::singleShot(0, [] {
            if (auto *dialog = QApplication::activeModalWidget())
                dialog->close();
        });
        form->Command2_Click();
        QCOMPARE(form->page1->Commanda(37)->text(), QStringLiteral("Hand"));
    }
};

QTEST_MAIN(TestUserCharacters)
#include "tst_usercharacters.moc"
