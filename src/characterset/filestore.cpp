#include "characterset/filestore.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#if defined(Q_OS_UNIX)
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QLockFile>
#include <QSaveFile>
#endif

namespace filestore {

namespace {

// How long a save waits for the save of another running copy; saves take milliseconds.
int LockWaitMs = 10000;

thread_local QString t_failure;

#if defined(Q_OS_UNIX)

// "Data.ini.saving-Xy3abZ": a name no user would give a backup, so that the clean-up of
// temporaries a killed save left can never take anything else.
const QString TemporaryInfix = QStringLiteral(".saving-");
constexpr int TemporaryRandomLength = 6;

// A save in place appends its new content to the file as one comment line, makes that durable,
// copies the content over the head and cuts the file to its length. The line ends with the
// content's length and checksum: a read that finds it whole knows that the save got that far,
// takes the content from it and finishes the copy. A part of the line is a comment to any
// reader; the next read or save that may write cuts it off.
const QByteArray JournalMark = QByteArrayLiteral("pravlon-unfinished-save");

struct Journal
{
    enum State { None, Part, Whole };
    State state = None;
    QByteArray content; // the file's content: without a part of a line, from a whole one
};

enum class Outcome { Done, Failed, NotHere };

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

QByteArray checksum(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// The line a save in place appends to the old bytes. The copy over the head writes the first
// now.size() bytes of the file, so the line's content and checksum lie beyond them.
QByteArray journalLine(const QByteArray &old, const QByteArray &now)
{
    QByteArray line = !old.isEmpty() && !isLineEnd(old.back()) ? "\n;" : ";";
    line += JournalMark;
    const qint64 end = old.size() + line.size();
    line += QByteArray(std::max<qint64>(1, now.size() - end + 1), ' ');
    return line + now.toBase64(QByteArray::OmitTrailingEquals) + ' '
        + QByteArray::number(now.size()) + ' ' + checksum(now) + ' ' + JournalMark + '\n';
}

Journal examine(const QByteArray &bytes)
{
    const QByteArray close = ' ' + JournalMark + '\n';
    if (bytes.endsWith(close)) {
        const qsizetype end = bytes.size() - close.size();
        const qsizetype sumAt = bytes.lastIndexOf(' ', end - 1);
        const qsizetype sizeAt = sumAt > 0 ? bytes.lastIndexOf(' ', sumAt - 1) : -1;
        const qsizetype dataAt = sizeAt > 0 ? bytes.lastIndexOf(' ', sizeAt - 1) : -1;
        if (dataAt >= 0) {
            bool sized = false;
            const qint64 size = bytes.mid(sizeAt + 1, sumAt - sizeAt - 1).toLongLong(&sized);
            const auto content
                = QByteArray::fromBase64Encoding(bytes.mid(dataAt + 1, sizeAt - dataAt - 1),
                    QByteArray::AbortOnBase64DecodingErrors);
            if (sized && content && content.decoded.size() == size
                && checksum(content.decoded) == bytes.mid(sumAt + 1, end - sumAt - 1))
                return Journal{Journal::Whole, content.decoded};
        }
    }
    // A part of a line, or a spoilt one, is the file's last line. The mark alone tells it, or,
    // where the file ends without a line end, a beginning of the mark.
    const bool ended = bytes.endsWith('\n');
    const qsizetype end = bytes.size() - (ended ? 1 : 0);
    qsizetype start = end;
    while (start > 0 && !isLineEnd(bytes[start - 1]))
        --start;
    const QByteArray last = bytes.mid(start, end - start);
    const QByteArray mark = ';' + JournalMark;
    if (!last.isEmpty() && (last.startsWith(mark) || (!ended && mark.startsWith(last))))
        return Journal{Journal::Part, bytes.first(start)};
    return Journal{Journal::None, bytes};
}

// The name a descriptor's file has now, as the kernel keeps it: no link in it.
QString nameOf(int fd)
{
#if defined(Q_OS_LINUX)
    char target[PATH_MAX];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t n = ::readlink(link.constData(), target, sizeof target);
    struct stat st;
    // A file removed meanwhile has no name left to save under.
    if (n <= 0 || n >= ssize_t(sizeof target) || target[0] != '/' || ::fstat(fd, &st) != 0
        || (!S_ISDIR(st.st_mode) && st.st_nlink == 0))
        return {};
    return QFile::decodeName(QByteArray(target, n));
#elif defined(F_GETPATH)
    char target[MAXPATHLEN];
    return ::fcntl(fd, F_GETPATH, target) == 0 ? QFile::decodeName(target) : QString();
#else
    Q_UNUSED(fd);
    return {};
#endif
}

// Opens without reading or moving anything: a device at the path keeps its lines as they are.
int openPlace(const QByteArray &name, int flags)
{
#if defined(O_PATH)
    return ::open(name.constData(), O_PATH | O_CLOEXEC | flags);
#else
    return ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | flags);
#endif
}

// Where a save of `path` lands: the file the kernel opens for that name, under its rules for
// links (it refuses another user's link in a shared sticky folder), named by its descriptor.
// Nothing here follows a link by name, which would get around those rules. A missing file is
// created in the folder the kernel finds for the name; a link to nothing is refused.
QString located(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat link;
    const bool isLink = ::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode);
    int fd = openPlace(name, 0);
    if (fd < 0 && errno == ENOENT && !isLink) {
        const QFileInfo info(path);
        fd = openPlace(QFile::encodeName(info.absolutePath()), O_DIRECTORY);
        const QString folder = fd >= 0 ? nameOf(fd) : QString();
        if (fd >= 0)
            ::close(fd);
        return folder.isEmpty() ? QString() : QDir(folder).filePath(info.fileName());
    }
    if (fd < 0) {
        if (isLink)
            t_failure = QStringLiteral("%1 je odkaz, který systém nedovolí otevřít (%2); "
                                       "nic nebylo zapsáno.")
                            .arg(path, QString::fromLocal8Bit(::strerror(errno)));
        return {};
    }
    const auto closer = qScopeGuard([fd] { ::close(fd); });
    const QString real = nameOf(fd);
    struct stat open, now;
    if (real.isEmpty() || ::fstat(fd, &open) != 0
        || ::stat(QFile::encodeName(real).constData(), &now) != 0 || open.st_dev != now.st_dev
        || open.st_ino != now.st_ino)
        return {};
    return real;
}

bool isTemporaryName(const QString &name, const QString &prefix)
{
    if (name.size() != prefix.size() + TemporaryRandomLength || !name.startsWith(prefix))
        return false;
    return std::all_of(name.begin() + prefix.size(), name.end(),
        [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); });
}

