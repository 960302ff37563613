// The four ways of choosing a character: buttons, the segment editor, the random generator
// and the text player, checked on what the wired display shows.
#include "fakes.h"
#include "mainwindow/widgets.h"
#include "sources/characterbuttons.h"
#include "sources/segmenteditor.h"
#include "sources/textplayer.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

class TestSources : public QObject
{
    Q_OBJECT

    TestProgram *program = nullptr;
    std::unique_ptr<Form1> form;

    FakeLineLibrary &lines() { return *program->lines; }
    TextPlayerPage &player() { return *form->page3; }

    void startWith(const QByteArray &dataFile = {})
    {
        delete program;
        program = new TestProgram;
        if (!dataFile.isEmpty())
            program->writeDataFile(dataFile);
        form = program->start();
    }

    // Plays the text on the player page; returns the patterns sent by the given ticks.
    QStringList play(const QString &text, int ticks, bool repeat = false)
    {
        form->SSTab1->setCurrentIndex(2);
        player().Text1->setPlainText(text);
        player().Check4->setChecked(repeat);
        player().Check3->setChecked(true);
        QStringList shown;
        for (int i = 0; i < ticks; ++i) {
            player().Timer2_Timer();
            shown << lines().shown();
        }
        return shown;
    }

private slots:
    void init() { startWith(); }
    void cleanupTestCase()
    {
        form.reset();
        delete program;
    }

    void buttonsShowTheirSlots()
    {
        form->page1->Commanda(36)->click(); // "Z"
        QCOMPARE(lines().shown(), CharacterPatterns[35]);
        startWith("[User]\nB1Text=Ab\nB1Data=11000001\n");
        QCOMPARE(form->page1->Commanda(37)->text(), QStringLiteral("Ab"));
        form->page1->Commanda(37)->click();
        QCOMPARE(lines().shown(), QStringLiteral("11000000")); // point follows Check1
        QCOMPARE(form->page1->Commanda(11)->text(), QStringLiteral("A"));
        form->page1->Commanda(11)->click();
        QCOMPARE(lines().shown(), DefaultPattern); // no "Znaky" section: the default
        // A changed file counts from the next load, and clicks twice send twice.
        program->writeDataFile("[User]\nB1Data=01100000\n");
        form->Form_Activate();
        lines().clear();
        form->page1->Commanda(37)->click();
        form->page1->Commanda(37)->click();
        QCOMPARE(lines().charactersSent(), 2);
        QCOMPARE(lines().shown(), QStringLiteral("01100000"));
        QCOMPARE(form->page1->Commanda(37)->text(), QStringLiteral("[1]"));
    }

