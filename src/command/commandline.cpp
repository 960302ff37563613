#include "command/commandline.h"

#include <QCommandLineParser>

namespace command {

namespace {

Reply wrongUse(const QString &what)
{
    return failure(Usage, what + QStringLiteral(" Nápovědu vypíše pravlon --help."));
}

// The usage line of each command, for the message that says what is expected.
QString usageOf(const QString &verb)
{
    if (verb == QLatin1String("show"))
        return QStringLiteral("pravlon show ZNAK nebo pravlon show --pattern 10110110");
    if (verb == QLatin1String("play"))
        return QStringLiteral("pravlon play [--ms N] [--loop] [--wait] TEXT (TEXT - čte "
                              "standardní vstup)");
    if (verb == QLatin1String("port"))
        return QStringLiteral("pravlon port COMn (COM1 až COM5)");
    if (verb == QLatin1String("ports"))
        return QStringLiteral("pravlon ports [--probe]");
    return QStringLiteral("pravlon ") + verb;
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
    if (words.isEmpty()) {
        result.wrong = wrongUse(QStringLiteral("Chybí příkaz: show, play, stop, port, ports nebo "
                                               "status."));
        return result;
    }
    const QString verb = words.takeFirst();
    Request &r = result.request;
    QList<const QCommandLineOption *> allowed;
    int wordsExpected = 0;
    if (verb == QLatin1String("show")) {
        r.verb = parser.isSet(pattern) ? Verb::ShowPattern : Verb::Show;
        allowed = {&pattern, &port};
        wordsExpected = parser.isSet(pattern) ? 0 : 1;
        r.pattern = parser.value(pattern);
        r.character = words.value(0);
    } else if (verb == QLatin1String("play")) {
        r.verb = Verb::Play;
        allowed = {&ms, &loop, &wait, &port};
        wordsExpected = 1;
        r.loop = parser.isSet(loop);
        r.wait = parser.isSet(wait);
        if (parser.isSet(ms)) {
            bool number = false;
            r.ms = parser.value(ms).toInt(&number);
            r.ms = number ? r.ms : -1;
        }
        result.textFromInput = words.value(0) == QLatin1String("-");
        r.text = playText(words.value(0));
    } else if (verb == QLatin1String("port")) {
        r.verb = Verb::Port;
        wordsExpected = 1;
        r.port = portNumber(words.value(0));
    } else if (verb == QLatin1String("stop") || verb == QLatin1String("ports")
        || verb == QLatin1String("status")) {
        r.verb = verb == QLatin1String("stop") ? Verb::Stop
            : verb == QLatin1String("ports")   ? Verb::Ports
                                               : Verb::Status;
        if (r.verb == Verb::Ports)
            allowed = {&probe};
        result.probe = parser.isSet(probe);
    } else {
        result.wrong = wrongUse(QStringLiteral("Neznámý příkaz „%1“. Příkazy: show, play, stop, "
                                               "port, ports, status.")
                                    .arg(verb));
        return result;
    }
    for (const QString &name : parser.optionNames()) {
        const bool fits = std::any_of(allowed.begin(), allowed.end(),
            [&](const QCommandLineOption *o) { return o->names().contains(name); });
        if (!fits) {
            result.wrong = wrongUse(QStringLiteral("Volba --%1 k příkazu %2 nepatří. Použití: %3.")
                                        .arg(name, verb, usageOf(verb)));
            return result;
        }
    }
    if (words.size() != wordsExpected) {
        result.wrong = wrongUse(QStringLiteral("Příkaz %1 čeká %2. Použití: %3.")
                                    .arg(verb,
                                        wordsExpected ? QStringLiteral("jeden argument")
                                                      : QStringLiteral("žádný argument"),
                                        usageOf(verb)));
        return result;
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
    return QStringLiteral(
        "Použití:\n"
        "  pravlon                       otevře okno programu\n"
        "  pravlon show ZNAK             ukáže znak jako jeho tlačítko: 0–9, A–Z, mezera, čárka,\n"
        "                                pomlčka, podtržítko, uživatelské znaky + ě š č ř ž ý á í "
        "é\n"
        "  pravlon show --pattern VZOR   ukáže osm segmentů a–g a tečku, např. 10110110\n"
        "  pravlon play [--ms N] [--loop] [--wait] TEXT\n"
        "                                přehraje text po znacích, N ms na znak (1–5000,\n"
        "                                výchozí 350), s --loop stále dokola; TEXT - čte\n"
        "                                standardní vstup do konce\n"
        "  pravlon stop                  zastaví přehrávání v okně\n"
        "  pravlon port COMn             vybere port COM1 až COM5\n"
        "  pravlon ports [--probe]       vypíše porty: zařízení, převodník, zda jde použít a\n"
        "                                stav pro skripty (open, ready, untested, denied...);\n"
        "                                port neotevře, s --probe (bez okna) otevře každý\n"
        "  pravlon status                vypíše okno, port, vzor na displeji a stav přehrávání\n"
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
        "Návratové kódy: 0 hotovo, 1 okno neodpovídá, 2 chybné použití, 3 žádný použitelný port,\n"
        "4 chybí knihovna portu nebo je neúplná, 5 znak mimo tabulku nebo chybný vzor,\n"
        "6 okno nelze otevřít (žádné grafické prostředí). Podrobně: man pravlon.\n");
}

QString versionText()
{
    return QStringLiteral("pravlon " PRAVLON_VERSION "\n");
}

} // namespace command