// Every save writes its temporary while it holds the lock on the file, so the one that holds it
// now knows that the temporaries it finds belong to saves that were killed.
void removeTemporaries(const QString &target)
{
    const QFileInfo info(target);
    const QString prefix = info.fileName() + TemporaryInfix;
    const QFileInfoList candidates = info.dir().entryInfoList(
        {prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo &t : candidates) {
        if (isTemporaryName(t.fileName(), prefix))
            QFile::remove(t.filePath());
    }
}

QString randomSuffix()
{
    static const char chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString s;
    for (int i = 0; i < TemporaryRandomLength; ++i)
        s += QLatin1Char(chars[QRandomGenerator::global()->bounded(int(sizeof chars) - 1)]);
    return s;
}

// The bytes behind fd, up to limit; stable when the file kept its size while it was read.
Contents readUpTo(int fd, qint64 limit, bool *stable = nullptr)
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
    c.bytes.resize(std::min<qint64>(st.st_size, limit));
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
    struct stat after;
    if (stable)
        *stable = got == c.bytes.size() && ::fstat(fd, &after) == 0 && after.st_size == st.st_size;
    c.bytes.truncate(got);
    c.kind = Contents::Regular;
    c.cut = st.st_size > limit;
    return c;
}

// An earlier version saved in place without minding the size: its journal line could carry a
// large file past ReadLimit, and a save killed before the final cut left it so. Such a file is
// read whole, up to this size, so that its save is finished and the file heals.
constexpr qint64 JournalledLimit = 4 * ReadLimit;

// The file's bytes for examine(): up to ReadLimit, or all of a larger one that carries a
// whole or partial journal line whose content fits.
Contents readOpen(int fd, bool *stable = nullptr)
{
    Contents c = readUpTo(fd, ReadLimit, stable);
    if (c.kind != Contents::Regular || !c.cut)
        return c;
    Contents whole = readUpTo(fd, JournalledLimit);
    if (whole.kind != Contents::Regular || whole.cut)
        return c;
    const Journal journal = examine(whole.bytes);
    return journal.state != Journal::None && journal.content.size() <= ReadLimit ? whole : c;
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

// A file without any write permission is left alone, whoever runs the program.
bool mayWrite(const QByteArray &name, const struct stat &st)
{
    return (st.st_mode & 0222) != 0
        && ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) == 0;
}

bool sameFile(int fd, const QByteArray &name)
{
    struct stat open, now;
    return ::fstat(fd, &open) == 0 && ::stat(name.constData(), &now) == 0
        && open.st_dev == now.st_dev && open.st_ino == now.st_ino;
}

