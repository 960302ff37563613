#include "characterset/filestore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <algorithm>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace filestore {

namespace {

// How long a save waits for the save of another running copy; saves take milliseconds.
constexpr int LockWaitMs = 10000;
// A lock this old is stale. A program killed while taking the lock can leave it without its
// owner's name, which only its age then tells; Qt's own 30 s would fail every save meanwhile.
constexpr int StaleLockMs = 4000;
// A temporary this old belongs to no running save: every save holds the lock while it writes.
constexpr qint64 StaleTemporarySeconds = 10 * 60;
// "Data.ini.saving-Xy3abZ": a name no user would give a backup, so that the clean-up of
// temporaries a killed save left can never take anything else.
const QString TemporaryInfix = QStringLiteral(".saving-");
constexpr int TemporaryRandomLength = 6;

// Where the bytes are: a link is followed, and the link itself stays as it is.
QString resolved(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

bool isTemporaryName(const QString &name, const QString &prefix)
{
    if (name.size() != prefix.size() + TemporaryRandomLength || !name.startsWith(prefix))
        return false;
    return std::all_of(name.begin() + prefix.size(), name.end(),
        [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); });
}

void removeStaleTemporaries(const QString &target)
{
    const QFileInfo info(target);
    const QString prefix = info.fileName() + TemporaryInfix;
    const QDateTime staleBefore = QDateTime::currentDateTimeUtc().addSecs(-StaleTemporarySeconds);
    const QFileInfoList candidates = info.dir().entryInfoList(
        {prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &t : candidates) {
        if (isTemporaryName(t.fileName(), prefix) && t.lastModified() < staleBefore)
            QFile::remove(t.filePath());
    }
}

#if defined(Q_OS_UNIX)

QString randomSuffix()
{
    static const char chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString s;
    for (int i = 0; i < TemporaryRandomLength; ++i)
        s += QLatin1Char(chars[QRandomGenerator::global()->bounded(int(sizeof chars) - 1)]);
    return s;
}

Contents readOpen(int fd)
{
    Contents c;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        c.kind = Contents::Unreadable;
        return c;
    }
    if (!S_ISREG(st.st_mode)) {
        c.kind = Contents::Other;
        return c;
    }
    c.bytes.resize(std::min<qint64>(st.st_size, ReadLimit));
    qint64 got = 0;
    while (got < c.bytes.size()) {
        const ssize_t n = ::pread(fd, c.bytes.data() + got, size_t(c.bytes.size() - got), got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            c.kind = Contents::Unreadable;
            c.bytes.clear();
            return c;
        }
        if (n == 0)
            break;
        got += n;
    }
    c.bytes.truncate(got);
    c.kind = Contents::Regular;
    c.cut = st.st_size > ReadLimit;
    return c;
}

bool writeAll(int fd, QByteArrayView bytes, off_t offset)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n
            = ::pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// A rename reaches the disk only with its directory.
void syncDirectory(const QString &target)
{
    const int dir = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

bool replaceAtomically(const QString &target, const QByteArray &bytes)
{
    const QByteArray targetName = QFile::encodeName(target);
    QByteArray tempName;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tempName = QFile::encodeName(target + TemporaryInfix + randomSuffix());
        fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    // The replacement keeps the file's owner and permissions, so that a save made once with
    // more rights does not lock the user out of their own file.
    struct stat old;
    if (::stat(targetName.constData(), &old) == 0) {
        [[maybe_unused]] const int given = ::fchown(fd, old.st_uid, old.st_gid); // root only
        ::fchmod(fd, old.st_mode & 07777);
    }
    bool ok = writeAll(fd, bytes, 0) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(tempName.constData(), targetName.constData()) == 0;
    if (!ok) {
        ::unlink(tempName.constData());
        return false;
    }
    syncDirectory(target);
    return true;
}

bool lockExclusive(int fd)
{
    for (int waited = 0; waited < LockWaitMs; waited += 10) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        ::usleep(10 * 1000);
    }
    return false;
}

// Claims the disk space of a longer file before a byte of the old one is overwritten.
bool reserve(int fd, const QByteArray &bytes, off_t oldSize)
{
    if (bytes.size() <= oldSize)
        return true;
#if defined(Q_OS_LINUX)
    const int err = ::posix_fallocate(fd, oldSize, bytes.size() - oldSize);
    if (err != 0 && err != EOPNOTSUPP && err != EINVAL)
        return false;
#endif
    // Writing the new tail takes the space where the file system cannot reserve it.
    return writeAll(fd, QByteArrayView(bytes).sliced(oldSize), oldSize) && ::fsync(fd) == 0;
}

// The directory takes no new file, but the file may be writable: the classic rewrite in place,
// with the file itself as the lock.
bool updateInPlace(const QString &target, const std::function<bool(QByteArray &)> &edit)
{
    const QByteArray name = QFile::encodeName(target);
    struct stat st;
    if (::stat(name.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    const int fd = ::open(name.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const auto closer = qScopeGuard([fd] { ::close(fd); });
    if (!lockExclusive(fd))
        return false;
    const Contents old = readOpen(fd);
    if (old.kind != Contents::Regular || old.cut)
        return false;
    QByteArray bytes = old.bytes;
    if (!edit(bytes))
        return false;
    const off_t oldSize = old.bytes.size();
    if (!reserve(fd, bytes, oldSize)) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, oldSize);
        return false;
    }
    if (writeAll(fd, bytes, 0) && (bytes.size() >= oldSize || ::ftruncate(fd, bytes.size()) == 0)
        && ::fsync(fd) == 0)
        return true;
    // The space was there, so the disk itself failed: put the old bytes back as far as it lets.
    writeAll(fd, old.bytes, 0);
    [[maybe_unused]] const int cut = ::ftruncate(fd, oldSize);
    ::fsync(fd);
    return false;
}

#endif

} // namespace

#if defined(Q_OS_UNIX)

Contents read(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0) {
        Contents c;
        c.kind = errno == ENOENT || errno == ENOTDIR ? Contents::Missing : Contents::Unreadable;
        return c;
    }
    // Never opened: opening a FIFO blocks, opening a serial device moves its lines.
    if (!S_ISREG(st.st_mode))
        return Contents{Contents::Other, {}, false};
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Contents{Contents::Unreadable, {}, false};
    Contents c = readOpen(fd);
    ::close(fd);
    return c;
}

