// One command of the command line, as it travels from the command to the window: what it asks,
// how it is checked, the reply, and how both are written on the local socket. The window and
// the command running on its own check a request with the same rules.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>

namespace command {

enum class Verb { Show, ShowPattern, Play, Stop, Port, Ports, Status, Test };

// The exit codes of the command line.
enum Code {
    Done = 0,
    Failed = 1, // the window did not answer, or went away
    Usage = 2,
    NoPort = 3,
    NoLibrary = 4,
    BadCharacter = 5, // a character outside the key table, a malformed pattern
    NoDisplay = 6, // `pravlon` alone, where no graphical session can be reached
    OldWindow = 7, // the running window is older than the command and does not know it
};

inline constexpr int DefaultMs = 350;
inline constexpr int MinMs = 1;
inline constexpr int MaxMs = 5000;
inline constexpr int MaxTextCharacters = 65536;
// Room for the longest text with every character escaped; nothing longer is read.
inline constexpr int MaxRequestBytes = 512 * 1024;
// 2: a reply says the window's version, and a window answers a request of a later version
// with OldWindow. 3: the wiring test, a conversation on one connection.
inline constexpr int ProtocolVersion = 3;
// The longest answer line of a conversation (the wiring test's): more is not read.
inline constexpr int MaxAnswerBytes = 256;

struct Request
{
    Verb verb = Verb::Status;
    QString character; // Show: one character of the key table
    QString pattern; // ShowPattern: eight of "0"/"1"
    QString text; // Play: line breaks as "\n"
    int ms = DefaultMs; // Play
    bool loop = false; // Play
    bool wait = false; // Play: the reply comes when the play has ended
    int port = 0; // Port: the port to pick; others: --port, 0 when not given

    bool operator==(const Request &) const = default;
};

struct Reply
{
    int code = Done;
    QString out; // for standard output: the answer of ports and status
    QString err; // for standard error, in Czech

    bool operator==(const Reply &) const = default;
};

inline Reply failure(int code, const QString &message)
{
    return {code, QString(), message};
}

// Nothing when the request is sound; else the reply that refuses it.
std::optional<Reply> check(const Request &request);

// What a shown character stands for: button k (1 ... 46) of the first page, or, for the keys
// without a button (space, comma, dash, underscore), a fixed pattern. Nothing outside the table.
struct ShowTarget
{
    int button = 0;
    QString pattern;
};
std::optional<ShowTarget> showTarget(const QString &character);

// The text the player gets: normalised to composed form, every kind of line break as "\n".
QString playText(const QString &text);

// "COM3" -> 3; 0 for anything else.
int portNumber(const QString &name);

// One line of compact JSON, newline-terminated.
QByteArray encode(const Request &request);
// A line (without its newline) back into a checked request, or the reply that refuses it.
std::variant<Request, Reply> decodeRequest(const QByteArray &line);

// `final` false: the play has started and the window will say again when it has ended.
QByteArray encode(const Reply &reply, bool final = true);
struct ReplyLine
{
    Reply reply;
    bool final = true;
};
// asked: the version the request carried (its command's), by which a refusal of a window from
// before replies carried a version is told for what it is.
std::optional<ReplyLine> decodeReply(const QByteArray &line, int asked = 1);

} // namespace command