// Where the file system keeps no locks (an NFS mount without its lock service), a save goes
// ahead without one rather than never.
bool lockFile(int fd, int operation, const QDeadlineTimer &deadline)
{
    while (::flock(fd, operation | LOCK_NB) != 0) {
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS)
            return true;
        if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired())
            return false;
        ::usleep(10 * 1000);
    }
    return true;
}

QString tooLarge(qint64 size)
{
    return QStringLiteral("Data.ini by při ukládání měl %1 MiB, víc než %2 MiB, které program "
                          "přečte; nic nebylo zapsáno. Zmenšete soubor, například odstraněním "
                          "dlouhých komentářů.")
        .arg((size + (1 << 20) - 1) >> 20)
        .arg(ReadLimit >> 20);
}

// Brings a file that holds an interrupted save in place to its content: the copy of a whole
// line's content is finished, a part of a line is cut off. The caller holds the lock.
bool settle(int fd, const Journal &journal)
{
    if (journal.state == Journal::None)
        return true;
    if (journal.state == Journal::Whole && !(writeAll(fd, journal.content, 0) && ::fsync(fd) == 0))
        return false;
    return ::ftruncate(fd, journal.content.size()) == 0 && ::fsync(fd) == 0;
}

// A reader that may write the file settles an interrupted save, unless a save is at work, which
// settles it itself.
bool settleFile(const QByteArray &name)
{
    const int fd = ::open(name.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const auto closer = qScopeGuard([fd] { ::close(fd); });
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !sameFile(fd, name))
        return false;
    const Contents now = readOpen(fd);
    return now.kind == Contents::Regular && !now.cut && settle(fd, examine(now.bytes));
}

// The new bytes in a temporary beside the target, with the old file's owner where the saver may
// give it (root), its group where the saver may (a member of it) and its permissions. NotHere
// when the directory takes no new file or the group cannot be kept.
QByteArray writeTemporary(
    const QString &target, const QByteArray &bytes, const struct stat *old, Outcome &outcome)
{
    QByteArray name;
    int fd = -1;
    outcome = Outcome::Failed;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        name = QFile::encodeName(target + TemporaryInfix + randomSuffix());
        fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            outcome = Outcome::NotHere;
            return {};
        }
    }
    if (fd < 0)
        return {};
    if (old && ::fchown(fd, old->st_uid, old->st_gid) != 0
        && ::fchown(fd, uid_t(-1), old->st_gid) != 0)
        outcome = Outcome::NotHere;
    else if (old)
        ::fchmod(fd, old->st_mode & 07777);
    const bool written = outcome != Outcome::NotHere && writeAll(fd, bytes, 0) && ::fsync(fd) == 0;
    if (::close(fd) == 0 && written) {
        outcome = Outcome::Done;
        return name;
    }
    ::unlink(name.constData());
    return {};
}

// NotHere also where the temporary may not be renamed over the file (a sticky directory).
Outcome replace(const QString &target, const QByteArray &bytes, const struct stat &old)
{
    Outcome outcome;
    const QByteArray temporary = writeTemporary(target, bytes, &old, outcome);
    if (outcome != Outcome::Done)
        return outcome;
    if (::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return error == EPERM || error == EACCES ? Outcome::NotHere : Outcome::Failed;
    }
    syncDirectory(target);
    return Outcome::Done;
}

// No file yet: the new one appears whole, by a link that fails where another save created the
// file meanwhile. NotHere: there is a file now, to be saved as any other.
Outcome create(const QString &target, const std::function<bool(QByteArray &)> &edit)
{
    QByteArray bytes;
    if (!edit(bytes))
        return Outcome::Failed;
    Outcome outcome;
    const QByteArray temporary = writeTemporary(target, bytes, nullptr, outcome);
    if (outcome != Outcome::Done)
        return Outcome::Failed;
    const QByteArray name = QFile::encodeName(target);
    const int error = ::link(temporary.constData(), name.constData()) == 0 ? 0 : errno;
    ::unlink(temporary.constData());
    if (error == 0)
        syncDirectory(target);
    // EEXIST: another save was quicker; ENOENT: and it removed this temporary.
    if (error == 0 || error == EEXIST || error == ENOENT)
        return error == 0 ? Outcome::Done : Outcome::NotHere;
    // A file system without hard links: an empty file, to be replaced as any other.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0 || errno == EEXIST ? Outcome::NotHere : Outcome::Failed;
}