#else

Contents read(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Contents{Contents::Missing, {}, false};
    if (!info.isFile())
        return Contents{Contents::Other, {}, false};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Contents{Contents::Unreadable, {}, false};
    return Contents{Contents::Regular, file.read(ReadLimit), info.size() > ReadLimit};
}

#endif

bool update(const QString &path, const std::function<bool(QByteArray &bytes)> &edit)
{
    const QString target = resolved(path);
    QLockFile lock(target + QStringLiteral(".lock"));
    lock.setStaleLockTime(StaleLockMs);
    if (!lock.tryLock(LockWaitMs)) {
        // Another running copy is saving for longer than any save takes: leave its file alone.
        if (lock.error() == QLockFile::LockFailedError)
            return false;
#if defined(Q_OS_UNIX)
        return updateInPlace(target, edit);
#else
        return false;
#endif
    }
    const Contents now = read(target);
    if (now.kind == Contents::Other || now.kind == Contents::Unreadable || now.cut)
        return false;
    // A file made read-only is not replaced behind its owner's back.
    if (now.kind == Contents::Regular && !QFileInfo(target).isWritable())
        return false;
    QByteArray bytes = now.bytes;
    if (!edit(bytes))
        return false;
#if defined(Q_OS_UNIX)
    if (!replaceAtomically(target, bytes))
        return false;
#else
    QSaveFile out(target);
    // Unbuffered, so that a full disk shows at the write and not in a flush that commit() skips.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        || out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    if (!out.commit())
        return false;
#endif
    removeStaleTemporaries(target);
    return true;
}

} // namespace filestore
