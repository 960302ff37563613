// The four ways of choosing a character, each page on its own with a host in place of the main
// window, checked on what the wired display shows.
#include "fakes.h"
#include "sources/randomgenerator.h"

#include <QScrollBar>
#include <QSet>
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
        button("Check3")->setChecked(true);
    }
    QPushButton *button(const char *name) { return control<QPushButton>(&page, name); }
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

    // Each button shows its slot, every click again; the decimal point is the main window's
    // option, so the page only reports its toggle. A user character's name too wide for its
    // button is set smaller until it fits, down to a legible size, and cut only below that,
    // whole in the tooltip; a name that fits keeps the page's font; "&" and markup are text.
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
        QSignalSpy point(&page, &CharacterButtonsPage::decimalPointChanged);
        control<QPushButton>(&page, "Check1")->click();
        QCOMPARE(point.takeFirst(), QVariantList{true});

        page.setFont(windowFont());
        auto *b = characterButton(&page, 37);
        const int room = b->width() - 4; // inside the frame, a pixel clear of it
        for (const QString name : {"[10]", "Kolecko", "WWWWWWWWW", "R&B", "<u>&X</u>"}) {
            page.setUserCaption(1, name);
            // As the button draws it: "&&" is a "&", a single "&" marks a mnemonic and vanishes.
            const QString shown
                = QString(b->text()).replace("&&", "\1").remove(u'&').replace(u'\1', u'&');
            QVERIFY(QFontMetrics(b->font()).horizontalAdvance(shown) <= room);
            QCOMPARE(b->font() == page.font(),
                QFontMetrics(page.font()).horizontalAdvance(name) <= room);
            QVERIFY(b->font().pixelSize() >= CharacterButtonsPage::SmallestCaptionPixels);
            QCOMPARE(
                shown == name ? name : QTextDocumentFragment::fromHtml(b->toolTip()).toPlainText(),
                name);
        }
    }

    // Each hot spot, clicked for real, switches its own segment, overlay and pattern alike.
    void segmentEditor()
    {
        TestHost host;
        ScriptedRandom random;
        SegmentEditorPage page(host, random, nullptr);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        for (int i = 0; i < 16; ++i) {
            QTest::mouseClick(control(&page, qPrintable(QStringLiteral("Image%1").arg(i % 8 + 3))),
                Qt::LeftButton);
            const QString expected
                = QString(i % 8 + 1, i < 8 ? u'1' : u'0') + QString(7 - i % 8, i < 8 ? u'0' : u'1');
            QCOMPARE(host.JednoSeg + host.lines.shown(), expected + expected);
            QCOMPARE(control(&page,
                         qPrintable(QStringLiteral("Image%11").replace("%1", QChar(u'A' + i % 8))))
                         ->isHidden(),
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
        for (const auto &[number, pattern] : {std::pair(0, "00000000"), std::pair(5, "00000101"),
                 std::pair(200, "11001000"), std::pair(255, "11111111")}) {
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
                pattern + QString("2"));
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
        QTest::addColumn<QString>("slider");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("period");
        QTest::newRow("generator, up: slower") << "VScroll1" << QList<int>{Qt::Key_Up} << "97 ms";
        QTest::newRow("generator, to 1 ms and no further")
            << "VScroll1" << QList<int>{Qt::Key_End, Qt::Key_PageDown, Qt::Key_Down} << "1 ms";
        QTest::newRow("generator, exactly 1894 ms")
            << "VScroll1" << QList<int>{Qt::Key_Home, Qt::Key_PageDown, Qt::Key_Down, Qt::Key_Down}
            << "1894 ms";
        QTest::newRow("player, right")
            << "HScroll1" << QList<int>{Qt::Key_Right} << "Rychlost generování : 351 ms";
        QTest::newRow("player, pages")
            << "HScroll1" << QList<int>{Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp}
            << "Rychlost generování : 450 ms";
    }

    void speedKeys()
    {
        QFETCH(QString, slider);
        QFETCH(QList<int>, keys);
        TestHost host;
        ScriptedRandom random;
        SegmentEditorPage editor(host, random, nullptr);
        TextPlayerPage player(host, nullptr);
        const bool generator = slider == "VScroll1";
        QWidget *page = generator ? static_cast<QWidget *>(&editor) : &player;
        for (int key : keys)
            QTest::keyClick(control(page, slider), Qt::Key(key));
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
        QTest::newRow("empty, repeated")
            << "" << true << QStringList{before, before} << "1, playing";
    }

    void playing()
    {
        QFETCH(QString, text);
        QFETCH(bool, repeat);
        QFETCH(QStringList, shown);
        Player player(text, repeat);
        player.KOdeslani = QStringLiteral("01010101");
        QCOMPARE(player.play(int(shown.size())), shown);
        const bool playing = player.button("Check3")->isChecked();
        QVERIFY(
            player.ticking() == playing && control(&player.page, "Text1")->isEnabled() != playing);
        QTEST(textOf(&player.page, "Label10").section(u' ', -1)
                + (playing ? ", playing" : ", stopped"),
            "position");
    }

    // Which pattern each typed character plays and how it is shown; a character outside the
    // table, a non-breaking space or a pasted tab among them, re-sends the pattern before it.
    void characterTable()
    {
        Player player(QStringLiteral("Aa Ěě+,-_.?ů\u00a0\t"));
        player.BText = {"P1", "dva"};
        const QString user1 = CharacterPatterns[FirstUserSlot] = QStringLiteral("11000000");
        const QString user2 = CharacterPatterns[FirstUserSlot + 1] = QStringLiteral("01100000");
        const QStringList expected
            = {letter('a'), letter('a'), BlankPattern, user2, user2, user1, "00100000", "00000010",
                "00010000", "00010000", "00010000", "00010000", "00010000", "00010000"};
        const QStringList labels
            = {"A", "a", " ", "Ě", "dva", "P1", ",", "-", "_", ".", "?", "ů", "\u00a0", "\t"};
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(player.play(1) << textOf(&player.page, "Label8"),
                QStringList({expected[i], labels[i]}));
    }

    // Pause and continue; a page switch stops the ticks but not the play and rewinds it, and a
    // late tick off the page does nothing.
    void pauseAndPageSwitch()
    {
        Player player(QStringLiteral("0123"));
        QPushButton *pause = player.button("Command6");
        player.play(3);
        pause->click();
        QVERIFY(!player.ticking() && pause->text() == QStringLiteral("Pokračovat"));
        pause->click();
        player.page.stop();
        player.Smod = 1;
        QCOMPARE(player.play(2), QStringList(2, CharacterPatterns[2])); // still the third
        player.Smod = 3;
        player.page.syncPauseButton();
        player.page.rewind();
        QVERIFY(player.button("Check3")->isChecked() && pause->isEnabled() && !player.ticking());
        QCOMPARE(player.play(1) << textOf(&player.page, "Label9"),
            QStringList({CharacterPatterns[0], "Pocet znaku : 4"}));
    }
};

QTEST_MAIN(TestSources)
#include "tst_sources.moc"
