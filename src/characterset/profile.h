// Single entries of an initialisation-style file, read and written in place.
//
// Section and key names match without regard to case; values are trimmed of blanks and of one
// pair of enclosing quotation marks, double or single. CR LF, LF and a lone CR all end a line.
// The file is Windows-1250 text. A write changes only the bytes of the entry it writes (or adds
// one) and keeps the file's line-end convention; how the bytes reach the disk is filestore's.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <utility>

namespace profile {

// The file's bytes, read once, with its entries looked up in them.
class Snapshot
{
public:
    explicit Snapshot(QByteArray bytes = {});
    // Anything but a regular file, or a missing one, reads as empty.
    static Snapshot load(const QString &path);

    // As read() below, for several keys of one section in one pass over the file.
    QList<QString> read(const QString &section, const QStringList &keys,
        const QStringList &defaults, int capacity) const;
    QString read(const QString &section, const QString &key, const QString &defaultValue,
        int capacity) const;

private:
    QByteArray m_bytes;
};

// The value of the key, cut to capacity - 1 characters; the default when the file, the
// section or the key is missing (also cut). An existing empty value reads as empty.
QString read(const QString &section, const QString &key, const QString &defaultValue, int capacity,
    const QString &path);

// Sets the key to the value: in place when the key exists, else at the end of its section,
// else in a new section at the end of the file, else in a new file. Returns false, leaving
// the file as it was, when the file cannot be written whole or the text cannot be stored (a
// character Windows-1250 lacks, a line break, a key or section name that would not read back).
bool write(const QString &section, const QString &key, const QString &value, const QString &path);

// Several entries of one section, as if written one after another, in one replacement of the
// file: either all of them land or none.
bool write(
    const QString &section, const QList<std::pair<QString, QString>> &entries, const QString &path);

// Whether every character of the text has a place in Windows-1250.
bool isStorable(const QString &text);

} // namespace profile
