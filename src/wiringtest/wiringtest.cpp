#include "wiringtest/wiringtest.h"

#include <bit>

namespace wiringtest {

const std::array<SegmentPath, Segments> Paths = {{
    {'a', 1, 4, 10},
    {'b', 2, 5, 9},
    {'c', 3, 6, 7},
    {'d', 4, 7, 5},
    {'e', 5, 14, 4},
    {'f', 6, 13, 2},
    {'g', 7, 12, 1},
    {'h', 8, 11, 6},
}};

const QList<Step> &steps()
{
    static const QList<Step> all = [] {
        QList<Step> list{{QStringLiteral("00000000"), -1, QStringLiteral("Vše zhasnuto")}};
        for (int k = 0; k < Segments; ++k) {
            QString pattern(Segments, u'0');
            pattern[k] = u'1';
            list.append({pattern, k,
                k == Segments - 1 ? QStringLiteral("Jen segment h (desetinná tečka)")
                                  : QStringLiteral("Jen segment %1").arg(QChar(Paths[k].letter))});
        }
        list.append({QStringLiteral("11111111"), Segments, QStringLiteral("Vše svítí")});
        return list;
    }();
    return all;
}

QString litPattern(const Step &step, const Answer &answer)
{
    switch (answer.seen) {
    case Seen::Exactly:
        return step.pattern;
    case Seen::Nothing:
        return QString(Segments, u'0');
    case Seen::Other:
        break;
    }
    return (answer.lit + QString(Segments, u'0')).left(Segments);
}

std::optional<QString> patternOfLetters(const QString &letters)
{
    QString pattern(Segments, u'0');
    for (QChar c : letters) {
        const int k = c.toLower().unicode() - u'a';
        if (k >= 0 && k < Segments)
            pattern[k] = u'1';
        else if (!c.isSpace() && c != u',')
            return std::nullopt;
    }
    return pattern;
}

QString letters(const QString &pattern)
{
    QStringList names;
    for (int k = 0; k < Segments && k < pattern.size(); ++k) {
        if (pattern[k] == u'1')
            names << QString(QChar(Paths[k].letter));
    }
    return names.isEmpty() ? QStringLiteral("nic") : names.join(QStringLiteral(", "));
}

std::optional<Answer> parseAnswer(const QString &typed)
{
    const QString t = typed.trimmed().toLower();
    if (t == u"p")
        return Answer{Seen::Exactly, {}};
    if (t == u"n")
        return Answer{Seen::Nothing, {}};
    if (t.isEmpty())
        return std::nullopt;
    if (const std::optional<QString> lit = patternOfLetters(t))
        return Answer{Seen::Other, *lit};
    return std::nullopt;
}

QString terminalQuestion(int number, const Step &step)
{
    return QStringLiteral("Krok %1 z %2: %3 (posláno: %4)\n%5 [p = přesně toto, n = nic, nebo "
                          "písmena a–h]")
        .arg(number)
        .arg(steps().size())
        .arg(step.title, letters(step.pattern), Question);
}

void Session::answer(const Answer &answer)
{
    if (finished())
        return;
    m_seen[m_current] = litPattern(step(), answer);
    ++m_current;
}

void Session::back()
{
    if (m_current > 0)
        --m_current;
}

namespace {

using Mask = unsigned;
constexpr Mask All = (1u << Segments) - 1;

Mask maskOf(const QString &pattern)
{
    Mask m = 0;
    for (int k = 0; k < Segments && k < pattern.size(); ++k)
        m |= pattern[k] == u'1' ? 1u << k : 0;
    return m;
}

QString namesOf(Mask m)
{
    QString pattern(Segments, u'0');
    for (int k = 0; k < Segments; ++k)
        pattern[k] = m & (1u << k) ? u'1' : u'0';
    return letters(pattern);
}

QChar letterOf(int k)
{
    return QChar(Paths[k].letter);
}

// "výstup Q2 (pin 5 obvodu 4094)", with a capital where it opens a sentence.
QString output(int k, bool capital = false)
{
    return QStringLiteral("%1ýstup Q%2 (pin %3 obvodu 4094)")
        .arg(QChar(capital ? u'V' : u'v'))
        .arg(Paths[k].output)
        .arg(Paths[k].registerPin);
}

QString stepName(int k)
{
    return QStringLiteral("„%1“").arg(steps()[k + 1].title);
}

const QString AllLitStep = QStringLiteral("„Vše svítí“");
const QString AllDarkStep = QStringLiteral("„Vše zhasnuto“");

Finding nothingLights()
{
    return {QStringLiteral("Nesvítí nic"),
        QStringLiteral(
            "Displej nerozsvítil žádný segment, ať program poslal cokoli. Stejně se projeví "
            "tyto závady; měřením proti zemi je rozlišíte:\n"
            "1. Napájení: mezi piny 16 a 8 obvodu 4094 má být +5 V, stejně mezi piny 16 a 15 "
            "obvodu MAX 232.\n"
            "2. Společná anoda: piny 3 a 8 displeje mají mít +5 V.\n"
            "3. MAX 232 a datový vodič: při kroku %1 (TxD v break) má mít pin 13 obvodu MAX 232 "
            "kladné napětí (+5 až +12 V), jeho pin 12 a pin 2 obvodu 4094 asi 0 V. Zůstává-li "
            "pin 2 obvodu 4094 na +5 V, je chyba na cestě pin 3 konektoru (TxD) -> pin 13 MAX 232 "
            "-> pin 12 MAX 232 -> pin 2 obvodu 4094; má-li pin 13 kladné napětí a pin 12 přesto "
            "+5 V, je vadný MAX 232 nebo jeho napájení.\n"
            "4. Hodiny: po každém kroku je DTR záporné, pin 8 obvodu MAX 232 má mít -5 až -12 V "
            "a jeho pin 9 i pin 3 obvodu 4094 +5 V. Je-li na pinu 8 0 V, je přerušená cesta "
            "pin 4 konektoru (DTR) -> pin 8 MAX 232 a registr neposouvá.")
            .arg(AllLitStep)};
}

Finding alwaysAllLit()
{
    return {QStringLiteral("Svítí stále vše"),
        QStringLiteral(
            "Ať program posílá cokoli, svítí všechny segmenty: registr dostává na datovém vstupu "
            "jen rozsvícené bity, nebo neposouvá vůbec.\n"
            "1. Datový vodič: při kroku %1 má mít pin 3 konektoru (TxD) a pin 13 obvodu MAX 232 "
            "záporné napětí (-5 až -12 V), pin 12 obvodu MAX 232 a pin 2 obvodu 4094 asi +5 V. "
            "Je-li pin 2 obvodu 4094 na 0 V, je spojený se zemí nebo přerušený od pinu 12 "
            "MAX 232.\n"
            "2. Hodiny, je-li pin 2 v pořádku: po kroku má pin 8 obvodu MAX 232 -5 až -12 V "
            "(DTR, pin 4 konektoru) a jeho pin 9 vede na pin 3 obvodu 4094.")
            .arg(AllDarkStep)};
}

Finding frozen(Mask shown)
{
    return {QStringLiteral("Displej se nemění"),
        QStringLiteral(
            "Displej ukazuje stále totéž (%1), ať program posílá cokoli: registr nedostává "
            "hodiny a drží, co v něm zůstalo po zapnutí. Hodiny vedou takto: pin 4 konektoru "
            "(DTR) -> pin 8 obvodu MAX 232, pin 9 MAX 232 -> pin 3 obvodu 4094. Měření: po kroku "
            "má "
            "pin 8 obvodu MAX 232 -5 až -12 V; je-li tam 0 V, je přerušený vodič od konektoru "
            "nebo kabel DTR nevede. Je-li napětí správné, zkontrolujte spoj pinu 9 MAX 232 s "
            "pinem 3 obvodu 4094 a pin 3 samotný.")
            .arg(namesOf(shown))};
}

Finding crossed()
{
    return {QStringLiteral("Prohozené DTR a TxD"),
        QStringLiteral(
            "S každým krokem přibude rozsvícený segment od a dál, ať program posílá cokoli. Tak "
            "se displej chová, když registr dostává hodiny z TxD a data z DTR: posune se při "
            "každém návratu TxD z break a vezme vždy rozsvícený bit, protože DTR je v tu chvíli "
            "kladné. Vodič DTR (pin 4 konektoru) patří na pin 8 obvodu MAX 232, TxD (pin 3 "
            "konektoru) na pin 13; pin 9 obvodu MAX 232 na pin 3 obvodu 4094 (hodiny) a pin 12 na "
            "pin 2 (data). Signály kříží i komunikační (nulmodemový) kabel. Kde jsou prohozené, "
            "zjistíte při kroku %1: pin 3 konektoru má kladné napětí a pin 4 záporné, stejně "
            "pin 13 a pin 8 obvodu MAX 232; pin 2 obvodu 4094 má 0 V a pin 3 +5 V. Kde se "
            "polarita obrátí, tam jsou vodiče prohozené.")
            .arg(AllLitStep)};
}

Finding shifted()
{
    return {QStringLiteral("Obrazec posunutý o segment"),
        QStringLiteral(
            "Místo každého segmentu se rozsvítí ten před ním (místo b svítí a, místo c svítí b) "
            "a bit segmentu a se objeví až v dalším kroku na tečce h. Registr posouvá na opačné "
            "hraně hodin: už při DTR 1, dřív než program nastaví data, a bere tak bit předchozí. "
            "Hodiny mají vést jen přes invertující přijímač MAX 232: pin 4 konektoru (DTR) -> "
            "pin 8, pin 9 -> pin 3 obvodu 4094, bez dalšího tranzistoru nebo hradla. Měření: po "
            "kroku je DTR záporné (pin 4 konektoru -5 až -12 V) a pin 3 obvodu 4094 má mít +5 V; "
            "má-li 0 V, jsou hodiny obrácené.")};
}

Finding swapped(int k, int j)
{
    return {QStringLiteral("Prohozené segmenty %1 a %2").arg(letterOf(k), letterOf(j)),
        QStringLiteral("%1 rozsvítí segment %2 a %3 segment %4: vodiče jsou prohozené. Pin %5 "
                       "obvodu 4094 patří na pin %6 displeje (%4), pin %7 na pin %8 displeje (%2).")
            .arg(output(k, true), letterOf(j), output(j), letterOf(k))
            .arg(Paths[k].registerPin)
            .arg(Paths[k].displayPin)
            .arg(Paths[j].registerPin)
            .arg(Paths[j].displayPin)};
}

Finding misrouted(int k, Mask shown)
{
    return {QStringLiteral("Segment %1 na nesprávném vodiči").arg(letterOf(k)),
        QStringLiteral("%1 rozsvítí %2 místo segmentu %3. Pin %4 obvodu 4094 patří na pin %5 "
                       "displeje; zkontrolujte, na který pin displeje jeho vodič vede.")
            .arg(output(k, true),
                std::popcount(shown) > 1 ? QStringLiteral("segmenty ") + namesOf(shown)
                                         : QStringLiteral("segment ") + namesOf(shown),
                letterOf(k))
            .arg(Paths[k].registerPin)
            .arg(Paths[k].displayPin)};
}

Finding bridged(int k, Mask others)
{
    QStringList pins;
    for (int j = 0; j < Segments; ++j) {
        if (others & (1u << j))
            pins << QString::number(Paths[j].displayPin);
    }
    const QString list = pins.join(QStringLiteral(", "));
    return {QStringLiteral("Segment %1 svítí spolu s %2").arg(letterOf(k), namesOf(others)),
        QStringLiteral("%1 rozsvítí kromě segmentu %2 i %3: jeho vodič k pinu %4 displeje je "
                       "spojený s vodičem k pinu %5 displeje (cínový můstek, dotyk drátů). "
                       "Měření: při vypnutém napájení má být odpor mezi pinem %4 a pinem %5 "
                       "displeje nekonečný.")
            .arg(output(k, true), letterOf(k), namesOf(others))
            .arg(Paths[k].displayPin)
            .arg(list)};
}

Finding dead(int k)
{
    const SegmentPath &p = Paths[k];
    return {QStringLiteral("Nesvítí segment %1").arg(letterOf(k)),
        QStringLiteral(
            "Segment %1 se nerozsvítil ani jednou. Jeho cesta: %2 -> vodič (a rezistor, je-li v "
            "něm) -> pin %3 displeje. Měření proti zemi při kroku %4: pin %5 obvodu 4094 má mít "
            "asi 0 V, jinak je vadný výstup nebo jeho pájený spoj. Pin %3 displeje má mít také "
            "blízko 0 V (s rezistorem o úbytek na něm víc); je-li tam +3 V a víc, je přerušený "
            "vodič nebo rezistor mezi pinem %5 obvodu 4094 a pinem %3 displeje. Jsou-li obě "
            "napětí správná a segment nesvítí, je vadný segment nebo pin %3 displeje.")
            .arg(letterOf(k), output(k))
            .arg(p.displayPin)
            .arg(stepName(k))
            .arg(p.registerPin)};
}

Finding lostOutput(int k)
{
    return {QStringLiteral("Výstup Q%1 nerozsvítí nic").arg(Paths[k].output),
        QStringLiteral("Při kroku %1 nesvítí nic, ačkoli segment %2 jindy svítí. %3 nevede na "
                       "žádný svítící segment: jeho vodič patří na pin %4 displeje.")
            .arg(stepName(k), letterOf(k), output(k, true))
            .arg(Paths[k].displayPin)};
}

Finding alwaysLit(Mask lit)
{
    QStringList pins;
    for (int k = 0; k < Segments; ++k) {
        if (lit & (1u << k)) {
            pins << QStringLiteral("segment %1: pin %2 displeje, %3")
                        .arg(letterOf(k))
                        .arg(Paths[k].displayPin)
                        .arg(output(k));
        }
    }
    return {QStringLiteral("Svítí stále: %1").arg(namesOf(lit)),
        QStringLiteral("Tyto segmenty svítí i při kroku %1: jejich vodič je spojený se zemí, nebo "
                       "výstup registru zůstává na 0 V (%2). Při kroku %1 má být na těchto pinech "
                       "displeje asi +5 V.")
            .arg(AllDarkStep, pins.join(QStringLiteral("; ")))};
}

Finding mismatch(int i, Mask expected, Mask shown)
{
    QStringList parts;
    if (shown & ~expected)
        parts << QStringLiteral("svítí navíc %1").arg(namesOf(shown & ~expected));
    if (expected & ~shown)
        parts << QStringLiteral("nesvítí %1").arg(namesOf(expected & ~shown));
    QString text = parts.join(QStringLiteral(", ")) + u'.';
    text[0] = text[0].toUpper();
    return {QStringLiteral("Krok „%1“").arg(steps()[i].title), text};
}

} // namespace

QList<Finding> diagnose(const QList<std::optional<QString>> &seen)
{
    const int count = steps().size();
    std::array<std::optional<Mask>, StepCount> m;
    std::array<Mask, StepCount> expected{};
    int answered = 0;
    bool allRight = true, allBlank = true, allSame = true;
    std::optional<Mask> first;
    for (int i = 0; i < count; ++i) {
        expected[i] = maskOf(steps()[i].pattern);
        if (i >= seen.size() || !seen[i])
            continue;
        m[i] = maskOf(*seen[i]);
        ++answered;
        allRight = allRight && *m[i] == expected[i];
        allBlank = allBlank && *m[i] == 0;
        allSame = allSame && (!first || *first == *m[i]);
        first = first ? first : m[i];
    }
    if (answered == 0)
        return {{QStringLiteral("Bez odpovědí"), QStringLiteral("Žádný krok nebyl zodpovězen.")}};
    if (allRight) {
        return {{QStringLiteral("Zapojení je v pořádku"),
            answered == count ? QStringLiteral("Každý segment se rozsvítil sám a na svém místě.")
                              : QStringLiteral("Všechny zodpovězené kroky (%1 z %2) odpovídají.")
                                    .arg(answered)
                                    .arg(count)}};
    }
    if (allBlank)
        return {nothingLights()};
    if (allSame && answered >= 3)
        return {*first == All ? alwaysAllLit() : frozen(*first)};

    // Single-segment steps are 1 ... 8: step i lights segment i - 1 alone.
    const auto single = [&](int k) { return m[k + 1]; };
    int growing = 0, growingAsked = 0, early = 0, earlyAsked = 0;
    for (int k = 1; k < Segments; ++k) {
        if (single(k)) {
            ++growingAsked;
            growing += (*single(k) & 1u) && std::popcount(*single(k)) >= 2;
        }
        if (k >= 2 && single(k)) {
            ++earlyAsked;
            early += *single(k) == 1u << (k - 1);
        }
    }
    if (growingAsked >= 4 && growing >= growingAsked - 1)
        return {crossed()};
    if (earlyAsked >= 4 && early >= earlyAsked - 1)
        return {shifted()};

    QList<Finding> findings;
    // Lit with everything dark and in every single step: stuck, whatever its output does.
    Mask stuck = m[0] ? *m[0] : 0;
    for (int k = 0; k < Segments; ++k)
        stuck &= single(k) ? *single(k) : All;
    if (stuck)
        findings << alwaysLit(stuck);

    Mask everLit = 0;
    for (int i = 0; i < count; ++i)
        everLit |= m[i] ? *m[i] & ~stuck : 0;
    std::array<std::optional<Mask>, Segments> to; // what each output lights
    for (int k = 0; k < Segments; ++k)
        to[k] = single(k) ? std::optional<Mask>(*single(k) & ~stuck) : std::nullopt;
    Mask explained = stuck;
    for (int k = 0; k < Segments; ++k) {
        if (!to[k] || *to[k] == 1u << k || (stuck & (1u << k)))
            continue;
        const Mask shown = *to[k];
        if (shown == 0) {
            findings << ((everLit & (1u << k)) ? lostOutput(k) : dead(k));
        } else if (std::popcount(shown) == 1) {
            const int j = std::countr_zero(shown);
            if (to[j] && *to[j] == 1u << k) {
                if (k < j)
                    findings << swapped(k, j);
            } else {
                findings << misrouted(k, shown);
            }
        } else if (shown & (1u << k)) {
            findings << bridged(k, shown & ~(1u << k));
        } else {
            findings << misrouted(k, shown);
        }
        explained |= 1u << k | shown;
    }
    // What the single steps do not account for, step by step.
    for (int i = 0; i < count; ++i) {
        if (!m[i] || *m[i] == expected[i])
            continue;
        const bool singleStep = i >= 1 && i <= Segments;
        const Mask wrong = (*m[i] ^ expected[i]) & ~explained;
        if (singleStep ? findings.isEmpty() : wrong != 0)
            findings << mismatch(i, expected[i], *m[i]);
    }
    return findings;
}

QString diagnosisText(const QList<Finding> &findings)
{
    QStringList parts;
    for (const Finding &f : findings)
        parts << f.title + u'\n' + f.text;
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace wiringtest
