// Test doubles for the program's outside effects, a host for one page without the main window,
// and a program directory of its own for the whole main window.
#pragma once

#include "controls.h"
#include "display/linelibrary.h"
#include "display/transfer.h"
#include "mainwindow/form1.h"
#include "sources/pagehost.h"
#include "ui/environment.h"
#include "virtualdisplay.h"

#include <QList>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <set>

// Records every line operation; ports in `working` open, the others fail. Each port has its
// own display, fed only while that port is the open one.
class FakeLineLibrary : public LineLibrary
{
public:
    std::set<int> working{1};
    bool missing = false;
    int openPort = 0;
    QStringList calls; // "OPEN COM1=1", "DTR 1", "TXD 0"
    std::map<int, VirtualDisplay> displays;

    int16_t OPENCOM(const QByteArray &settings) override
    {
        if (missing)
            throw LineLibraryError("missing");
        const int n = settings.startsWith("COM") ? settings.mid(3, 1).toInt() : 0;
        const bool ok = working.count(n) > 0;
        if (ok)
            openPort = n;
        calls << QStringLiteral("OPEN COM%1=%2").arg(n).arg(ok ? 1 : 0);
        return ok ? 1 : 0;
    }
    void DTR(int32_t level) override
    {
        if (missing)
            throw LineLibraryError("missing");
        calls << QStringLiteral("DTR %1").arg(level);
        if (openPort)
            displays[openPort].setDtr(level != 0);
    }
    void TXD(int32_t level) override
    {
        if (missing)
            throw LineLibraryError("missing");
        calls << QStringLiteral("TXD %1").arg(level);
        if (openPort)
            displays[openPort].setTxd(level != 0);
    }

    // The TXD values in the order sent, as one text.
    QString txdBits() const
    {
        QString bits;
        for (const QString &c : calls) {
            if (c.startsWith(QLatin1String("TXD ")))
                bits += c.mid(4);
        }
        return bits;
    }
    // How many whole characters went out (eight clock returns each).
    int charactersSent() const { return calls.count(QStringLiteral("DTR 0")) / 8; }
    QStringList opens() const { return calls.filter(QStringLiteral("OPEN")); }
    QString shown(int port = 0) { return displays[port ? port : openPort].lit(); }
    void clear() { calls.clear(); }
};

struct Message
{
    QString title;
    QString text;
    MessageIcon icon;
    MessageButtons buttons;
};

class RecordingMessageSink : public MessageSink
{
public:
    QList<Message> shown;
    QList<MessageAnswer> answers; // taken in order; a question without one is answered No

    MessageAnswer show(QWidget *, const QString &title, const QString &text, MessageIcon icon,
        MessageButtons buttons) override
    {
        shown.append({title, text, icon, buttons});
        if (!answers.isEmpty())
            return answers.takeFirst();
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    QStringList titles() const
    {
        QStringList t;
        for (const Message &m : shown)
            t << m.title;
        return t;
    }
};

class ScriptedRandom : public RandomSource
{
public:
    QList<double> values;
    double draw() override { return values.isEmpty() ? 0.0 : values.takeFirst(); }
};

// What a page sees of the main window, with the character set of the shipped file loaded. A
// pattern shown goes out on COM1, with no decimal-point rule (that option is the main window's).
class TestHost : public PageHost
{
public:
    FakeLineLibrary lines;
    int shows = 0;

    TestHost();
    void ShowCharacter() override
    {
        ++shows;
        transferPattern(lines, KOdeslani);
    }
};

// A program directory of its own with doubles for everything outside.
struct TestProgram
{
    QTemporaryDir dir;
    std::shared_ptr<FakeLineLibrary> lines = std::make_shared<FakeLineLibrary>();
    std::shared_ptr<RecordingMessageSink> messages = std::make_shared<RecordingMessageSink>();
    std::shared_ptr<ScriptedRandom> random = std::make_shared<ScriptedRandom>();
    QStringList events; // "beep", "start hardinfo", ...
    QStringList startable;

    QString dataFile() const { return dir.filePath(QStringLiteral("Data.ini")); }
    void writeDataFile(const QByteArray &bytes) const;
    void copyShippedDataFile() const;
    QByteArray readDataFile() const;

    Environment environment();
    // A main window that has run its start-up.
    std::unique_ptr<Form1> start(bool withDataFile = true);
};
