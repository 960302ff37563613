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
#include <map>
#include <memory>
#include <optional>
#include <set>

inline const QString ShippedDataFile = QStringLiteral(PRAVLON_SOURCE_DIR "/resources/Data.ini");
QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

// Records every line operation; ports in `working` open, the others fail; `missing` makes every
// operation fail as a missing module does. Behind each port, fed only while it is the open one,
// the display as the help window wires it: TxD and DTR through inverting receivers to a 4094
// whose strobe is tied high, its outputs low for the lit segments of a common-anode digit.
struct FakeLineLibrary : LineLibrary
{
    std::set<int> working{1};
    bool missing = false;
    int openPort = 0;
    QStringList calls; // "OPEN COM1", "DTR 1", "TXD 0"

    int16_t OPENCOM(const QByteArray &settings) override
    {
        const int n = record("OPEN COM", settings.mid(3, 1).toInt());
        openPort = working.count(n) ? n : openPort;
        return int16_t(working.count(n));
    }
    // DTR 0 is the clock's rising edge: Q1 takes the data bit (a break lights its segment) and
    // Q1 ... Q7 move on to Q2 ... Q8.
    void DTR(int32_t level) override
    {
        if (record("DTR ", level) == 0 && dtr)
            displays[openPort].prepend(txd ? u'1' : u'0');
        dtr = level;
    }
    void TXD(int32_t level) override { txd = record("TXD ", level); }

    // How many whole characters went out (eight clock returns each).
    int charactersSent() const { return int(calls.count(QStringLiteral("DTR 0")) / 8); }
    // Segments a ... h of the open port's display, "1" where lit.
    QString shown() { return (displays[openPort] + BlankPattern).left(8); }

private:
    bool dtr = true, txd = false; // DTR is asserted once a port is open
    std::map<int, QString> displays; // every bit clocked in, newest (Q1) first

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
