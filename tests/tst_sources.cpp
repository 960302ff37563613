// The four ways of choosing a character, each page on its own with a host in place of the main
// window, checked on what the wired display shows.
#include "fakes.h"
#include "sources/characterbuttons.h"
#include "sources/segmenteditor.h"
#include "sources/textplayer.h"
#include "ui/widgets.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

namespace {

QString letter(char c)
{
    return CharacterPatterns[FirstLetterSlot + c - 'a'];
}

// The text player on its page, with the host's pattern on show before it starts.
struct Player
{
    TestHost host;
    TextPlayerPage page{host, nullptr};

    explicit Player(const QString &text, bool repeat = false)
    {
        host.Smod = 3;
        control<QPlainTextEdit>(&page, "Text1")->setPlainText(text);
        control<QPushButton>(&page, "Check4")->setChecked(repeat);
        button("Check3")->setChecked(true);
    }
    QPushButton *button(const char *name) { return control<QPushButton>(&page, name); }
    QString label(const char *name) { return control<QLabel>(&page, name)->text(); }
    bool ticking() { return control<QTimer>(&page, "Timer2")->isActive(); }
    // The patterns the display showed after each of the ticks.
    QStringList play(int ticks)
    {
        QStringList shown;
        for (int i = 0; i < ticks; ++i) {
            page.Timer2_Timer();
            shown << host.lines.shown();
        }
        return shown;
    }
};

} // namespace

