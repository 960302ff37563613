#include "command/request.h"

#include "characterset/keytable.h"
#include "command/commands.h"
#include "display/transfer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace command {

namespace {

QString quoted(const QString &text)
{
    return QStringLiteral("„") + text + QStringLiteral("“");
}

Reply olderWindow()
{
    return failure(OldWindow,
        QStringLiteral("Okno programu je starší verze a tento příkaz nezná; zavřete je a "
                       "spusťte program znovu."));
}

} // namespace

std::optional<ShowTarget> showTarget(const QString &character)
{
    const QString c = character.normalized(QString::NormalizationForm_C);
    if (c.toUcs4().size() != 1)
        return std::nullopt;
    // The player's table, read the same way: from the lower-case form.
    const QString lower = c.toLower();
    const char16_t u = lower.size() == 1 ? lower[0].unicode() : 0;
    if (u >= u'0' && u <= u'9')
        return ShowTarget{1 + (u - u'0'), QString()};
    if (u >= u'a' && u <= u'z')
        return ShowTarget{1 + FirstLetterSlot + (u - u'a'), QString()};
    if (u == u' ')
        return ShowTarget{0, BlankPattern};
    if (const int n = userCharacterNumber(lower))
        return ShowTarget{FirstUserSlot + n, QString()};
    for (const FixedKey &fixed : FixedKeys) {
        if (lower == fixed.key)
            return ShowTarget{0, fixed.pattern};
    }
    return std::nullopt;
}

QString playText(const QString &text)
{
    QString t = text.normalized(QString::NormalizationForm_C);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar lineBreak :
        {QChar(u'\r'), QChar(QChar::LineSeparator), QChar(QChar::ParagraphSeparator)})
        t.replace(lineBreak, QLatin1Char('\n'));
    return t;
}

