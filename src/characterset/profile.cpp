#include "characterset/profile.h"

#include "characterset/filestore.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <optional>

namespace profile {

namespace {

constexpr const char *CodePage = "windows-1250";

QString decode(QByteArrayView bytes)
{
    // ASCII reads the same in the code page: no converter to open, whose tables (ICU's) weigh
    // a megabyte at start-up, and the shipped file is ASCII.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
        return QString::fromLatin1(bytes);
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
    while (!v.isEmpty() && isBlank(v.back()))
        v.chop(1);
    return v;
}

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

// One line of the file: where it starts and where its text ends (line end excluded). A line
// ends with CR LF, LF or a lone CR, as the classic profile functions read it.
struct Line
{
    qsizetype begin;
    qsizetype end;
    qsizetype next; // start of the following line; equal to end for a last line without end
};

class Scanner
{
public:
    explicit Scanner(QByteArrayView bytes)
        : m_bytes(bytes)
    { }

    bool nextLine(Line &line)
    {
        if (m_pos >= m_bytes.size())
            return false;
        qsizetype end = m_pos;
        while (end < m_bytes.size() && !isLineEnd(m_bytes[end]))
            ++end;
        line.begin = m_pos;
        line.end = end;
        line.next = end;
        if (line.next < m_bytes.size())
            line.next
                += m_bytes[end] == '\r' && end + 1 < m_bytes.size() && m_bytes[end + 1] == '\n' ? 2
                                                                                                : 1;
        m_pos = line.next;
        return true;
    }

    QByteArrayView text(const Line &line) const
    {
        return m_bytes.sliced(line.begin, line.end - line.begin);
    }

private:
    QByteArrayView m_bytes;
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

// The value of an entry as read: without one pair of enclosing quotation marks, double or
// single, and cut to keep characters (Windows-1250 has one byte per character).
QString valueText(QByteArrayView value, int keep)
{
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == '"' || value.front() == '\''))
        value = value.sliced(1, value.size() - 2);
    return decode(value.first(std::min<qsizetype>(value.size(), keep)));
}

// Where a key stands in the file, or where its section ends.
struct Location
{
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine{};
    qsizetype insertAt = 0; // just after the section's last non-blank line
    bool insertNeedsLineEnd = false; // that line is the last one and has no line end
};

// Walks the first section of that name: its header line, then every line up to the next section.
// visit(line, text, header) returns false to stop.
template <class Visit>
void walkSection(const QByteArray &bytes, const QString &section, Visit visit)
{
    Scanner scan(bytes);
    Line line{};
    bool inSection = false;
    while (scan.nextLine(line)) {
        const QByteArrayView text = scan.text(line);
        const auto name = sectionName(text);
        if (name && inSection)
            return; // only the first section of that name is read and written
        if (name)
            inSection = sameName(*name, section);
        if (inSection && !visit(line, text, bool(name)))
            return;
    }
}

Location locate(const QByteArray &bytes, const QString &section, const QString &key)
{
    Location loc;
    walkSection(bytes, section, [&](const Line &line, QByteArrayView text, bool header) {
        loc.sectionFound = true;
        if (header || !trimmed(text).isEmpty()) {
            loc.insertAt = line.next;
            loc.insertNeedsLineEnd = line.next == line.end;
        }
        if (auto entry = header ? std::nullopt : entryOf(text);
            entry && sameName(entry->key, key)) {
            loc.keyFound = true;
            loc.keyLine = line;
            return false;
        }
        return true;
    });
    return loc;
}

// New lines follow the file's own convention, that of its first line end; a file without one
// gets CR LF, as the classic profile functions write.
QByteArray lineEndOf(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            return "\n";
        if (bytes[i] == '\r')
            return i + 1 < bytes.size() && bytes[i + 1] == '\n' ? "\r\n" : "\r";
    }
    return "\r\n";
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
        if (!bytes.isEmpty() && !isLineEnd(bytes.back()))
            bytes += eol;
        bytes += '[' + *sectionBytes + ']' + eol + entry + eol;
    }
    return true;
}

} // namespace

bool isStorable(const QString &text)
{
    return encode(text).has_value();
}

Snapshot::Snapshot(QByteArray bytes)
    : m_bytes(std::move(bytes))
{ }

Snapshot Snapshot::load(const QString &path)
{
    filestore::Contents contents = filestore::read(path);
    return Snapshot(
        contents.kind == filestore::Contents::Regular ? std::move(contents.bytes) : QByteArray());
}

QList<QString> Snapshot::read(const QString &section, const QStringList &keys,
    const QStringList &defaults, int capacity) const
{
    const int keep = capacity > 0 ? capacity - 1 : 0;
    QList<QString> values(keys.size());
    QList<bool> found(keys.size(), false);
    qsizetype left = keys.size();
    walkSection(m_bytes, section, [&](const Line &, QByteArrayView text, bool header) {
        const auto entry = header ? std::nullopt : entryOf(text);
        if (!entry)
            return true;
        // The first entry of a key counts; the name is decoded only when its length fits.
        std::optional<QString> name;
        for (qsizetype i = 0; i < keys.size(); ++i) {
            if (found[i] || entry->key.size() != keys[i].size())
                continue;
            if (!name)
                name = decode(entry->key);
            if (name->compare(keys[i], Qt::CaseInsensitive) == 0) {
                values[i] = valueText(entry->value, keep);
                found[i] = true;
                --left;
            }
        }
        return left > 0;
    });
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (!found[i])
            values[i] = defaults[i].left(keep);
    }
    return values;
}

QString Snapshot::read(
    const QString &section, const QString &key, const QString &defaultValue, int capacity) const
{
    return read(section, QStringList{key}, QStringList{defaultValue}, capacity).first();
}

QString read(const QString &section, const QString &key, const QString &defaultValue, int capacity,
    const QString &path)
{
    return Snapshot::load(path).read(section, key, defaultValue, capacity);
}

bool write(const QString &section, const QString &key, const QString &value, const QString &path)
{
    return write(section, {{key, value}}, path);
}

bool write(
    const QString &section, const QList<std::pair<QString, QString>> &entries, const QString &path)
{
    return filestore::update(path, [&](QByteArray &bytes) {
        for (const auto &[key, value] : entries) {
            if (!applyEntry(bytes, section, key, value))
                return false;
        }
        return true;
    });
}

} // namespace profile
