// The four ways of choosing a character, each page on its own with a host in place of the main
// window, checked on what the wired display shows.
#include "fakes.h"
#include "sources/randomgenerator.h"
#include "windows/form4.h"

#include <QSet>
#include <QStyleOptionButton>
#include <QTextDocumentFragment>

namespace {

QString letter(char c)
{
    return CharacterPatterns[FirstLetterSlot + c - 'a'];
}

// The text player on its own page, playing `text`.
struct Player : TestHost
{
    TextPlayerPage page{*this, nullptr};

    explicit Player(const QString &text, bool repeat = false)
    {
        Smod = 3;
        control<QPlainTextEdit>(&page, "Text1")->setPlainText(text);
        control<QPushButton>(&page, "Check4")->setChecked(repeat);
        control<QPushButton>(&page, "Check3")->setChecked(true);
    }
    bool ticking() { return control<QTimer>(&page, "Timer2")->isActive(); }
    // The patterns the display showed after each of the ticks.
    QStringList play(int ticks)
    {
        QStringList shown;
        while (ticks--) {
            page.Timer2_Timer();
            shown << lines.shown();
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

    // Each button shows its slot, every click again. A user character's name too wide for its
    // button is set at the largest size that fits, down to a legible size, and cut only below
    // that, whole in the tooltip; a name that fits keeps the page's font; "&" and markup are text.
    void buttons()
    {
        TestHost host;
        CharacterButtonsPage page(host, nullptr);
        for (int k : {1, 11, 36, 37, 46, 46}) {
            characterButton(&page, k)->click();
            QCOMPARE(host.lines.shown(), CharacterPatterns[k - 1]);
        }
        control<QPushButton>(&page, "Command1")->click();
        QCOMPARE(
            host.lines.shown() + QString::number(host.lines.charactersSent()), BlankPattern + "7");

        page.setFont(windowFont());
        auto *b = characterButton(&page, 37);
        QStyleOptionButton inside;
        inside.initFrom(b);
        const int room // a pixel clear of the frame
            = b->style()->subElementRect(QStyle::SE_PushButtonContents, &inside, b).width() - 2;
        for (const QString name : {"[10]", "Kolecko", "WWWWWWWWW", "R&B", "<u>&X</u>"}) {
            page.setUserCaption(1, name);
            // As the button draws it: "&&" is a "&", a single "&" marks a mnemonic and vanishes.
            const QString shown
                = QString(b->text()).replace("&&", "\1").remove(u'&').replace(u'\1', u'&');
            const bool fits = QFontMetrics(page.font()).horizontalAdvance(name) <= room;
            QFont bigger = b->font();
            bigger.setPixelSize(QFontInfo(bigger).pixelSize() + 1);
            QVERIFY(QFontMetrics(b->font()).horizontalAdvance(shown) <= room
                && (b->font() == page.font()) == fits
                && QFontInfo(b->font()).pixelSize() >= CharacterButtonsPage::SmallestCaptionPixels
                && (fits || QFontMetrics(bigger).horizontalAdvance(name) > room)); // the largest
            QCOMPARE(
                shown == name ? name : QTextDocumentFragment::fromHtml(b->toolTip()).toPlainText(),
                name);
        }
    }

    // Each segment's button switches its own segment, overlay and pattern alike.
    void segmentEditor()
    {
        TestHost host;
        ScriptedRandom random;
        SegmentEditorPage page(host, random, nullptr);
        for (int i = 0; i < 16; ++i) {
            auto *spot = control<QAbstractButton>(&page, QStringLiteral("Image%1").arg(i % 8 + 3));
            // Space, Enter and the keypad's Enter, which carries the keypad modifier.
            i < 8 ? spot->click()
                  : QTest::keyClick(spot,
                      std::array{Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}[i % 3],
                      i % 3 == 2 ? Qt::KeypadModifier : Qt::NoModifier);
            const QString expected
                = QString(i % 8 + 1, i < 8 ? u'1' : u'0') + QString(7 - i % 8, i < 8 ? u'0' : u'1');
            QTRY_COMPARE(host.JednoSeg + host.lines.shown(), expected + expected);
            QCOMPARE(
                control(&page, QStringLiteral("Image") + QChar(u'A' + i % 8) + u'1')->isHidden(),
                i >= 8);
        }
        QSignalSpy save(&page, &SegmentEditorPage::saveRequested);
        control<QPushButton>(&page, "Command2")->click();
        QCOMPARE(save.size(), 1);
    }

    // A drawn number shown as its bits, by the button and, on its own page only, the timer. The
    // draws reach every number, even with a frozen clock.
    void randomPatterns()
    {
        for (const int number : {0, 5, 200, 255}) {
            TestHost host;
            ScriptedRandom random;
            QWidget page;
            RandomGenerator generator(host, random, &page);
            random.values = {(number + 0.5) / 256.0, (number + 0.5) / 256.0};
            generator.Command5_Click();
            host.Smod = 2;
            generator.Timer1_Timer();
            host.Smod = 3;
            generator.Timer1_Timer();
            QCOMPARE(host.lines.shown() + QString::number(host.lines.charactersSent()),
                QString::number(number, 2).rightJustified(PatternLength, u'0') + u'2');
            QCOMPARE(textOf(&page, "Label3") + textOf(&page, "Label5"),
                QStringLiteral("Náhodný znak : %1Znak : %1").arg(number));
        }
        ClockSeededRandom random([] { return uint64_t(42); });
        QSet<int> seen;
        for (int i = 0; i < 10000; ++i)
            seen.insert(int(std::floor(random.draw() * 256)));
        QVERIFY(seen.size() == 256 && *std::min_element(seen.begin(), seen.end()) == 0);
    }

    // The keys move each speed slider by one, by a hundred (Page Up, Page Down) and to its ends,
    // within its range; the period follows, in its label and its timer.
    void speedKeys_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("generator"); // else the player
        QTest::addColumn<QString>("period");
        QTest::newRow("generator, up: slower") << "Up" << true << "97 ms";
        QTest::newRow("generator, to 1 ms, no further") << "End PgDown Down" << true << "1 ms";
        QTest::newRow("generator, 1894 ms") << "Home PgDown Down Down" << true << "1894 ms";
        QTest::newRow("player, pages, arrows")
            << "PgDown PgDown PgUp Right Right Left" << false << "Rychlost generování : 451 ms";
    }

    void speedKeys()
    {
        QFETCH(QString, keys);
        QFETCH(bool, generator);
        TestHost host;
        ScriptedRandom random;
        SegmentEditorPage editor(host, random, nullptr);
        TextPlayerPage player(host, nullptr);
        QWidget *page = generator ? static_cast<QWidget *>(&editor) : &player;
        for (const QString &key : keys.split(u' '))
            QTest::keyClick(
                control(page, generator ? "VScroll1" : "HScroll1"), QKeySequence(key)[0].key());
        const QString label = textOf(page, generator ? "Label4" : "Label6");
        QTEST(label, "period");
        QCOMPARE(control<QTimer>(page, generator ? "Timer1" : "Timer2")->interval(),
            label.section(u' ', -2, -2).toInt());
    }

    // The patterns a text gives tick by tick, the last position sent, and whether it still
    // plays. A line break counts as CR LF: two ticks that re-send the pattern before it.
    void playing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("repeat");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("position");
        const QString a = letter('a'), b = letter('b'), before = QStringLiteral("01010101");
        QTest::newRow("once") << "ab" << false << QStringList{a, b, a} << "1, stopped";
        QTest::newRow("repeated") << "ab" << true << QStringList{a, b, a, b, a} << "1, playing";
        QTest::newRow("Enter") << "a\nb" << false << QStringList{a, a, a, b} << "4, playing";
        QTest::newRow("Shift+Enter")
            << "a\u2028b" << false << QStringList{a, a, a, b} << "4, playing";
        QTest::newRow("empty") << "" << false << QStringList{before} << "1, stopped";
        QTest::newRow("empty, repeated") << "" << true << QStringList(2, before) << "1, playing";
    }

