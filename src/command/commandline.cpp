#include "command/commandline.h"

#include "command/commands.h"

#include <QCommandLineParser>

namespace command {

namespace {

Reply wrongUse(const QString &what)
{
    return failure(Usage, what + QStringLiteral(" Nápovědu vypíše pravlon --help."));
}

// The row a command line names: of the rows of that name, the one whose selecting option is
// given, else the one without.
const Command *rowOf(const QString &name, const QCommandLineParser &parser)
{
    const Command *row = nullptr;
    for (const Command &c : Commands) {
        if (name != QLatin1String(c.name))
            continue;
        if (c.selector ? parser.isSet(QLatin1String(c.selector)) : !row)
            row = &c;
    }
    return row;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption pattern(QStringLiteral("pattern"), QString(), QStringLiteral("VZOR"));
    const QCommandLineOption ms(QStringLiteral("ms"), QString(), QStringLiteral("N"));
    const QCommandLineOption loop(QStringLiteral("loop"));
    const QCommandLineOption wait(QStringLiteral("wait"));
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("COMn"));
    const QCommandLineOption probe(QStringLiteral("probe"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({pattern, ms, loop, wait, port, probe, help, version});
    const std::pair<Option, const QCommandLineOption *> options[]
        = {{PatternOption, &pattern}, {MsOption, &ms}, {LoopOption, &loop}, {WaitOption, &wait},
            {PortOption, &port}, {ProbeOption, &probe}};

    CommandLine result;
    if (!parser.parse(QStringList(QStringLiteral("pravlon")) + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString name = unknown.first();
            result.wrong = wrongUse(
                QStringLiteral("Neznámá volba %1%2. Text, který začíná pomlčkou, oddělte dvěma "
                               "pomlčkami: pravlon play -- -5.")
                    .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name));
        } else {
            result.wrong = wrongUse(QStringLiteral("Volba %1 čeká hodnotu.")
                                        .arg(arguments.isEmpty() ? QString() : arguments.last()));
        }
        return result;
    }
    if (parser.isSet(help)) {
        result.kind = CommandLine::Help;
        return result;
    }
    if (parser.isSet(version)) {
        result.kind = CommandLine::Version;
        return result;
    }

    QStringList words = parser.positionalArguments();
    const QStringList names = commandNames();
    if (words.isEmpty()) {
        result.wrong = wrongUse(
            QStringLiteral("Chybí příkaz: %1 nebo %2.")
                .arg(names.mid(0, names.size() - 1).join(QStringLiteral(", ")), names.last()));
        return result;
    }
    const QString name = words.takeFirst();
    const Command *row = rowOf(name, parser);
    if (!row) {
        result.wrong = wrongUse(QStringLiteral("Neznámý příkaz „%1“. Příkazy: %2.")
                                    .arg(name, names.join(QStringLiteral(", "))));
        return result;
    }
    for (const QString &option : parser.optionNames()) {
        const bool fits = std::any_of(std::begin(options), std::end(options), [&](const auto &o) {
            return (row->options & o.first) && o.second->names().contains(option);
        });
        if (!fits) {
            result.wrong = wrongUse(QStringLiteral("Volba --%1 k příkazu %2 nepatří. Použití: %3.")
                                        .arg(option, name, usageOf(name)));
            return result;
        }
    }
    const int wordsExpected = row->argument == Argument::None ? 0 : 1;
    if (words.size() != wordsExpected) {
        result.wrong = wrongUse(QStringLiteral("Příkaz %1 čeká %2. Použití: %3.")
                                    .arg(name,
                                        wordsExpected ? QStringLiteral("jeden argument")
                                                      : QStringLiteral("žádný argument"),
                                        usageOf(name)));
        return result;
    }

    Request &r = result.request;
    r.verb = row->verb;
    const QString word = words.value(0);
    switch (row->argument) {
    case Argument::None:
        break;
    case Argument::Character:
        r.character = word;
        break;
    case Argument::Text:
        result.textFromInput = word == QLatin1String("-");
        r.text = playText(word);
        break;
    case Argument::PortName:
        r.port = portNumber(word);
        break;
    }
    r.pattern = parser.value(pattern);
    result.probe = parser.isSet(probe);
    r.loop = parser.isSet(loop);
    r.wait = parser.isSet(wait);
    if (parser.isSet(ms)) {
        bool number = false;
        r.ms = parser.value(ms).toInt(&number);
        r.ms = number ? r.ms : -1;
    }
    if (parser.isSet(port)) {
        r.port = portNumber(parser.value(port));
        if (!r.port) {
            result.wrong = wrongUse(
                QStringLiteral("Volba --port čeká COM1 až COM5, ne „%1“.").arg(parser.value(port)));
            return result;
        }
    }
    if (std::optional<Reply> refused = check(r)) {
        result.wrong = *refused;
        return result;
    }
    result.kind = CommandLine::Run;
    return result;
}

QString helpText()
{
    // The usage in a column of its own; a longer one has its description on the next line.
    const QString indent(32, u' ');
    const auto entry = [&](const QString &usage, const QString &help) {
        const QString head = QStringLiteral("  ") + usage;
        return (head.size() < indent.size() ? head.leftJustified(indent.size())
                                            : head + u'\n' + indent)
            + QString(help).replace(u'\n', u'\n' + indent) + u'\n';
    };
    QString text = QStringLiteral("Použití:\n")
        + entry(QStringLiteral("pravlon"), QStringLiteral("otevře okno programu"));
    for (const Command &c : Commands)
        text += entry(
            QStringLiteral("pravlon ") + QLatin1String(c.usage), QString::fromUtf8(c.help));
    return text
        + QStringLiteral(
            "\n"
            "Volby:\n"
            "  --wait       play se vrátí, až přehrávání skončí\n"
            "  --port COMn  port pro show a play; běží-li okno, přepne na něj i port okna.\n"
            "               Bez volby okno použije svůj port, jinak první, který se otevře.\n"
            "  -h, --help   tato nápověda\n"
            "  -v, --version  verze programu\n"
            "\n"
            "Běží-li okno programu, příkaz provede okno, jako by jej zadal uživatel. Jinak příkaz\n"
            "ovládá port sám a nepotřebuje grafické prostředí.\n"
            "\n"
            "Návratové kódy: 0 hotovo, 1 okno neodpovídá, 2 chybné použití, 3 žádný použitelný "
            "port,\n"
            "4 chybí knihovna portu nebo je neúplná, 5 znak mimo tabulku nebo chybný vzor,\n"
            "6 okno nelze otevřít (žádné grafické prostředí), 7 okno je starší verze než příkaz.\n"
            "Podrobně: man pravlon.\n");
}

QString versionText()
{
    return QStringLiteral("pravlon " PRAVLON_VERSION "\n");
}

} // namespace command