class TestSources : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { TestHost(); } // loads the character set for the tables below

    void buttons()
    {
        TestHost host;
        CharacterButtonsPage page(host, nullptr);
        for (int k : {1, 11, 36, 37, 46, 46}) {
            page.Commanda(k)->click();
            QCOMPARE(host.lines.shown(), CharacterPatterns[k - 1]);
        }
        QCOMPARE(host.lines.charactersSent(), 6);
        control<QPushButton>(&page, "Command1")->click();
        QCOMPARE(host.lines.shown(), BlankPattern);
        // The decimal point is the main window's option: the page only reports the toggle.
        QSignalSpy point(&page, &CharacterButtonsPage::decimalPointChanged);
        control<QPushButton>(&page, "Check1")->click();
        QCOMPARE(point.takeFirst(), QVariantList{true});
        QCOMPARE(host.shows, 7);
    }

    // A name too wide for its button is set smaller until it fits, down to a legible size,
    // and cut only below that, whole in the tooltip; a name that fits keeps the page's font.
    // Neither caption nor tooltip reads "&" or markup.
    void userNamesFitTheirButtons_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"[10]", "Kolecko", "WWWWWWWWW", "R&B", "<u>&X</u>"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void userNamesFitTheirButtons()
    {
        QFETCH(QString, name);
        TestHost host;
        CharacterButtonsPage page(host, nullptr);
        page.setFont(windowFont());
        page.setUserCaption(1, name);
        QPushButton *b = page.Commanda(37);
        // As the button draws it: "&&" is a "&", a single "&" marks a mnemonic and vanishes.
        QString shown = b->text();
        shown.replace(QLatin1String("&&"), QLatin1String("\1")).remove(u'&').replace(u'\1', u'&');
        const int room = b->width() - 4; // inside the frame, a pixel clear of it
        QVERIFY(QFontMetrics(b->font()).horizontalAdvance(shown) <= room);
        QCOMPARE(
            b->font() == page.font(), QFontMetrics(page.font()).horizontalAdvance(name) <= room);
        QVERIFY(b->font().pixelSize() >= CharacterButtonsPage::SmallestCaptionPixels);
        if (shown != name) {
            QCOMPARE(b->font().pixelSize(), CharacterButtonsPage::SmallestCaptionPixels);
            QVERIFY(shown.endsWith(QChar(0x2026)));
            QCOMPARE(QTextDocumentFragment::fromHtml(b->toolTip()).toPlainText(), name);
        }
    }

    void segmentEditor()
    {
        TestHost host;
        ScriptedRandom random;
        SegmentEditorPage page(host, random, nullptr);
        const auto overlay = [&](char c) {
            return !control<SvgPicture>(&page, qPrintable(QStringLiteral("Image%11").arg(c)))
                        ->isHidden();
        };
        page.Image_Click(6); // the middle bar, and back
        QCOMPARE(host.lines.shown(), QStringLiteral("00000010"));
        QVERIFY(overlay('G') && !overlay('A'));
        page.Image_Click(6);
        QCOMPARE(host.JednoSeg, BlankPattern);
        for (int i = 0; i < 8; ++i)
            page.Image_Click(i);
        page.Image_Click(7);
        QCOMPARE(host.JednoSeg, QStringLiteral("11111110"));
        QCOMPARE(host.lines.shown(), host.JednoSeg);
        QVERIFY(overlay('A') && !overlay('H'));

        // The hot spots take real clicks, each over its own segment.
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        for (int i = 0; i < 8; ++i) {
            auto *spot = control<HotSpot>(&page, qPrintable(QStringLiteral("Image%1").arg(i + 3)));
            QTest::mouseClick(spot, Qt::LeftButton);
            QCOMPARE(host.JednoSeg[i], i == 7 ? u'1' : u'0');
            QCOMPARE(spot->cursor().shape(), Qt::CrossCursor);
        }
        QSignalSpy save(&page, &SegmentEditorPage::saveRequested);
        control<QPushButton>(&page, "Command2")->click();
        QCOMPARE(save.size(), 1);
    }

    void randomPatterns_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("0") << 0 << "00000000";
        QTest::newRow("5") << 5 << "00000101";
        QTest::newRow("200") << 200 << "11001000";
        QTest::newRow("255") << 255 << "11111111";
    }

    void randomPatterns()
    {
        QFETCH(int, number);
        TestHost host;
        ScriptedRandom random;
        SegmentEditorPage page(host, random, nullptr);
        random.values = {(number + 0.5) / 256.0, (number + 0.5) / 256.0};
        page.Command5_Click();
        QCOMPARE(control<QLabel>(&page, "Label3")->text(),
            QStringLiteral("Náhodný znak : %1").arg(number));
        QTEST(host.lines.shown(), "pattern");
        host.lines.clear();
        host.Smod = 2;
        page.Timer1_Timer(); // the generator works on its own page only
        QCOMPARE(control<QLabel>(&page, "Label5")->text(), QStringLiteral("Znak : %1").arg(number));
        QTEST(host.lines.shown(), "pattern");
        QVERIFY(!control<ShapeWidget>(&page, "Shape2")->isHidden());
        host.Smod = 3;
        page.Timer1_Timer();
        QCOMPARE(host.lines.charactersSent(), 1);
    }

    void generatorSpeed()
    {
        TestHost host;
        ScriptedRandom random;
        SegmentEditorPage page(host, random, nullptr);
        auto *speed = control<QScrollBar>(&page, "VScroll1");
        auto *timer = control<QTimer>(&page, "Timer1");
        speed->setValue(2000);
        QCOMPARE(control<QLabel>(&page, "Label4")->text(), QStringLiteral("1 ms"));
        QCOMPARE(timer->interval(), 1);
        speed->setValue(5);
        QCOMPARE(control<QLabel>(&page, "Label4")->text(), QStringLiteral("1996 ms"));
        control<QPushButton>(&page, "Check2")->click();
        QVERIFY(timer->isActive());
        control<QPushButton>(&page, "Check2")->click();
        QVERIFY(!timer->isActive());
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

    // The patterns a text gives tick by tick, the last position sent, and whether it still
    // plays. A line break counts as CR LF: two ticks that re-send the pattern before it.
    void playing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("playing");
        const QString a = letter('a'), b = letter('b'), before = QStringLiteral("01010101");
        QTest::newRow("once") << "ab" << false << QStringList{a, b, a} << 1 << false;
        QTest::newRow("repeated") << "ab" << true << QStringList{a, b, a, b, a} << 1 << true;
        QTest::newRow("Enter") << "a\nb" << false << QStringList{a, a, a, b} << 4 << true;
        QTest::newRow("Shift+Enter") << "a\u2028b" << false << QStringList{a, a, a, b} << 4 << true;
        QTest::newRow("empty") << "" << false << QStringList{before} << 1 << false;
        QTest::newRow("empty, repeated") << "" << true << QStringList{before, before} << 1 << true;
    }

    void playing()
    {
        QFETCH(QString, text);
        QFETCH(bool, repeat);
        QFETCH(QStringList, shown);
        QFETCH(bool, playing);
        Player player(text, repeat);
        player.host.KOdeslani = QStringLiteral("01010101");
        QCOMPARE(player.play(int(shown.size())), shown);
        QTEST(player.label("Label10").section(u' ', -1).toInt(), "position");
        QCOMPARE(player.button("Check3")->isChecked(), playing);
        QCOMPARE(player.ticking(), playing);
        QCOMPARE(player.button("Check3")->text(), QLatin1String(playing ? "Stop" : "Play"));
        QCOMPARE(control<QPlainTextEdit>(&player.page, "Text1")->isEnabled(), !playing);
        QCOMPARE(player.button("Command6")->isEnabled(), playing);
    }

    // Which pattern each typed character plays and how it is shown; a character outside the
    // table, a non-breaking space among them, re-sends the pattern before it.
    void characterTable()
    {
        Player player(QStringLiteral("Aa Ěě+,-_.?ů\u00a0"));
        player.host.BText[0] = QStringLiteral("P1");
        player.host.BText[1] = QStringLiteral("dva");
        const QString user1 = CharacterPatterns[FirstUserSlot] = QStringLiteral("11000000");
        const QString user2 = CharacterPatterns[FirstUserSlot + 1] = QStringLiteral("01100000");
        const QStringList expected = {letter('a'), letter('a'), BlankPattern, user2, user2, user1,
            "00100000", "00000010", "00010000", "00010000", "00010000", "00010000", "00010000"};
        const QStringList labels
            = {"A", "a", " ", "Ě", "dva", "P1", ",", "-", "_", ".", "?", "ů", "\u00a0"};
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(player.play(1).constFirst(), expected[i]);
            QCOMPARE(player.label("Label8"), labels[i]);
        }
    }

    void pauseAndPageSwitch()
    {
        Player player(QStringLiteral("0123"));
        player.play(3);
        QPushButton *pause = player.button("Command6");
        pause->click();
        QCOMPARE(pause->text(), QStringLiteral("Pokračovat"));
        QVERIFY(!player.ticking());
        pause->click();
        QCOMPARE(pause->text(), QStringLiteral("Pauza"));
        QCOMPARE(player.play(1), QStringList{CharacterPatterns[3]}); // the fourth character

        // A page switch stops the ticks but not the play, and rewinds; a late tick off the
        // page does nothing.
        player.page.stop();
        player.host.Smod = 1;
        player.host.lines.clear();
        player.page.Timer2_Timer();
        QVERIFY(player.host.lines.calls.isEmpty());
        player.host.Smod = 3;
        player.page.syncPauseButton();
        player.page.rewind();
        QVERIFY(player.button("Check3")->isChecked() && pause->isEnabled() && !player.ticking());
        QCOMPARE(player.label("Label9"), QStringLiteral("Pocet znaku : 4"));
        QCOMPARE(player.play(1), QStringList{CharacterPatterns[0]});

        // Play, pause, stop, play: "Pauza" again, and it pauses.
        pause->click();
        player.button("Check3")->click();
        QVERIFY(!pause->isEnabled());
        player.button("Check3")->click();
        QCOMPARE(pause->text(), QStringLiteral("Pauza"));
        pause->click();
        QVERIFY(!player.ticking());
    }

    // The adapter pulled out mid-play: the player goes on quietly, and the display again once
    // it is back. A long text plays to its end.
    void unpluggedAndLong()
    {
        Player player(QString(1000, u'a'));
        player.host.lines.missing = true;
        player.play(999);
        QCOMPARE(player.label("Label10"), QStringLiteral("Odesílaný znak : 999"));
        player.host.lines.missing = false;
        QCOMPARE(player.play(1), QStringList{letter('a')});
        QVERIFY(player.ticking());
        player.play(1);
        QVERIFY(!player.button("Check3")->isChecked());
    }
};

QTEST_MAIN(TestSources)
#include "tst_sources.moc"