    void playing()
    {
        QFETCH(QString, text);
        QFETCH(bool, repeat);
        QFETCH(QStringList, shown);
        Player player(text, repeat);
        player.KOdeslani = QStringLiteral("01010101");
        QCOMPARE(player.play(int(shown.size())), shown);
        const bool playing = control<QPushButton>(&player.page, "Check3")->isChecked();
        QVERIFY(
            player.ticking() == playing && control(&player.page, "Text1")->isEnabled() != playing);
        QTEST(textOf(&player.page, "Label10").section(u' ', -1)
                + (playing ? ", playing" : ", stopped"),
            "position");
    }

    // Which pattern each typed character plays and how it is shown: each key as the key chart
    // says, row by row, upper case as lower; a character outside the table, a non-breaking space
    // or a pasted tab among them, re-sends the pattern before it.
    void characterTable()
    {
        Form4 chart;
        for (int row = 1; row <= Form4::RowCount; ++row) {
            const QString key = textOf(&chart, qPrintable(QStringLiteral("Key%1").arg(row)));
            Player player(key);
            for (int n = 1; n <= UserCharacterCount; ++n) { // told apart by pattern and name
                CharacterPatterns[FirstUserSlot + n - 1] = CharacterPatterns[n - 1];
                player.BText[n - 1] = QString::number(n);
            }
            QWidget *meaning = control(&chart, QStringLiteral("Meaning%1").arg(row));
            QStringList expected{QString(PatternLength, u'0'), key};
            if (auto *label = qobject_cast<QLabel *>(meaning)) { // "Předdefinovaný znak 3"
                const QString n = label->text().section(u' ', -1);
                expected = QStringList{CharacterPatterns[FirstUserSlot + n.toInt() - 1], n};
            } else { // a picture, "Svítí jen segment g"
                expected[0][meaning->accessibleName().back().unicode() - u'a'] = u'1';
            }
            QCOMPARE(player.play(1) << textOf(&player.page, "Label8"), expected);
        }
        Player player(QStringLiteral("Aa Ě.?ů\u00a0\t"));
        QCOMPARE(control<QLabel>(&player.page, "Label8")->textFormat(), Qt::PlainText); // no markup
        const QString a = letter('a'), user2 = CharacterPatterns[FirstUserSlot + 1];
        const QStringList expected = {a, "A", a, "a", BlankPattern, " ", user2, "Ě", user2, ".",
            user2, "?", user2, "ů", user2, "\u00a0", user2, "\t"};
        for (int i = 0; i < expected.size(); i += 2)
            QCOMPARE(player.play(1) << textOf(&player.page, "Label8"), expected.mid(i, 2));
    }

    // Pause and continue, which goes on with the character after the last one sent; paused,
    // stopped and played again, the next click pauses. A page switch stops the ticks but not the
    // play and rewinds it, and a late tick off the page does nothing.
    void pauseAndPageSwitch()
    {
        Player player(QStringLiteral("0123"));
        auto *pause = control<QPushButton>(&player.page, "Command6");
        auto *play = control<QPushButton>(&player.page, "Check3");
        for (QPushButton *button : {pause, play, play})
            button->click();
        QCOMPARE(pause->text(), QStringLiteral("Pauza"));
        player.play(3);
        pause->click();
        QVERIFY(!player.ticking() && pause->text() == QStringLiteral("Pokračovat"));
        pause->click();
        QCOMPARE(player.play(1), QStringList(CharacterPatterns[3]));
        player.page.stop();
        player.Smod = 1;
        QCOMPARE(player.play(2), QStringList(2, CharacterPatterns[3])); // still the fourth
        player.Smod = 3;
        player.page.rewind();
        QCOMPARE(player.play(1) << textOf(&player.page, "Label9"),
            QStringList({CharacterPatterns[0], "Pocet znaku : 4"}));
    }
};

QTEST_MAIN(TestSources)
#include "tst_sources.moc"
