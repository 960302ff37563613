// The character-set file: entries read and written as the classic profile functions do, every
// other byte kept; saves on a full disk, killed or failing at any step, two at once, in folders
// that take no new file, through links; a FIFO in its place; and which file is in use.
#include "characterset/datafile.h"
#include "characterset/filestore.h"
#include "characterset/profile.h"
#include "fakes.h"

#include <QCryptographicHash>
#include <QScopeGuard>
#include <csignal>
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The disk below the file, as a save in a child process sees it. With `on`, the calls that change
// a file are counted, and the fault strikes the faultAt-th: it fails; or the program is killed
// before it or in the middle of it (a killed write stops at a page boundary); or the power fails
// before it. A disk with freeBytes (when not negative) takes that much more data: a write that
// does not fit writes what fits, and from then on every write and allocation fails; a cut frees
// space. With holdFd, the first counted call writes a byte there and waits, as a slow disk would.
struct Disk
{
    enum Fault { Fail, KillBefore, KillMidway, PowerCut };
    bool on = false;
    int faultAt = 0;
    Fault fault = Fail;
    qint64 freeBytes = -1;
    int holdFd = -1;
    bool full = false;
    int calls = 0;
};
Disk g_disk;

// What a power failure leaves of a file the save changed: its bytes at its last sync (or when the
// save first touched it) and the writes since, all but the first, as a disk that writes back out
// of order may.
struct Synced
{
    int fd; // a duplicate, open until the process ends
    QByteArray bytes;
    QList<std::pair<off_t, QByteArray>> writes;
};
std::map<ino_t, Synced> g_synced;

// The C library's own function of that name, below the ones defined here.
#define REAL(name) reinterpret_cast<decltype(&::name)>(dlsym(RTLD_NEXT, #name))
const auto realPwrite = REAL(pwrite);
const auto realFtruncate = REAL(ftruncate);

qint64 sizeOf(int fd)
{
    struct stat st;
    return fstat(fd, &st) == 0 ? st.st_size : 0;
}

// Read through a descriptor of its own: the save may have opened the file for writing only.
QByteArray bytesOf(int fd)
{
    QFile file(QStringLiteral("/proc/self/fd/%1").arg(fd));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Synced &synced(int fd)
{
    struct stat st;
    fstat(fd, &st);
    auto it = g_synced.find(st.st_ino);
    if (it == g_synced.end())
        it = g_synced.emplace(st.st_ino, Synced{dup(fd), bytesOf(fd), {}}).first;
    return it->second;
}

// Whether the fault strikes this call, which then fails with EIO; a kill before it does not return.
bool strikes(bool isWrite = false)
{
    if (g_disk.on && g_disk.calls == 0 && g_disk.holdFd >= 0 && write(g_disk.holdFd, "h", 1) == 1)
        usleep(300 * 1000);
    if (!g_disk.on || ++g_disk.calls != g_disk.faultAt)
        return false;
    for (auto &[inode, file] : g_synced) {
        if (g_disk.fault != Disk::PowerCut)
            break;
        realFtruncate(file.fd, 0);
        realPwrite(file.fd, file.bytes.data(), file.bytes.size(), 0);
        for (const auto &[at, bytes] : file.writes.mid(1))
            realPwrite(file.fd, bytes.data(), bytes.size(), at);
    }
    if (g_disk.fault != Disk::Fail && (g_disk.fault != Disk::KillMidway || !isWrite))
        raise(SIGKILL);
    errno = EIO;
    return true;
}

// How much of a change that grows a file by `grows` bytes the disk takes: all of it, or what
// fits when it fills up (-1 once it is full).
qint64 take(qint64 grows)
{
    if (!g_disk.on || g_disk.freeBytes < 0)
        return grows;
    const qint64 fits = g_disk.full ? -1 : std::min(grows, g_disk.freeBytes);
    g_disk.full = fits < grows;
    g_disk.freeBytes -= std::max<qint64>(0, fits);
    return fits;
}

} // namespace

