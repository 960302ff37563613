#include "command/request.h"

#include "characterset/keytable.h"
#include "display/transfer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <array>

namespace command {

namespace {

struct VerbName
{
    Verb verb;
    QLatin1StringView name;
};

constexpr std::array<VerbName, 8> VerbNames = {{
    {Verb::Show, QLatin1StringView("show")},
    {Verb::ShowPattern, QLatin1StringView("pattern")},
    {Verb::Play, QLatin1StringView("play")},
    {Verb::Stop, QLatin1StringView("stop")},
    {Verb::Port, QLatin1StringView("port")},
    {Verb::Ports, QLatin1StringView("ports")},
    {Verb::Status, QLatin1StringView("status")},
    {Verb::Test, QLatin1StringView("test")},
}};

QString quoted(const QString &text)
{
    return QStringLiteral("„") + text + QStringLiteral("“");
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
    QJsonObject o{{QStringLiteral("v"), ProtocolVersion}};
    for (const VerbName &v : VerbNames) {
        if (v.verb == r.verb)
            o.insert(QStringLiteral("cmd"), QString(v.name));
    }
    if (r.verb == Verb::Show)
        o.insert(QStringLiteral("char"), r.character);
    if (r.verb == Verb::ShowPattern)
        o.insert(QStringLiteral("pattern"), r.pattern);
    if (r.verb == Verb::Play) {
        o.insert(QStringLiteral("text"), r.text);
        o.insert(QStringLiteral("ms"), r.ms);
        o.insert(QStringLiteral("loop"), r.loop);
        o.insert(QStringLiteral("wait"), r.wait);
    }
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
    if (o.value(QStringLiteral("v")) != ProtocolVersion)
        return failure(Failed,
            QStringLiteral("Okno programu je jiné verze než tento příkaz; zavřete je a spusťte "
                           "znovu."));
    Request r;
    const QString name = o.value(QStringLiteral("cmd")).toString();
    const auto verb = std::find_if(
        VerbNames.begin(), VerbNames.end(), [&](const VerbName &v) { return v.name == name; });
    if (verb == VerbNames.end())
        return malformed;
    r.verb = verb->verb;
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
    const auto number = [&](const QJsonValue &v, int &into) {
        const double d = v.toDouble(-1);
        into = d >= 0 && d <= MaxMs && d == int(d) ? int(d) : -1;
        return v.isDouble();
    };
    bool sound = true;
    if (r.verb == Verb::Show)
        sound = text("char", r.character);
    if (r.verb == Verb::ShowPattern)
        sound = text("pattern", r.pattern);
    if (r.verb == Verb::Play) {
        allowed << QStringLiteral("ms");
        sound = text("text", r.text) && flag("loop", r.loop) && flag("wait", r.wait)
            && number(o.value(QStringLiteral("ms")), r.ms);
    }
    if (o.contains(QStringLiteral("port")))
        sound = sound && number(o.value(QStringLiteral("port")), r.port);
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
        {QStringLiteral("err"), reply.err}, {QStringLiteral("final"), final}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<ReplyLine> decodeReply(const QByteArray &line)
{
    const QJsonDocument doc = QJsonDocument::fromJson(line);
    const QJsonObject o = doc.object();
    const QJsonValue code = o.value(QStringLiteral("code"));
    if (!doc.isObject() || !code.isDouble())
        return std::nullopt;
    return ReplyLine{{code.toInt(), o.value(QStringLiteral("out")).toString(),
                         o.value(QStringLiteral("err")).toString()},
        o.value(QStringLiteral("final")).toBool(true)};
}

} // namespace command