int portNumber(const QString &name)
{
    static const QRegularExpression com(
        QStringLiteral("^COM([1-5])$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(name);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

std::optional<Reply> check(const Request &r)
{
    if (r.port < 0 || r.port > 5 || (r.verb == Verb::Port && r.port == 0))
        return failure(Usage, QStringLiteral("Port se zadává jako COM1 až COM5, např. COM2."));
    switch (r.verb) {
    case Verb::Show:
        if (!showTarget(r.character))
            return failure(BadCharacter,
                QStringLiteral("Znak %1 není v tabulce znaků. Lze ukázat 0–9, A–Z (i malá "
                               "písmena), mezeru, čárku, pomlčku, podtržítko a uživatelské znaky "
                               "pod klávesami + ě š č ř ž ý á í é.")
                    .arg(quoted(r.character)));
        break;
    case Verb::ShowPattern: {
        // Anchored at the very end: "$" would also let a final line break through.
        static const QRegularExpression eight(
            QRegularExpression::anchoredPattern(QStringLiteral("[01]{8}")));
        if (!eight.match(r.pattern).hasMatch())
            return failure(BadCharacter,
                QStringLiteral("Vzor %1 nemá osm číslic 0 a 1 (segmenty a až g a tečka, "
                               "1 = svítí), např. 10110110.")
                    .arg(quoted(r.pattern)));
        break;
    }
    case Verb::Play:
        if (r.ms < MinMs || r.ms > MaxMs)
            return failure(Usage,
                QStringLiteral("Volba --ms čeká počet milisekund na znak od %1 do %2.")
                    .arg(MinMs)
                    .arg(MaxMs));
        if (r.text.toUcs4().size() > MaxTextCharacters)
            return failure(Usage,
                QStringLiteral("Text je příliš dlouhý: nejvýše %1 znaků.").arg(MaxTextCharacters));
        break;
    default:
        break;
    }
    return std::nullopt;
}

QByteArray encode(const Request &r)
{
    // The fields of this command only: its argument and its options.
    const Command &c = commandOf(r.verb);
    QJsonObject o{{QStringLiteral("v"), c.since}, {QStringLiteral("cmd"), QLatin1String(c.wire)}};
    if (c.argument == Argument::Character)
        o.insert(QStringLiteral("char"), r.character);
    if (c.argument == Argument::Text)
        o.insert(QStringLiteral("text"), r.text);
    if (c.options & PatternOption)
        o.insert(QStringLiteral("pattern"), r.pattern);
    if (c.options & MsOption)
        o.insert(QStringLiteral("ms"), r.ms);
    if (c.options & LoopOption)
        o.insert(QStringLiteral("loop"), r.loop);
    if (c.options & WaitOption)
        o.insert(QStringLiteral("wait"), r.wait);
    if (r.port)
        o.insert(QStringLiteral("port"), r.port);
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

std::variant<Request, Reply> decodeRequest(const QByteArray &line)
{
    const Reply malformed
        = failure(Usage, QStringLiteral("Okno programu dostalo neplatný požadavek."));
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return malformed;
    const QJsonObject o = doc.object();
    // A request says which version of the protocol it needs: a newer one is a command this
    // window does not know, not a malformed request.
    const double version = o.value(QStringLiteral("v")).toDouble(0);
    if (version < 1 || version != int(version))
        return malformed;
    if (version > ProtocolVersion)
        return olderWindow();
    Request r;
    const QString name = o.value(QStringLiteral("cmd")).toString();
    const auto row = std::find_if(Commands.begin(), Commands.end(),
        [&](const Command &c) { return name == QLatin1String(c.wire) && c.since <= version; });
    if (row == Commands.end())
        return malformed;
    r.verb = row->verb;
    // Only the fields of this command, each of its own type.
    QStringList allowed{QStringLiteral("v"), QStringLiteral("cmd"), QStringLiteral("port")};
    const auto text = [&](const char *key, QString &into) {
        allowed << QLatin1String(key);
        const QJsonValue v = o.value(QLatin1String(key));
        into = v.toString();
        return v.isString();
    };
    const auto flag = [&](const char *key, bool &into) {
        allowed << QLatin1String(key);
        const QJsonValue v = o.value(QLatin1String(key));
        into = v.toBool();
        return v.isBool();
    };
    const auto number = [&](const char *key, int &into) {
        allowed << QLatin1String(key);
        const QJsonValue v = o.value(QLatin1String(key));
        const double d = v.toDouble(-1);
        into = d >= 0 && d <= MaxMs && d == int(d) ? int(d) : -1;
        return v.isDouble();
    };
    bool sound = true;
    if (row->argument == Argument::Character)
        sound = text("char", r.character);
    if (row->argument == Argument::Text)
        sound = sound && text("text", r.text);
    if (row->options & PatternOption)
        sound = sound && text("pattern", r.pattern);
    if (row->options & MsOption)
        sound = sound && number("ms", r.ms);
    if (row->options & LoopOption)
        sound = sound && flag("loop", r.loop);
    if (row->options & WaitOption)
        sound = sound && flag("wait", r.wait);
    if (o.contains(QStringLiteral("port")))
        sound = sound && number("port", r.port);
    for (const QString &key : o.keys())
        sound = sound && allowed.contains(key);
    if (!sound)
        return malformed;
    if (std::optional<Reply> refused = check(r))
        return *refused;
    return r;
}

QByteArray encode(const Reply &reply, bool final)
{
    const QJsonObject o{{QStringLiteral("code"), reply.code}, {QStringLiteral("out"), reply.out},
        {QStringLiteral("err"), reply.err}, {QStringLiteral("final"), final},
        {QStringLiteral("v"), ProtocolVersion}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<ReplyLine> decodeReply(const QByteArray &line, int asked)
{
    const QJsonDocument doc = QJsonDocument::fromJson(line);
    const QJsonObject o = doc.object();
    const QJsonValue code = o.value(QStringLiteral("code"));
    if (!doc.isObject() || !code.isDouble())
        return std::nullopt;
    // A window from before replies said their version refuses any request of a later version
    // as if it were of another program.
    if (asked > 1 && !o.contains(QStringLiteral("v")) && code.toInt() != Done)
        return ReplyLine{olderWindow(), true};
    return ReplyLine{{code.toInt(), o.value(QStringLiteral("out")).toString(),
                         o.value(QStringLiteral("err")).toString()},
        o.value(QStringLiteral("final")).toBool(true)};
}

} // namespace command