extern "C" ssize_t pwrite(int fd, const void *buf, size_t n, off_t offset)
{
    if (strikes(true)) {
        if (g_disk.fault == Disk::Fail)
            return -1;
        const size_t toPage = 4096 - offset % 4096;
        realPwrite(fd, buf, toPage < n ? toPage : n / 2, offset);
        raise(SIGKILL);
    }
    const qint64 grows = std::max<qint64>(0, offset + qint64(n) - sizeOf(fd));
    const qint64 taken = take(grows);
    if (taken < grows && (taken < 0 || qint64(n) + taken <= grows)) {
        errno = ENOSPC;
        return -1;
    }
    n -= size_t(grows - taken);
    Synced *file = g_disk.on ? &synced(fd) : nullptr;
    const ssize_t written = realPwrite(fd, buf, n, offset);
    if (file && written > 0)
        file->writes.append({offset, QByteArray(static_cast<const char *>(buf), written)});
    return written;
}

extern "C" int posix_fallocate(int fd, off_t offset, off_t length)
{
    static const auto real = REAL(posix_fallocate);
    if (strikes())
        return EIO;
    const qint64 grows = std::max<qint64>(0, offset + length - sizeOf(fd));
    return take(grows) < grows ? ENOSPC : real(fd, offset, length);
}

extern "C" int ftruncate(int fd, off_t length) noexcept
{
    if (strikes())
        return -1;
    if (g_disk.on && (synced(fd), g_disk.freeBytes >= 0))
        g_disk.freeBytes += std::max<qint64>(0, sizeOf(fd) - length);
    return realFtruncate(fd, length);
}

// The page cache stands for the disk, so a sync costs no time here.
extern "C" int fsync(int fd)
{
    if (strikes())
        return -1;
    if (g_disk.on)
        synced(fd) = Synced{synced(fd).fd, bytesOf(fd), {}};
    return 0;
}

extern "C" int rename(const char *from, const char *to) noexcept
{
    static const auto real = REAL(rename);
    return strikes() ? -1 : real(from, to);
}

// Links are the kernel's to follow, under its rules for them: one read by name would get around
// those rules. A descriptor's own name is no link.
int g_linksReadByName = 0;

extern "C" ssize_t readlink(const char *path, char *buf, size_t size) noexcept
{
    static const auto real = REAL(readlink);
    g_linksReadByName += strncmp(path, "/proc/self/fd/", 14) != 0;
    return real(path, buf, size);
}

// The kernel's rule for links in shared sticky folders (fs.protected_symlinks), where the
// machine leaves it off: a link there that belongs neither to the follower nor to the folder's
// owner is not followed.
bool refusedLink(const char *path, int flags)
{
    struct stat link, folder;
    const QByteArray name(path);
    const QByteArray parent = name.contains('/') ? name.first(name.lastIndexOf('/') + 1) : "./";
    return !(flags & O_NOFOLLOW) && lstat(path, &link) == 0 && S_ISLNK(link.st_mode)
        && stat(parent.constData(), &folder) == 0
        && (folder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH) && link.st_uid != geteuid()
        && link.st_uid != folder.st_uid;
}

extern "C" int open(const char *path, int flags, ...)
{
    static const auto real
        = reinterpret_cast<int (*)(const char *, int, ...)>(dlsym(RTLD_NEXT, "open"));
    va_list ap;
    va_start(ap, flags);
    const mode_t mode = (flags & O_CREAT) ? va_arg(ap, mode_t) : 0;
    va_end(ap);
    if (refusedLink(path, flags)) {
        errno = EACCES;
        return -1;
    }
    return real(path, flags, mode);
}