    // A name too wide for its button is set smaller until it fits, down to a legible size,
    // and cut only below that, whole in the tooltip; a name that fits keeps the page's font.
    // Neither caption nor tooltip reads "&" or markup.
    void userNamesFitTheirButtons_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("four") << QByteArray("[10]");
        QTest::newRow("seven") << QByteArray("Kolecko");
        QTest::newRow("nine, wide") << QByteArray("WWWWWWWWW");
        QTest::newRow("ampersand") << QByteArray("R&B");
        QTest::newRow("markup") << QByteArray("<u>&X</u>");
    }

    void userNamesFitTheirButtons()
    {
        QFETCH(QByteArray, name);
        startWith("[User]\nB1Text=" + name + "\n");
        QPushButton *b = form->page1->Commanda(37);
        // As the button draws it: "&&" is a "&", a single "&" marks a mnemonic and vanishes.
        QString shown = b->text();
        shown.replace(QLatin1String("&&"), QLatin1String("\1")).remove(u'&').replace(u'\1', u'&');
        const int room = b->width() - 4; // inside the frame, a pixel clear of it
        QVERIFY(QFontMetrics(b->font()).horizontalAdvance(shown) <= room);
        const bool fitsAsIs = QFontMetrics(form->page1->font()).horizontalAdvance(name) <= room;
        QCOMPARE(b->font() == form->page1->font(), fitsAsIs);
        QVERIFY(b->font().pixelSize() >= CharacterButtonsPage::SmallestCaptionPixels);
        if (shown != QString::fromLatin1(name)) {
            QCOMPARE(b->font().pixelSize(), CharacterButtonsPage::SmallestCaptionPixels);
            QVERIFY(shown.endsWith(QChar(0x2026)));
            QCOMPARE(QTextDocumentFragment::fromHtml(b->toolTip()).toPlainText(),
                QString::fromLatin1(name));
        }
    }

    void segmentEditor()
    {
        form->SSTab1->setCurrentIndex(1);
        SegmentEditorPage &editor = *form->page2;
        editor.Image_Click(6); // the middle bar
        QCOMPARE(form->JednoSeg, QStringLiteral("00000010"));
        QCOMPARE(lines().shown(), QStringLiteral("00000010"));
        for (int i = 0; i < 8; ++i)
            QCOMPARE(editor.overlays[i]->isHidden(), i != 6);
        editor.Image_Click(6);
        QCOMPARE(form->JednoSeg, QStringLiteral("00000000"));
        QVERIFY(editor.overlays[6]->isHidden());
        for (int i = 0; i < 8; ++i)
            editor.Image_Click(i);
        QCOMPARE(lines().shown(), QStringLiteral("11111111"));
        editor.Image_Click(7);
        QCOMPARE(form->JednoSeg, QStringLiteral("11111110"));

        // The composition survives a trip to another page.
        form->SSTab1->setCurrentIndex(0);
        form->SSTab1->setCurrentIndex(1);
        QCOMPARE(lines().shown(), QStringLiteral("11111110"));
        QVERIFY(!editor.overlays[0]->isHidden());
        QVERIFY(editor.overlays[7]->isHidden());

        // The hot spots receive real clicks and lie over their segments.
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::mouseClick(editor.hotSpots[0], Qt::LeftButton);
        QCOMPARE(form->JednoSeg, QStringLiteral("01111110"));
        QCOMPARE(editor.hotSpots[2]->cursor().shape(), Qt::CrossCursor);
    }

    void randomPatterns()
    {
        form->SSTab1->setCurrentIndex(1);
        SegmentEditorPage &editor = *form->page2;
        const QList<QPair<int, QString>> cases
            = {{0, "00000000"}, {255, "11111111"}, {5, "00000101"}, {200, "11001000"}};
        for (const auto &[number, pattern] : cases) {
            program->random->values = {(number + 0.5) / 256.0};
            editor.Command5_Click();
            QCOMPARE(editor.Label3->text(), QStringLiteral("Náhodný znak : %1").arg(number));
            QCOMPARE(lines().shown(), pattern);
        }
        QCOMPARE(editor.Label5->text(), QStringLiteral("Znak : 0"));

        editor.VScroll1->setValue(2000);
        QCOMPARE(editor.Label4->text(), QStringLiteral("1 ms"));
        QCOMPARE(editor.Timer1->interval(), 1);
        editor.VScroll1->setValue(5);
        QCOMPARE(editor.Label4->text(), QStringLiteral("1996 ms"));
    }

    void generatorWorksOnlyOnItsPage()
    {
        form->SSTab1->setCurrentIndex(1);
        SegmentEditorPage &editor = *form->page2;
        editor.Check2->setChecked(true);
        QVERIFY(editor.Timer1->isActive());
        program->random->values = {5.5 / 256};
        editor.Timer1_Timer();
        QCOMPARE(editor.Label5->text(), QStringLiteral("Znak : 5"));
        QVERIFY(!editor.Shape2->isHidden());
        QCOMPARE(lines().shown(), QStringLiteral("00000101"));
        editor.Image_Click(0); // a click shows the composition until the next tick
        QCOMPARE(lines().shown(), QStringLiteral("10000000"));

        form->SSTab1->setCurrentIndex(2);
        lines().clear();
        editor.Timer1_Timer();
        QVERIFY(lines().calls.isEmpty());
        QVERIFY(!editor.Shape2->isHidden());
        QVERIFY(editor.Timer1->isActive());
        form->SSTab1->setCurrentIndex(1);
        program->random->values = {200.5 / 256};
        editor.Timer1_Timer();
        QVERIFY(editor.Shape2->isHidden());
        QCOMPARE(lines().shown(), QStringLiteral("11001000"));
        editor.Check2->setChecked(false);
        QVERIFY(!editor.Timer1->isActive());
    }

    void drawsWithAFrozenClockStillDiffer()
    {
        ClockSeededRandom random([] { return uint64_t(42); });
        QSet<int> seen;
        for (int i = 0; i < 10000; ++i) {
            const double u = random.draw();
            QVERIFY(u >= 0.0 && u < 1.0);
            seen.insert(int(u * 256));
        }
        QCOMPARE(seen.size(), 256);
    }

    void playOnceAndRepeat()
    {
        const QString a = CharacterPatterns[10];
        const QString b = CharacterPatterns[11];
        QCOMPARE(play(QStringLiteral("ab"), 3), QStringList({a, b, a}));
        QCOMPARE(player().Check3->text(), QStringLiteral("Play"));
        QVERIFY(!player().Check3->isChecked());
        QVERIFY(player().Text1->isEnabled());
        QVERIFY(!player().Command6->isEnabled());
        QVERIFY(!player().Timer2->isActive());
        QCOMPARE(player().Label10->text(), QStringLiteral("Odesílaný znak : 1"));

        QCOMPARE(play(QStringLiteral("ab"), 5, true), QStringList({a, b, a, b, a}));
        QVERIFY(player().Check3->isChecked());
        QCOMPARE(player().Check3->text(), QStringLiteral("Stop"));
        QVERIFY(!player().Text1->isEnabled());
    }

    void characterTable()
    {
        startWith("[Znaky]\nA=11101110\n[User]\nB1Text=P1\nB1Data=01000000\nB2Text=dva\n"
                  "B2Data=00100000\n");
        form->SSTab1->setCurrentIndex(2);
        // A non-breaking space is no space: it re-sends, and shows as it is.
        player().Text1->setPlainText(QStringLiteral("Aa Ěě+,-_.?ů\u00a0"));
        player().Check3->setChecked(true);
        const QStringList expected
            = {"11101110", "11101110", "00000000", "00100000", "00100000", "01000000", "00100000",
                "00000010", "00010000", "00010000", "00010000", "00010000", "00010000"};
        const QStringList labels
            = {"A", "a", " ", "Ě", "dva", "P1", ",", "-", "_", ".", "?", "ů", "\u00a0"};
        for (int i = 0; i < expected.size(); ++i) {
            player().Timer2_Timer();
            QCOMPARE(lines().shown(), expected[i]);
            QCOMPARE(player().Label8->text(), labels[i]);
        }
    }

    void lineBreakRepeatsAndCounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("Enter") << QStringLiteral("a\nb");
        QTest::newRow("Shift+Enter") << QStringLiteral("a\u2028b");
    }

    void lineBreakRepeatsAndCounts()
    {
        QFETCH(QString, text);
        const QStringList shown = play(text, 4);
        const QString a = CharacterPatterns[10];
        QCOMPARE(shown, QStringList({a, a, a, CharacterPatterns[11]}));
        QCOMPARE(player().TextLength, 4);
        QCOMPARE(player().Label10->text(), QStringLiteral("Odesílaný znak : 4"));
    }

    void emptyText()
    {
        form->KOdeslani = QStringLiteral("01010101");
        play(QString(), 1);
        QVERIFY(!player().Check3->isChecked()); // the first tick ends the play
        QCOMPARE(player().Label8->text(), QString());
        QCOMPARE(player().Label10->text(), QStringLiteral("Odesílaný znak : 1"));
        QCOMPARE(lines().shown(), QStringLiteral("01010101"));
        QVERIFY(player().Shape4->isHidden());

        play(QString(), 3, true);
        QVERIFY(player().Check3->isChecked());
        QCOMPARE(player().Label10->text(), QStringLiteral("Odesílaný znak : 1"));
    }

    void pauseContinueStop()
    {
        const QString text = QStringLiteral("0123");
        play(text, 3);
        player().Command6->click();
        QCOMPARE(player().Command6->text(), QStringLiteral("Pokračovat"));
        QVERIFY(!player().Timer2->isActive());
        player().Command6->click();
        QCOMPARE(player().Command6->text(), QStringLiteral("Pauza"));
        player().Timer2_Timer();
        QCOMPARE(lines().shown(), CharacterPatterns[3]); // the fourth character
        // Play, pause, stop, play: the pause button reads "Pauza" and pauses next.
        player().Command6->click();
        player().Check3->setChecked(false);
        QVERIFY(!player().Command6->isEnabled());
        player().Check3->setChecked(true);
        QCOMPARE(player().Command6->text(), QStringLiteral("Pauza"));
        player().Command6->click();
        QVERIFY(!player().Timer2->isActive());
    }

    void haltedByAPageSwitch()
    {
        play(QStringLiteral("0123"), 2);
        form->SSTab1->setCurrentIndex(0);
        QVERIFY(!player().Timer2->isActive());
        QVERIFY(player().Check3->isChecked());
        lines().clear();
        player().Timer2_Timer(); // a late tick off the page does nothing
        QVERIFY(lines().calls.isEmpty());
        form->SSTab1->setCurrentIndex(2);
        QVERIFY(player().Command6->isEnabled());
        player().Command6->click();
        QVERIFY(player().Timer2->isActive());
        player().Timer2_Timer();
        QCOMPARE(lines().shown(), CharacterPatterns[0]); // from the first character again
    }

    void unpluggedWhilePlaying()
    {
        play(QStringLiteral("abc"), 1, true);
        lines().missing = true; // every line call fails from now on
        for (int i = 0; i < 5; ++i)
            player().Timer2_Timer();
        QCOMPARE(form->Label1->text(), CharacterPatterns[10]);
        QCOMPARE(player().Label10->text(), QStringLiteral("Odesílaný znak : 3"));
        lines().missing = false; // plugged in again
        player().Timer2_Timer();
        QCOMPARE(form->Label1->text(), CharacterPatterns[10]);
    }

    void longTextPlaysToItsEnd()
    {
        play(QString(1000, u'x'), 0);
        for (int i = 0; i < 1000; ++i)
            player().Timer2_Timer();
        QCOMPARE(player().Label10->text(), QStringLiteral("Odesílaný znak : 1000"));
        QVERIFY(player().Check3->isChecked());
        player().Timer2_Timer();
        QVERIFY(!player().Check3->isChecked());
    }
};

QTEST_MAIN(TestSources)
#include "tst_sources.moc"
