#include "characterset/datafile.h"

#include "characterset/filestore.h"
#include "characterset/profile.h"

#include <QDir>
#include <QFileInfo>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace datafile {

namespace {

// Writable for this user, and not made read-only by its owner: root may write anything, but a
// file without a write bit is not meant to be written. Where the file is missing, the folder
// decides. Anything else at the path (a directory) stays the program's: its saves fail visibly.
bool portable(const QString &programFile)
{
    const QFileInfo file(programFile);
    if (!file.exists())
        return QFileInfo(file.absolutePath()).isWritable();
    return file.isWritable()
        && (file.permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
}

thread_local QString t_failure;

// Whether the running user owns the nearest existing folder on the way to `folder`, which is
// where a copy's folders would be made.
bool ownPlace(const QString &folder)
{
#if defined(Q_OS_UNIX)
    QString at = QDir::cleanPath(folder);
    struct stat st
    {
    };
    while (::stat(QFile::encodeName(at).constData(), &st) != 0) {
        const QString up = QFileInfo(at).path();
        if (up == at)
            return false;
        at = up;
    }
    return at != QLatin1String("/") && st.st_uid == ::geteuid();
#else
    Q_UNUSED(folder);
    return true;
#endif
}

} // namespace

QString lastFailure()
{
    return t_failure.isEmpty() ? filestore::lastFailure() : t_failure;
}

QString userCopy()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir(base).filePath(QStringLiteral("pravlon/Data.ini"));
}

QString inUse(const QString &programFile)
{
    if (portable(programFile))
        return programFile;
    const QString user = userCopy();
    return QFileInfo(user).isFile() ? user : programFile;
}

bool write(const QString &section, const QList<std::pair<QString, QString>> &entries,
    const QString &programFile)
{
    t_failure.clear();
    if (portable(programFile))
        return profile::write(section, entries, programFile);
    const QString user = userCopy();
    if (!QFileInfo::exists(user)) {
        const bool homeKnown = QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME"))
            || QDir::isAbsolutePath(qEnvironmentVariable("HOME"));
        if (!homeKnown || !ownPlace(QFileInfo(user).absolutePath())) {
            t_failure = QStringLiteral("Vaše kopie Data.ini (%1) nevznikla: složka nepatří vám "
                                       "(HOME=%2). Program spusťte jako svůj uživatel, ne přes "
                                       "sudo -E.")
                            .arg(user, qEnvironmentVariable("HOME"));
            return false;
        }
        // The copy starts as the program's file, so that it holds every character; a save
        // killed after this step leaves a copy that reads as the program's file did.
        const QByteArray shipped = filestore::read(programFile).bytes;
        if (!QDir().mkpath(QFileInfo(user).absolutePath())
            || !filestore::update(user, [&](QByteArray &bytes) {
                   if (bytes.isEmpty())
                       bytes = shipped;
                   return true;
               }))
            return false;
    }
    return profile::write(section, entries, user);
}

} // namespace datafile