namespace {

constexpr uid_t Nobody = 65534;

// What a load of the character set gives: the 46 patterns, then the 10 names.
QStringList loaded(const QString &path)
{
    std::array<QString, CharacterSlotCount> patterns;
    std::array<QString, UserCharacterCount> names;
    characterset::load(path, patterns, names, nullptr);
    return QStringList(patterns.begin(), patterns.end()) + QStringList(names.begin(), names.end());
}

// Another running program: body in a child process, whose result is its exit status. As root, a
// user other than root runs as that user, with the group of the same number and `group` besides.
pid_t spawn(const std::function<int()> &body, uid_t user = 0, gid_t group = 0)
{
    const pid_t pid = fork();
    if (pid == 0 && user != 0 && geteuid() == 0
        && (setgroups(group ? 1 : 0, &group) != 0 || setgid(user) != 0 || setuid(user) != 0))
        _exit(99);
    if (pid == 0)
        _exit(body());
    return pid;
}

// The exit status, or 128 + the signal that ended it.
int reap(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Its permissions, and as root its owner and group when they are given.
void setMode(const QString &path, mode_t mode, uid_t user = -1, gid_t group = -1)
{
    QVERIFY(chmod(QFile::encodeName(path).constData(), mode) == 0);
    QVERIFY(geteuid() != 0 || chown(QFile::encodeName(path).constData(), user, group) == 0);
}

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path;

private slots:
    void init()
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        path = dir.filePath(QStringLiteral("Data.ini"));
    }

