#include "sources/profile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

namespace profile {

namespace {

constexpr const char *CodePage = "windows-1250";

QString decode(QByteArrayView bytes)
{
    QStringDecoder decoder(CodePage);
    if (!decoder.isValid())
        return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

std::optional<QByteArray> encode(const QString &text)
{
    QStringEncoder encoder(CodePage, QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView v)
{
    while (!v.isEmpty() && isBlank(v.front()))
        v = v.sliced(1);
    while (!v.isEmpty() && (isBlank(v.back()) || v.back() == '\r'))
        v.chop(1);
    return v;
}

// One line of the file: where it starts and where its text ends (line end excluded).
struct Line
{
    qsizetype begin;
    qsizetype end;
    qsizetype next; // start of the following line
};

class Scanner
{
public:
    explicit Scanner(const QByteArray &bytes)
        : m_bytes(bytes)
    { }

    bool nextLine(Line &line)
    {
        if (m_pos >= m_bytes.size())
            return false;
        qsizetype nl = m_bytes.indexOf('\n', m_pos);
        line.begin = m_pos;
        line.next = nl < 0 ? m_bytes.size() : nl + 1;
        line.end = nl < 0 ? m_bytes.size() : nl;
        if (line.end > line.begin && m_bytes[line.end - 1] == '\r')
            --line.end;
        m_pos = line.next;
        return true;
    }

    QByteArrayView text(const Line &line) const
    {
        return QByteArrayView(m_bytes).sliced(line.begin, line.end - line.begin);
    }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

// The name of a section line "[name]", or nothing for any other line.
std::optional<QByteArrayView> sectionName(QByteArrayView line)
{
    line = trimmed(line);
    if (line.isEmpty() || line.front() != '[')
        return std::nullopt;
    const qsizetype close = line.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return trimmed(line.sliced(1, close - 1));
}

struct Entry
{
    QByteArrayView key;
    QByteArrayView value;
};

std::optional<Entry> entryOf(QByteArrayView line)
{
    const qsizetype eq = line.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    return Entry{trimmed(line.first(eq)), trimmed(line.sliced(eq + 1))};
}

bool sameName(QByteArrayView a, const QString &b)
{
    // One byte per character: names of another length never match.
    if (a.size() != b.size())
        return false;
    return decode(a).compare(b, Qt::CaseInsensitive) == 0;
}

// Where a key stands in the file, or where its section ends.
struct Location
{
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine{};
    qsizetype insertAt = 0; // just after the section's last non-blank line
    bool insertNeedsLineEnd = false;
};

Location locate(const QByteArray &bytes, const QString &section, const QString &key)
{
    Location loc;
    Scanner scan(bytes);
    Line line{};
    bool inSection = false;
    while (scan.nextLine(line)) {
        const QByteArrayView text = scan.text(line);
        if (auto name = sectionName(text)) {
            if (inSection)
                break; // the first section of that name is the one read and written
            inSection = sameName(*name, section);
            if (inSection) {
                loc.sectionFound = true;
                loc.insertAt = line.next;
                loc.insertNeedsLineEnd = line.next == bytes.size() && !bytes.endsWith('\n');
            }
            continue;
        }
        if (!inSection)
            continue;
        if (!trimmed(text).isEmpty()) {
            loc.insertAt = line.next;
            loc.insertNeedsLineEnd = line.next == bytes.size() && !bytes.endsWith('\n');
        }
        if (auto entry = entryOf(text); entry && sameName(entry->key, key)) {
            loc.keyFound = true;
            loc.keyLine = line;
            return loc;
        }
    }
    return loc;
}

QByteArray lineEndOf(const QByteArray &bytes)
{
    const qsizetype nl = bytes.indexOf('\n');
    if (nl > 0 && bytes[nl - 1] == '\r')
        return "\r\n";
    if (nl >= 0)
        return "\n";
#if defined(Q_OS_WIN)
    return "\r\n";
#else
    return "\n";
#endif
}

bool validName(const QString &name, const char *forbidden)
{
    if (name.trimmed().isEmpty() || name.trimmed() != name)
        return false;
    for (const char *f = forbidden; *f; ++f) {
        if (name.contains(QLatin1Char(*f)))
            return false;
    }
    return true;
}

} // namespace

bool isStorable(const QString &text)
{
    return encode(text).has_value();
}

QString read(const QString &section, const QString &key, const QString &defaultValue, int capacity,
    const QString &path)
{
    const int keep = capacity > 0 ? capacity - 1 : 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue.left(keep);
    const QByteArray bytes = file.readAll();
    const Location loc = locate(bytes, section, key);
    if (!loc.keyFound)
        return defaultValue.left(keep);

    QByteArrayView value = entryOf(
        QByteArrayView(bytes).sliced(loc.keyLine.begin, loc.keyLine.end - loc.keyLine.begin))
                               ->value;
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.sliced(1, value.size() - 2);
    // Windows-1250 has one byte per character, so cutting the bytes cuts the characters.
    return decode(value.first(std::min<qsizetype>(value.size(), keep)));
}

namespace {

// Sets one entry in the file's bytes; false when the text cannot be stored.
bool applyEntry(QByteArray &bytes, const QString &section, const QString &key, const QString &value)
{
    if (!validName(section, "[]\r\n") || !validName(key, "=[\r\n")
        || value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return false;
    const auto sectionBytes = encode(section);
    const auto keyBytes = encode(key);
    const auto valueBytes = encode(value);
    if (!sectionBytes || !keyBytes || !valueBytes)
        return false;

    const QByteArray eol = lineEndOf(bytes);
    const QByteArray entry = *keyBytes + '=' + *valueBytes;
    const Location loc = locate(bytes, section, key);
    if (loc.keyFound) {
        bytes.replace(loc.keyLine.begin, loc.keyLine.end - loc.keyLine.begin, entry);
    } else if (loc.sectionFound) {
        bytes.insert(loc.insertAt, (loc.insertNeedsLineEnd ? eol : QByteArray()) + entry + eol);
    } else {
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes += eol;
        bytes += '[' + *sectionBytes + ']' + eol + entry + eol;
    }
    return true;
}

} // namespace

bool write(const QString &section, const QString &key, const QString &value, const QString &path)
{
    return write(section, {{key, value}}, path);
}

bool write(
    const QString &section, const QList<std::pair<QString, QString>> &entries, const QString &path)
{
    QByteArray bytes;
    QFile existing(path);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        bytes = existing.readAll();
        existing.close();
    }
    for (const auto &[key, value] : entries) {
        if (!applyEntry(bytes, section, key, value))
            return false;
    }

    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace profile
