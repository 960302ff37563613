// Fuzz target for the character-set file's reader and writer.
//
// Input: five lines (section, key, value, another section, another key, as UTF-8, so that
// text Windows-1250 lacks comes up too), then the file's bytes. Checks what a user relies on:
// nothing crashes, a write that reports success reads back, and it changes no other entry.
#include "characterset/profile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString &scratchFile()
{
    // tmpfs where there is one: every run writes the file twice.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
            ? QStringLiteral("/dev/shm/pravlon-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/pravlon-fuzz-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("Data.ini"));
    return path;
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "profile fuzz: %s\n", what);
    std::abort();
}

// What a stored value reads back as: the reader trims blanks and one pair of quotes, double or
// single.
bool readsBackAsItIs(const QString &value)
{
    if (value.isEmpty())
        return true;
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    if (blank(value.front()) || blank(value.back()))
        return false;
    return !(value.size() >= 2 && value.front() == value.back()
        && (value.front() == u'"' || value.front() == u'\''));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QString> fields;
    for (int i = 0; i < 5; ++i) {
        const qsizetype nl = input.indexOf('\n');
        if (nl < 0)
            return 0;
        fields << QString::fromUtf8(input.first(nl));
        input.remove(0, nl + 1);
    }
    const QString &section = fields[0];
    const QString &key = fields[1];
    const QString &value = fields[2];
    const QString &otherSection = fields[3];
    const QString &otherKey = fields[4];
    const QString &path = scratchFile();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fail("cannot write the scratch file");
        file.write(input);
    }

    const int capacity = int(input.size() + value.size() + 2);
    const QString missing = QStringLiteral("\x01missing");
    const QString otherBefore = profile::read(otherSection, otherKey, missing, capacity, path);
    profile::read(section, key, QString(), 10, path);

    if (!profile::write(section, key, value, path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != input)
            fail("a refused write changed the file");
        return 0;
    }
    if (readsBackAsItIs(value) && profile::read(section, key, missing, capacity, path) != value)
        fail("a written value does not read back");
    const bool sameEntry = otherSection.compare(section, Qt::CaseInsensitive) == 0
        && otherKey.compare(key, Qt::CaseInsensitive) == 0;
    if (!sameEntry && profile::read(otherSection, otherKey, missing, capacity, path) != otherBefore)
        fail("a write changed another entry");
    return 0;
}
