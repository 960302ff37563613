// How the character-set file's bytes get from and to the disk without ever costing the user a
// saved character: reads that never block and stop at a sane size, and saves that land whole or
// not at all, however they are interrupted, one running program at a time.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace filestore {

// A file is read this far and no further; what lies beyond counts as not there.
inline constexpr qint64 ReadLimit = qint64(16) << 20;

struct Contents
{
    enum Kind {
        Missing, // nothing at the path
        Regular, // a regular file, or a link to one
        Other, // a directory, FIFO, device: never opened
        Unreadable,
    };
    Kind kind = Missing;
    QByteArray bytes; // at most ReadLimit
    bool cut = false; // the file is larger than ReadLimit
};

// The file's content. A save in place that was interrupted is finished (or undone, if it had not
// got far enough) where this user may write the file; where not, its content is read as it will
// be once finished.
Contents read(const QString &path);

// Changes the file: edit gets its current bytes (empty for a new file) and changes them, or
// returns false to give up. A lock on the file that every running copy of the program takes,
// whichever way it saves, is held from the read to the end of the save. The new bytes replace
// the file atomically where its directory takes a new file and the replacement can keep the
// file's group, else they are written in place in steps that a later read or save completes or
// undoes. A file without any write permission is never written, not even by root. True only
// when every byte reached the disk; otherwise the file reads as it was.
bool update(const QString &path, const std::function<bool(QByteArray &bytes)> &edit);

// Why the last update on this thread failed, for the user, where it is more than a disk that
// refused a write (a link the system will not follow, a file too large to save); empty
// otherwise.
QString lastFailure();

// How long a save waits for the lock of another running program before it gives up (10 s);
// tests make it shorter.
void setLockWait(int ms);

} // namespace filestore
