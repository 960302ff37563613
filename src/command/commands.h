// The commands of the command line, one row each: its name, its verb on the socket, what it
// takes, whether it sends to the display, its usage and its line of help. The parser, the
// socket's names and fields, the messages that list the commands, --help and the window's send
// check all read this table.
//
// A new command is a row here with a new Verb, a function on the window's interface
// (CommandWindow) and one in the standalone runner: the switches over Verb in the command server
// and the standalone runner do not build until they handle it.
#pragma once

#include "command/request.h"

#include <QString>
#include <QStringList>
#include <array>

namespace command {

// What follows the command's name on the command line: nothing or one word.
enum class Argument {
    None,
    Character, // one character of the key table
    Text, // a text to play; "-" reads standard input
    PortName, // COM1 ... COM5
};

// The options a command takes, as bits.
enum Option : unsigned {
    NoOption = 0,
    PatternOption = 1u << 0, // --pattern VZOR
    MsOption = 1u << 1, // --ms N
    LoopOption = 1u << 2, // --loop
    WaitOption = 1u << 3, // --wait
    PortOption = 1u << 4, // --port COMn
    ProbeOption = 1u << 5, // --probe: without a window, each port is opened first
};

struct Command
{
    Verb verb;
    const char *name; // on the command line
    const char *wire; // the "cmd" on the socket
    // An option that picks this row among rows of the same name ("show --pattern"); nullptr for
    // the row taken without it.
    const char *selector;
    Argument argument;
    unsigned options; // Option bits, the selector's included
    bool sends; // sends to the display: needs the line library
    // The protocol version that brought the command: what its requests carry as "v", so that an
    // older window can tell that it is older.
    int since;
    const char *usage; // after "pravlon "
    const char *help; // Czech; lines after the first are continuation lines
};

inline constexpr auto Commands = std::to_array<Command>({
    {Verb::Show, "show", "show", nullptr, Argument::Character, PortOption, true, 1, "show ZNAK",
        "ukáže znak jako jeho tlačítko: 0–9, A–Z, mezera, čárka,\npomlčka, podtržítko, "
        "uživatelské znaky + ě š č ř ž ý á í é"},
    {Verb::ShowPattern, "show", "pattern", "pattern", Argument::None, PatternOption | PortOption,
        true, 1, "show --pattern VZOR", "ukáže osm segmentů a–g a tečku, např. 10110110"},
    {Verb::Play, "play", "play", nullptr, Argument::Text,
        MsOption | LoopOption | WaitOption | PortOption, true, 1,
        "play [--ms N] [--loop] [--wait] TEXT",
        "přehraje text po znacích, N ms na znak (1–5000,\nvýchozí 350), s --loop stále dokola; "
        "TEXT - čte\nstandardní vstup do konce"},
    {Verb::Stop, "stop", "stop", nullptr, Argument::None, NoOption, false, 1, "stop",
        "zastaví přehrávání v okně"},
    {Verb::Port, "port", "port", nullptr, Argument::PortName, NoOption, true, 1, "port COMn",
        "vybere port COM1 až COM5"},
    {Verb::Ports, "ports", "ports", nullptr, Argument::None, ProbeOption, false, 1,
        "ports [--probe]",
        "vypíše porty: zařízení, převodník, zda jde použít a\nstav pro skripty (open, ready, "
        "untested, denied...);\nport neotevře, s --probe (bez okna) otevře každý"},
    {Verb::Status, "status", "status", nullptr, Argument::None, NoOption, false, 1, "status",
        "vypíše okno, port, vzor na displeji a stav přehrávání"},
    {Verb::Test, "test", "test", nullptr, Argument::None, PortOption, true, 3, "test",
        "test zapojení: rozsvítí segmenty po jednom, ptá se, co\nsvítí (p přesně, n nic, nebo "
        "písmena a–h), a vypíše,\nkterý vodič nebo pin zkontrolovat"},
});

// Row k is Verb k: a verb is its row's index.
constexpr bool rowsInVerbOrder()
{
    for (size_t k = 0; k < Commands.size(); ++k) {
        if (size_t(Commands[k].verb) != k)
            return false;
    }
    return true;
}
static_assert(rowsInVerbOrder(), "one row per Verb, in the order of Verb");

inline const Command &commandOf(Verb verb)
{
    return Commands[size_t(verb)];
}

// The names of the commands, each once, in the table's order.
QStringList commandNames();

// "pravlon show ZNAK nebo pravlon show --pattern VZOR": the usage of every row of the name.
QString usageOf(const QString &name);

} // namespace command
