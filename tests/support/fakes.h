// Test doubles for the program's outside effects, a host for one page without the main window,
// and a program directory of its own for the whole main window; with what every test uses.
#pragma once

#include "controls.h"
#include "mainwindow/form1.h"
#include "sources/characterbuttons.h"
#include "sources/segmenteditor.h"
#include "sources/textplayer.h"
#include "ui/texts.h"
#include "ui/widgets.h"

#include <QDesktopServices>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <set>

inline const QString ShippedDataFile = QStringLiteral(PRAVLON_SOURCE_DIR "/resources/Data.ini");
QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

// The circuit behind one port: the connector, the MAX232's two inverting receivers, the 4094
// (strobe tied high) and the common-anode digit. As built it is the help window's diagram; each
// field below builds it wrong in one way a first build often is.
struct Board
{
    bool crossed = false; // DTR and TxD swapped at the connector (pins 4 and 3)
    bool clockNotInverted = false; // DTR reaches the 4094's pin 3 without the receiver's inversion
    std::optional<bool> clockHeld; // no clock: pin 3 stays at this level (true: high)
    std::optional<bool> dataHeld; // pin 2 stuck: true high (segments dark), false low (lit)
    bool powered = true;
    std::optional<std::pair<int, int>> bridged; // two display pins joined: one lit lights both
    std::array<int, 8> wire{0, 1, 2, 3, 4, 5, 6, 7}; // the segment Q1 ... Q8 drive; -1: cut
    QString outputs = BlankPattern; // Q1 ... Q8, "1" where low; the power-up state unless set

    // RS-232 levels, true where positive: a closed port's lines are negative.
    bool dtr = false, txd = false;

    // The 4094's clock input for these line levels. A receiver turns a positive line low.
    bool clockAt(bool dtrLine, bool txdLine) const
    {
        const bool line = crossed ? txdLine : dtrLine;
        return clockHeld ? *clockHeld : clockNotInverted ? line : !line;
    }
    void set(bool newDtr, bool newTxd)
    {
        const bool before = clockAt(dtr, txd);
        dtr = newDtr;
        txd = newTxd;
        const bool data = dataHeld ? *dataHeld : !(crossed ? dtr : txd);
        if (clockAt(dtr, txd) && !before)
            outputs = (data ? u'0' : u'1') + outputs.left(7);
    }
    // Opening raises DTR (the system does it); the line library then sets and clears the break
    // once with DTR held, to find a port that cannot drive the data line.
    void open()
    {
        set(true, txd);
        set(true, true);
        set(true, false);
    }
    QString shown() const
    {
        QString lit = BlankPattern;
        for (int q = 0; q < 8; ++q) {
            if (powered && wire[q] >= 0 && outputs[q] == u'1')
                lit[wire[q]] = u'1';
        }
        if (bridged && (lit[bridged->first] == u'1' || lit[bridged->second] == u'1'))
            lit[bridged->first] = lit[bridged->second] = u'1';
        return lit;
    }
};

// Records every line operation; ports in `working` open, the others fail; `missing` makes every
// operation fail as a missing module does. Behind each port, fed only while it is the open one,
// a board; `boards[n]` may be built wrong before the port opens.
struct FakeLineLibrary : LineLibrary
{
    std::set<int> working{1};
    bool missing = false;
    int openPort = 0;
    QStringList calls; // "OPEN COM1", "DTR 1", "TXD 0"
    std::map<int, Board> boards;

    int16_t OPENCOM(const QByteArray &settings) override
    {
        const int n = record("OPEN COM", settings.mid(3, 1).toInt());
        if (working.count(n) && n != openPort) {
            openPort = n;
            boards[n].open();
        }
        return int16_t(working.count(n));
    }
    // DTR 0 is the clock's rising edge: Q1 takes the data bit (a break lights its segment) and
    // Q1 ... Q7 move on to Q2 ... Q8.
    void DTR(int32_t level) override
    {
        Board &b = boards[openPort];
        b.set(record("DTR ", level) != 0, b.txd);
    }
    void TXD(int32_t level) override
    {
        Board &b = boards[openPort];
        b.set(b.dtr, record("TXD ", level) != 0);
    }

    // How many whole characters went out (eight clock returns each).
    int charactersSent() const { return int(calls.count(QStringLiteral("DTR 0")) / 8); }
    // Segments a ... h of the open port's display, "1" where lit.
    QString shown() { return boards[openPort].shown(); }

private:
    int record(const char *what, int value)
    {
        if (missing)
            throw LineLibraryError(QStringLiteral("/nowhere/librscom.so"), QStringLiteral("gone"));
        calls << QLatin1String(what) + QString::number(value);
        return value;
    }
};

struct Message
{
    QString title, text;
    MessageIcon icon;
    MessageButtons buttons;
    QString details;
};

// Records the boxes; answers questions from `answers`, No when none is left.
struct RecordingMessageSink : MessageSink
{
    QList<Message> shown;
    QStringList titles;
    QList<MessageAnswer> answers;

    MessageAnswer show(QWidget *, const QString &title, const QString &text, MessageIcon icon,
        MessageButtons buttons, const QString &details) override
    {
        shown.append({title, text, icon, buttons, details});
        titles << title;
        return buttons != MessageButtons::YesNo ? MessageAnswer::Ok
            : answers.isEmpty()                 ? MessageAnswer::No
                                                : answers.takeFirst();
    }
};

struct ScriptedRandom : RandomSource
{
    QList<double> values;
    double draw() override { return values.isEmpty() ? 0.0 : values.takeFirst(); }
};

// Counts the maker's web page being opened.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    int opened = 0;
public slots:
    void open(const QUrl &url) { opened += url == makerWebUrl(); }
};

// What a page sees of the main window, with the character set of the shipped file loaded. A
// pattern shown goes out on COM1, with no decimal-point rule (that option is the main window's).
struct TestHost : PageHost
{
    FakeLineLibrary lines;

    TestHost()
    {
        lines.openPort = 1;
        characterset::load(ShippedDataFile, CharacterPatterns, BText, nullptr);
    }
    void ShowCharacter() override { transferPattern(lines, KOdeslani); }
};

// A program directory of its own with doubles for everything outside.
struct TestProgram
{
    QTemporaryDir dir;
    std::shared_ptr<FakeLineLibrary> lines = std::make_shared<FakeLineLibrary>();
    std::shared_ptr<RecordingMessageSink> messages = std::make_shared<RecordingMessageSink>();
    std::shared_ptr<ScriptedRandom> random = std::make_shared<ScriptedRandom>();
    QStringList events; // "beep" each

    QString dataFile() const { return dir.filePath(QStringLiteral("Data.ini")); }
    Environment environment();
    // A main window that has run its start-up, with the shipped Data.ini unless told not to,
    // and this program's doubles unless given others.
    std::unique_ptr<Form1> start(bool withDataFile = true, std::optional<Environment> env = {});
};