    // index: a slot of the pattern table, or 46 + n - 1 for the name of user character n.
    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        const QByteArray rules
            = "[znaky]\r\nZ=1111111100\r\n  a =  \"01100000\"  \r\n[USER]\r\n"
              "b1data=1\r\nB3Text=\r\nB6Text='ap'\r\nB10Text=abcdefghijkl\r\n"
              "B7Text='ap\"\r\nB5Text=\"\"\r\n[User]\r\nB2Text=second section\r\n";
        const int name = CharacterSlotCount - 1;
        QTest::newRow("cut to capacity") << rules << 35 << "11111111";
        QTest::newRow("case, blanks, quotes") << rules << 10 << "01100000";
        QTest::newRow("short value unvalidated") << rules << 36 << "1";
        QTest::newRow("empty is not the default") << rules << name + 3 << "";
        QTest::newRow("single quotes") << rules << name + 6 << "ap";
        QTest::newRow("empty in quotes") << rules << name + 5 << "";
        QTest::newRow("name cut to nine") << rules << name + 10 << "abcdefghi";
        QTest::newRow("quotes that do not match") << rules << name + 7 << "'ap\"";
        QTest::newRow("first section only") << rules << name + 2 << "[2]";
        QTest::newRow("a lone CR ends a line, none at the end")
            << QByteArray("[Znaky]\r\n0=1\r1=01011010") << 1 << "01011010";
        QTest::newRow("Windows-1250") << QByteArray("[User]\r\nB1Text=\x80") << name + 1 << "€";
        QTest::newRow("nothing past 16 MiB")
            << QByteArray(16 << 20, ';') + "\r\n[Znaky]\r\n0=11111111" << 0 << DefaultPattern;
        QTest::newRow("tabs, blanks around a header, = in a value")
            << QByteArray("  [User]\t\r\n\tB4Text\t=\ta=b\t\r\n") << name + 4 << "a=b";
        // Left by a save in place cut short, by this version or an earlier one: the new content.
        QTest::newRow("a whole unfinished-save line")
            << QByteArray("[User]\r\nB8Text=old\r\n;pravlon-unfinished-save "
                          "W1VzZXJdDQpCOFRleHQ9bmV3IG9uZQ0K 24 6c8f467720a4f690f2c6eb1060a63596"
                          "8532efb6c19f118f4a52cfd6cc329928 pravlon-unfinished-save\n")
            << name + 8 << "new one";
    }

    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, index);
        writeFile(path, file);
        QTEST(loaded(path)[index], "expected");
    }

    // Each row is one write: the file before, the entry written, the exact bytes after; no bytes
    // after for a text the file cannot hold, which leaves the file as it was.
    void writing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("after");
        const QByteArray file = "; comment\r\n[Other]\r\nx = 1 ; not ours\r\n[User]\r\nB1Text = "
                                "\xe8\xe1p\r\nB1Data=10010000\r\n\r\n[Init]\r\nVKTVerze=1.2";
        QTest::newRow("replaced in place, Czech")
            << file << "user/b1text=ěšč"
            << QByteArray(file).replace("B1Text = \xe8\xe1p", "b1text=\xec\x9a\xe8");
        QTest::newRow("end of its section")
            << file << "User/B2Data=1"
            << QByteArray(file).replace("=10010000\r\n", "=10010000\r\nB2Data=1\r\n");
        QTest::newRow("last line without a line end")
            << file << "Init/Extra=y" << file + "\r\nExtra=y\r\n";
        QTest::newRow("new section") << file << "New/K=" << file + "\r\n[New]\r\nK=\r\n";
        QTest::newRow("new file") << QByteArray() << "User/B1Data=1"
                                  << QByteArray("[User]\r\nB1Data=1\r\n");
        QTest::newRow("LF kept") << QByteArray("[User]\nB1Data=0\n") << "User/B2Data=1"
                                 << QByteArray("[User]\nB1Data=0\nB2Data=1\n");
        const QByteArray full = QByteArray("[Znaky]\r\n0=1\r\n").leftJustified(16 << 20, ';');
        QTest::newRow("16 MiB whole")
            << full << "Znaky/0=0" << QByteArray(full).replace("0=1", "0=0");
        QTest::newRow("CR kept") << QByteArray("[User]\rB1Data=0\r") << "Init/V=1"
                                 << QByteArray("[User]\rB1Data=0\r[Init]\rV=1\r");
        for (const char *bad : {"User/B1Text=Ж", "User/B1Text=a😀", "User/B1Text=a\nB2Text=x",
                 "User/B1Text=a\rB2Text=x", "User/[B1=a", "Us]er/B1Text=a"})
            QTest::newRow(QByteArray(bad).replace('\n', "\\n").replace('\r', "\\r"))
                << file << QString::fromUtf8(bad) << QByteArray();
    }

    void writing()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, entry);
        QFETCH(QByteArray, after);
        if (!before.isEmpty())
            writeFile(path, before);
        const QString key = entry.section(u'/', 1).section(u'=', 0, 0);
        QCOMPARE(profile::write(entry.section(u'/', 0, 0), key, entry.section(u'=', 1), path),
            !after.isEmpty());
        QCOMPARE(readFile(path), after.isEmpty() ? before : after);
    }

    // A save either lands whole or leaves the file byte for byte as it was, and says which; a
    // saved file keeps its group and permissions, a link is followed as the system does, and a
    // save waits for another program's, also one that replaces the file it rewrites.
    void savingAtTheEdges_data()
    {
        QTest::addColumn<QString>("edges");
        QTest::addColumn<bool>("saved");
        QTest::newRow("full disk") << "full" << false;
        QTest::newRow("read-only file") << "file" << false;
        QTest::newRow("read-only file, saved by root") << "file root" << false;
        QTest::newRow("read-only directory, full disk") << "directory full" << false;
        QTest::newRow("read-only directory, root saving meanwhile")
            << "directory meanwhile" << true;
        QTest::newRow("group-shared, another member saves") << "group" << true;
        // Replacing it would give it the saver's group: saved in place, the group kept.
        QTest::newRow("own file, a group the saver is not in") << "foreign group" << true;
        QTest::newRow("link with .. behind a linked folder, saved by root") << "link root" << true;
        QTest::newRow("another user's link in a sticky folder") << "sticky link" << false;
    }

    void savingAtTheEdges()
    {
        QFETCH(QString, edges);
        QFETCH(bool, saved);
        if (geteuid() != 0)
            QSKIP("Only root can play other users.");
        const bool sticky = edges.startsWith("sticky");
        // Data.ini -> linkdir/../real.ini with linkdir -> far/near: the file is far/real.ini.
        // Sticky: the saver's own file, behind another user's link in a folder for everyone.
        const QString real = edges.startsWith("link") ? dir.filePath("far/real.ini")
            : sticky                                  ? dir.filePath("mine/real.ini")
                                                      : path;
        QVERIFY(!edges.startsWith("link")
            || (QDir().mkpath(dir.filePath("far/near"))
                && symlink("far/near", QFile::encodeName(dir.filePath("linkdir"))) == 0
                && symlink("linkdir/../real.ini", QFile::encodeName(path)) == 0));
        QVERIFY(!sticky
            || (QDir().mkpath(dir.filePath("mine"))
                && symlink("mine/real.ini", QFile::encodeName(path)) == 0
                && lchown(QFile::encodeName(path), Nobody - 1, Nobody - 1) == 0));
        QByteArray before = readFile(ShippedDataFile).replace("B1Text=[1]", "B1Text=a long name");
        writeFile(real, before);
        // Nobody's file in folders for everyone, root's file, or a group's file in its folder,
        // saved by nobody, root, or another member of the group.
        const bool shared = edges == "group", foreign = edges == "foreign group";
        const gid_t group = shared || foreign ? 100 : 0;
        const uid_t owner = edges.contains("root") || shared ? 0 : Nobody;
        setMode(real, group ? 0664 : edges.contains("file") ? 0444 : 0666, owner, group ?: owner);
        setMode(dir.path(),
            shared                            ? 0775
                : edges.contains("directory") ? 0555
                : sticky                      ? 01777
                                              : 0777,
            0, group);
        // Root, who may replace the file, saves first, and is slow at it.
        int held[2] = {-1, -1};
        const pid_t other = !edges.contains("meanwhile") || pipe(held) != 0 ? 0 : spawn([&] {
            g_disk = {.on = true, .holdFd = held[1]};
            return int(!profile::write("User", "B12Text", "x", path));
        });
        char byte;
        QVERIFY(
            !other || (close(held[1]) == 0 && read(held[0], &byte, 1) == 1 && close(held[0]) == 0));
        // One entry shorter, one new: the file must neither keep a stale tail nor lose one.
        const QByteArray expected = QByteArray(before).replace("a long name", "ab")
            + (other ? "B12Text=x\r\n" : "") + "B11Text=a new entry, longer\r\n";
        const int status = reap(spawn(
            [&] {
                // A full disk has less room than any save needs.
                g_disk = {.on = true, .freeBytes = edges.contains("full") ? 100 : -1};
                const bool written = profile::write(
                    "User", {{"B1Text", "ab"}, {"B11Text", "a new entry, longer"}}, path);
                // A refused link is named to the user.
                if (g_linksReadByName || (sticky && !filestore::lastFailure().contains(path)))
                    return 3;
                return int(!written);
            },
            shared ? Nobody - 1 : owner, shared ? group : 0));
        QVERIFY(!other || reap(other) == 0);
        setMode(dir.path(), 0700);
        QCOMPARE(status, saved ? 0 : 1);
        QCOMPARE(readFile(real), saved ? expected : before);
        QCOMPARE(QDir(QFileInfo(real).path()).entryList(QDir::Files), {QFileInfo(real).fileName()});
        struct stat st;
        QVERIFY(stat(QFile::encodeName(real), &st) == 0
            && (!group || (st.st_gid == group && (st.st_mode & 07777) == 0664)));
    }

    // A save stopped at any step, killed or by a failing call, leaves a file that loads whole as
    // the old or the new content, also for a user who may not write it; the next load that may
    // write leaves it byte for byte one of the two; and the save tells truly whether it landed.
    void interruptedSave_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("inPlace");
        const QByteArray shipped = readFile(ShippedDataFile);
        // B1Text's value from byte 4095; names that make the content grow by more than the head
        // of the line a save in place appends, so that the copy over the head reaches into it.
        QByteArray across = shipped;
        const qsizetype user = across.indexOf("B1Text");
        across.insert(user, ';' + QByteArray(4085 - user, 'x') + "\r\n");
        QTest::newRow("in place, shrinking") << shipped << "" << true;
        QTest::newRow("in place, growing across a page")
            << across << "Nový znak, dlouhý název" << true;
        QTest::newRow("replaced") << shipped << "Nový znak" << false;
    }

    void interruptedSave()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(bool, inPlace);
        const QList<std::pair<QString, QString>> entries
            = {{"B1Text", name}, {"B1Data", "11111111"}, {"B5Text", name}, {"B5Data", "11111111"}};
        writeFile(path, file);
        const QStringList loadsOld = loaded(path);
        QVERIFY(profile::write("User", entries, path));
        const QByteArray changed = readFile(path);
        const QStringList loadsNew = loaded(path);
        setMode(dir.path(), inPlace ? 0555 : 0777);
        // 0: loads as the old content, 1: as the new, 2: as neither.
        const auto seenAs
            = [&] { return loaded(path) == loadsOld ? 0 : 2 - int(loaded(path) == loadsNew); };
        for (int step = 1, done = false; !done; ++step) {
            for (const Disk::Fault fault :
                {Disk::KillBefore, Disk::KillMidway, Disk::PowerCut, Disk::Fail}) {
                // Another user's file, or the saver's own, which it may replace.
                writeFile(path, file);
                setMode(path, 0666, inPlace ? 0 : Nobody, inPlace ? 0 : Nobody);
                // 0 saved, 1 failed, 2 the save ended before this step, else killed.
                const int status = reap(spawn(
                    [&] {
                        g_disk = {true, step, fault};
                        const bool ok = profile::write("User", entries, path);
                        return g_disk.calls < step ? 2 : ok ? 0 : 1;
                    },
                    Nobody));
                if ((done = status == 2))
                    break;
                const QByteArray left = readFile(path);
                // Loaded by a user who may not write the file, then by one who may, which settles
                // it.
                setMode(path, 0644);
                const int seen = reap(spawn(seenAs, Nobody - 1));
                setMode(path, 0666);
                loaded(path);
                QVERIFY2(seen < 2 && readFile(path) == (seen ? changed : file)
                        && (status > 1 || seen == 1 - status) && (status != 1 || left == file),
                    qPrintable(
                        QString::asprintf("step %d fault %d status %d", step, fault, status)));
            }
        }
    }

    // A save in place carries the new content in a line at the end of the file: one that would
    // carry the file past the read limit is refused before anything is written, and a file that
    // an earlier version left stuck there loads as the new content and heals.
    void largeFileInPlace()
    {
        if (geteuid() != 0)
            QSKIP("Only root can play other users.");
        const QByteArray big = ';' + QByteArray(7 << 20, 'x') + "\r\n" + readFile(ShippedDataFile);
        writeFile(path, big);
        setMode(path, 0666, Nobody, Nobody);
        setMode(dir.path(), 0555);
        const int status = reap(spawn(
            [&] {
                return int(profile::write("User", "B1Text", "x", path))
                    + 2 * int(!filestore::lastFailure().contains("měl 17 MiB")); // rounded up
            },
            Nobody));
        QCOMPARE(status, 0);
        QCOMPARE(readFile(path), big);
        const QByteArray now = QByteArray(big).replace("B1Text=[1]", "B1Text=x");
        const QByteArray mark = "pravlon-unfinished-save";
        writeFile(path,
            big + ';' + mark + ' ' + now.toBase64(QByteArray::OmitTrailingEquals) + ' '
                + QByteArray::number(now.size()) + ' '
                + QCryptographicHash::hash(now, QCryptographicHash::Sha256).toHex() + ' ' + mark
                + '\n');
        QCOMPARE(loaded(path)[CharacterSlotCount], "x");
        QCOMPARE(readFile(path), now);
    }

    // Only a regular file is the character set: a FIFO reads as missing, never blocks, and is
    // never replaced by a save.
    void fifo()
    {
        alarm(10); // a read that blocks fails the test instead of hanging it
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
        QCOMPARE(loaded(path)[0], DefaultPattern);
        QVERIFY(!profile::write("User", "B1Text", "x", path));
        alarm(0);
    }

    // A save that was killed leaves its temporary; the next save removes it at once, as no save
    // can own it while the file is locked, and nothing else: another program's lock file stays.
    void leftoversOfKilledSaves()
    {
        const QStringList kept
            = {"Data.ini", "Data.ini.lock", "Data.ini.saving-Ab.txt", "Data.ini.saving-backup1"};
        for (const QString &name : kept + QStringList{"Data.ini.saving-AbCxYz"})
            writeFile(dir.filePath(name), "");
        QVERIFY(profile::write("User", "B1Text", "x", path));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), kept);
    }

    // No copy of the user's where the running user owns no home: with HOME unset or /, or with
    // another user's HOME kept by sudo -E. The save fails, says why, and makes nothing.
    void noCopyInAHomeNotOurs_data()
    {
        QTest::addColumn<QString>("homeSet");
        QTest::newRow("HOME unset") << QString();
        QTest::newRow("another user's home") << "home";
        QTest::newRow("HOME at the root") << "/";
    }

    void noCopyInAHomeNotOurs()
    {
        QFETCH(QString, homeSet);
        if (geteuid() != 0)
            QSKIP("Only root can play other users.");
        const QByteArray home = qgetenv("HOME");
        const auto back = qScopeGuard([&] { qputenv("HOME", home); });
        const QString theirs = dir.filePath("home");
        QVERIFY(QFile::copy(ShippedDataFile, path) && QDir().mkpath(theirs));
        setMode(path, 0444);
        setMode(theirs, 0755, Nobody, Nobody);
        qunsetenv("XDG_DATA_HOME");
        homeSet.isEmpty() ? qunsetenv("HOME")
                          : qputenv("HOME", QFile::encodeName(QDir(dir.path()).filePath(homeSet)));
        QVERIFY(!datafile::write("User", {{"B2Text", "Nov"}}, path));
        QVERIFY(datafile::lastFailure().contains("sudo -E"));
        QCOMPARE(
            QDir(theirs).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), {});
        QVERIFY(!QFileInfo::exists("/.local/share/pravlon"));
    }

    // Which Data.ini is read, and where a save lands: the program's own in a portable folder,
    // else the user's copy, made from the program's at the first save. The paths are relative
    // to the folder of the program's Data.ini, with XDG_DATA_HOME=data.
    void whichFile_data()
    {
        QTest::addColumn<bool>("programWritable");
        QTest::addColumn<bool>("userCopy");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("savedTo");
        const QString program = "Data.ini", copy = "data/pravlon/Data.ini";
        QTest::newRow("portable folder") << true << true << program << program;
        QTest::newRow("installed, no copy yet") << false << false << program << copy;
        QTest::newRow("installed, with a copy") << false << true << copy << copy;
    }

    void whichFile()
    {
        QFETCH(bool, programWritable);
        QFETCH(bool, userCopy);
        QFETCH(QString, savedTo);
        qputenv("HOME", QFile::encodeName(dir.filePath("home")));
        qputenv("XDG_DATA_HOME", "data"); // not absolute: not used
        QCOMPARE(datafile::userCopy(), dir.filePath("home/.local/share/pravlon/Data.ini"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
        const QString user = datafile::userCopy();
        QVERIFY(QFile::copy(ShippedDataFile, path));
        if (userCopy) // else a new user's: not even the data folder is there yet
            QVERIFY(QDir().mkpath(QFileInfo(user).path())
                && (writeFile(user, "[User]\r\nB1Text=Mine\r\n"), true));
        setMode(path, programWritable ? 0600 : 0444); // read-only, to root too, as installed
        QTEST(QDir(dir.path()).relativeFilePath(datafile::inUse(path)), "read");
        QVERIFY(datafile::write("User", {{"B2Text", "Nov"}}, path));
        QCOMPARE(loaded(path)[46 + 1] == "Nov", savedTo == "Data.ini");
        QCOMPARE(loaded(dir.filePath(savedTo))[46 + 1], "Nov");
        if (!userCopy) // the new copy holds the program's characters
            QCOMPARE(loaded(user)[0], loaded(path)[0]);
    }
};

QTEST_APPLESS_MAIN(TestProfile)
#include "tst_profile.moc"
