// Which Data.ini the program reads and writes. A portable folder (the program's own Data.ini
// writable for the user, or the folder itself where the file is missing) keeps its characters
// there. An installed program's file is not the user's to write: the user's copy under
// $XDG_DATA_HOME/pravlon/ is read once it exists, and the first save makes it from the
// program's file. Every reader and writer asks here.
#pragma once

#include <QList>
#include <QString>
#include <utility>

namespace datafile {

// $XDG_DATA_HOME/pravlon/Data.ini; ~/.local/share/pravlon/Data.ini where XDG_DATA_HOME is
// unset or not an absolute path.
QString userCopy();

// The file to read, given the program's own Data.ini.
QString inUse(const QString &programFile);

// Writes the entries into the file in use, making the user's copy from the program's file first
// where the program's is not writable. False, with nothing changed, where it cannot be written.
// No copy is made in a place the running user does not own: with HOME unset (a service) it
// would be /.local/share, with another user's HOME (sudo -E) a root-owned folder in that home
// that breaks the user's later saves.
bool write(const QString &section, const QList<std::pair<QString, QString>> &entries,
    const QString &programFile);

// Why the last write on this thread failed, for the user; empty for a plain write failure.
QString lastFailure();

} // namespace datafile
