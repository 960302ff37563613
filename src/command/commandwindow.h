// The window as the commands see it: what a command asks of it, each done as the user would do
// it by hand, so that the window shows the result. The main window implements it; the command
// server sees nothing else of the window.
#pragma once

#include "command/ports.h"
#include "command/request.h"
#include "wiringtest/wiringtest.h"

#include <QString>
#include <functional>

class QObject;

namespace command {

// What the wiring test tells a terminal: a step has gone out (number 1 ... and the step), the
// diagnosis is there, or the test's window closed before.
struct TestEvents
{
    std::function<void(int number, const wiringtest::Step &step)> stepped;
    std::function<void(const QString &diagnosis)> diagnosed;
    std::function<void()> closed;
};

class CommandWindow
{
public:
    // False when the window found no line library: it sends nothing.
    virtual bool sends() const = 0;
    // The open port's name; "COM0" when none is open.
    virtual QString portName() const = 0;
    // The pattern the display was last sent whole.
    virtual QString patternShown() const = 0;
    // The pattern the last command was to send.
    virtual QString patternToSend() const = 0;

    // A character of the key table, as a click on its button of the first page, which comes to
    // the front; a key without a button shows its pattern there.
    virtual void showCharacter(const ShowTarget &target) = 0;
    // The segments set on the segment editor, which comes to the front and shows them.
    virtual void showPattern(const QString &pattern) = 0;
    // The text put in the player's box at the speed given, and Play pressed; a running play is
    // stopped first.
    virtual void play(const QString &text, int ms, bool loop) = 0;
    // Play released, as the Stop button does.
    virtual void stop() = 0;
    virtual PlayState playState() const = 0;

    // Port n's option (1 ... 5): offered (not grey) and picked.
    virtual bool portOffered(int n) const = 0;
    virtual bool portPicked(int n) const = 0;
    // A click on port n's option.
    virtual void pickPort(int n) = 0;

    // ended() is called whenever a play ends: at its end, on Stop, or when another page comes
    // to the front, which halts it.
    // Each connection lasts as long as receiver.
    virtual void whenPlayEnds(QObject *receiver, std::function<void()> ended) = 0;
    // closed() is called when the window has closed and sent its last character.
    virtual void whenClosed(QObject *receiver, std::function<void()> closed) = 0;

    // The wiring test: while it runs, the window sends nothing else.
    virtual bool testRunning() const = 0;
    // Opens the wiring test with its answers coming from a terminal; false when it cannot run.
    // Each connection lasts as long as receiver.
    virtual bool openTest(QObject *receiver, TestEvents events) = 0;
    virtual void answerTest(const wiringtest::Answer &answer) = 0;
    // The terminal has gone: the test closes as its window's close button would close it.
    virtual void closeTest() = 0;

protected:
    CommandWindow() = default;
    ~CommandWindow() = default;
    CommandWindow(const CommandWindow &) = delete;
    CommandWindow &operator=(const CommandWindow &) = delete;
};

} // namespace command