// The directory takes no new file, or a replacement would not keep the file's group: the new
// bytes go in place, by way of the appended line. The caller holds the lock.
bool rewriteInPlace(const QByteArray &name, const Journal &journal, const QByteArray &bytes)
{
    const int fd = ::open(name.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const auto closer = qScopeGuard([fd] { ::close(fd); });
    if (!sameFile(fd, name) || !settle(fd, journal))
        return false;
    const QByteArray &old = journal.content;
    if (bytes == old)
        return true;
    // The file, while it carries the line, must stay readable, or a save killed before the
    // final cut would leave it stuck: such a save is refused before anything is written.
    const QByteArray line = journalLine(old, bytes);
    if (old.size() + line.size() > ReadLimit) {
        t_failure = tooLarge(old.size() + line.size());
        return false;
    }
    if (!writeAll(fd, line, old.size()) || ::fsync(fd) != 0) {
        // Nothing of the new content counts yet: the file goes back to its old length.
        [[maybe_unused]] const int cut = ::ftruncate(fd, old.size());
        ::fsync(fd);
        return false;
    }
    // Every read takes the new content from here on; what is left undone, the next one does.
    settle(fd, Journal{Journal::Whole, bytes});
    return true;
}

#endif

} // namespace

QString lastFailure()
{
    return t_failure;
}

void setLockWait(int ms)
{
    LockWaitMs = ms;
}

#if defined(Q_OS_UNIX)

Contents read(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    for (bool settled = false;; settled = true) {
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
        const auto closer = qScopeGuard([fd] { ::close(fd); });
        bool stable = false;
        Contents c = readOpen(fd, &stable);
        // A save in place cut the file while it was read: read it again once that save is over.
        if (!stable && lockFile(fd, LOCK_SH, QDeadlineTimer(LockWaitMs))) {
            c = readOpen(fd);
            ::flock(fd, LOCK_UN);
        }
        if (c.kind != Contents::Regular || c.cut)
            return c;
        const Journal journal = examine(c.bytes);
        if (journal.state == Journal::None)
            return c;
        if (!settled && mayWrite(name, st) && settleFile(name))
            continue;
        c.bytes = journal.content;
        return c;
    }
}

bool update(const QString &path, const std::function<bool(QByteArray &bytes)> &edit)
{
    t_failure.clear();
    const QString target = located(path);
    if (target.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(target);
    const QDeadlineTimer deadline(LockWaitMs);
    for (int attempt = 0; attempt < 100; ++attempt) {
        struct stat st;
        if (::stat(name.constData(), &st) != 0) {
            if (errno != ENOENT)
                return false;
            const Outcome created = create(target, edit);
            if (created == Outcome::NotHere)
                continue;
            return created == Outcome::Done;
        }
        if (!S_ISREG(st.st_mode))
            return false;
        const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return false;
        const auto closer = qScopeGuard([fd] { ::close(fd); });
        // Another running copy is saving for longer than any save takes: its file is left alone.
        if (!lockFile(fd, LOCK_EX, deadline)) {
            t_failure = QStringLiteral("Data.ini (%1) teď používá jiný program: drží jeho zámek "
                                       "déle než %2 s. Zavřete ho, nebo to zkuste později.")
                            .arg(target)
                            .arg(LockWaitMs / 1000.0);
            return false;
        }
        // The file was replaced while this save waited: the lock that counts is the new file's.
        if (!sameFile(fd, name))
            continue;
        const Contents now = readOpen(fd);
        if (now.kind != Contents::Regular || now.cut || ::fstat(fd, &st) != 0
            || !mayWrite(name, st))
            return false;
        const Journal journal = examine(now.bytes);
        QByteArray bytes = journal.content;
        if (!edit(bytes))
            return false;
        if (bytes.size() > ReadLimit) {
            t_failure = tooLarge(bytes.size());
            return false;
        }
        removeTemporaries(target);
        if (journal.state == Journal::None && bytes == journal.content)
            return true;
        const Outcome replaced = replace(target, bytes, st);
        return replaced == Outcome::NotHere ? rewriteInPlace(name, journal, bytes)
                                            : replaced == Outcome::Done;
    }
    return false;
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

bool update(const QString &path, const std::function<bool(QByteArray &bytes)> &edit)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString target = canonical.isEmpty() ? path : canonical;
    QLockFile lock(target + QStringLiteral(".lock"));
    // A lock without its owner's name, left by a program killed while taking it, is stale
    // after a few seconds rather than Qt's 30.
    lock.setStaleLockTime(4000);
    if (!lock.tryLock(LockWaitMs))
        return false;
    const Contents now = read(target);
    if (now.kind == Contents::Other || now.kind == Contents::Unreadable || now.cut)
        return false;
    // A file made read-only is not replaced behind its owner's back.
    if (now.kind == Contents::Regular && !QFileInfo(target).isWritable())
        return false;
    QByteArray bytes = now.bytes;
    if (!edit(bytes))
        return false;
    QSaveFile out(target);
    // Unbuffered, so that a full disk shows at the write and not in a flush that commit() skips.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
        || out.write(bytes) != bytes.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

#endif

} // namespace filestore
