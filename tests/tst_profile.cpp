// The character-set file: entries read and written with the classic profile semantics, every
// other byte of the file kept, and the user's characters kept at the edges: a full disk, a save
// killed or failing at any step, two programs saving by different ways at once, a directory that
// takes no new file, shared and linked files, special and huge files; and which file is in use.
#include "characterset/datafile.h"
#include "characterset/profile.h"
#include "fakes.h"

#include <QRandomGenerator>
#include <QThread>
#include <csignal>
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

template <typename F> F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
const auto realPwrite = next<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite");
const auto realFtruncate = next<int (*)(int, off_t)>("ftruncate");

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
    if (!g_disk.on)
        return false;
    if (++g_disk.calls == 1 && g_disk.holdFd >= 0) {
        [[maybe_unused]] const ssize_t told = write(g_disk.holdFd, "h", 1);
        QThread::msleep(300);
    }
    if (g_disk.calls != g_disk.faultAt)
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

// How much of a change that grows a file by `grows` bytes the disk takes: all of it, or less
// when it fills up.
qint64 take(qint64 grows)
{
    if (!g_disk.on || g_disk.freeBytes < 0)
        return grows;
    if (g_disk.full || grows > g_disk.freeBytes) {
        const qint64 fits = g_disk.full ? -1 : g_disk.freeBytes;
        g_disk.full = true;
        g_disk.freeBytes = 0;
        return fits;
    }
    g_disk.freeBytes -= grows;
    return grows;
}

} // namespace

extern "C" ssize_t pwrite(int fd, const void *buf, size_t n, off_t offset)
{
    if (strikes(true)) {
        if (g_disk.fault == Disk::Fail)
            return -1;
        const off_t page = (offset / 4096 + 1) * 4096;
        realPwrite(fd, buf, page < offset + off_t(n) ? size_t(page - offset) : n / 2, offset);
        raise(SIGKILL);
    }
    const qint64 grows = std::max<qint64>(0, offset + qint64(n) - sizeOf(fd));
    const qint64 taken = take(grows);
    if (taken < grows)
        n = taken < 0 ? 0 : size_t(qint64(n) - grows + taken);
    if (n == 0 && taken < grows) {
        errno = ENOSPC;
        return -1;
    }
    if (!g_disk.on)
        return realPwrite(fd, buf, n, offset);
    Synced &file = synced(fd);
    const ssize_t written = realPwrite(fd, buf, n, offset);
    file.writes.append(
        {offset, QByteArray(static_cast<const char *>(buf), std::max<ssize_t>(0, written))});
    return written;
}

extern "C" int posix_fallocate(int fd, off_t offset, off_t length)
{
    static const auto real = next<int (*)(int, off_t, off_t)>("posix_fallocate");
    if (strikes())
        return EIO;
    const qint64 grows = std::max<qint64>(0, offset + length - sizeOf(fd));
    return take(grows) < grows ? ENOSPC : real(fd, offset, length);
}

extern "C" int ftruncate(int fd, off_t length) noexcept
{
    if (strikes())
        return -1;
    if (g_disk.on)
        synced(fd);
    if (g_disk.on && g_disk.freeBytes >= 0)
        g_disk.freeBytes += std::max<qint64>(0, sizeOf(fd) - length);
    return realFtruncate(fd, length);
}

// The page cache stands for the disk, so a sync costs no time here.
extern "C" int fsync(int fd)
{
    if (strikes())
        return -1;
    struct stat st;
    if (g_disk.on && fstat(fd, &st) == 0 && g_synced.count(st.st_ino))
        g_synced[st.st_ino] = Synced{g_synced[st.st_ino].fd, bytesOf(fd), {}};
    return 0;
}

extern "C" int rename(const char *from, const char *to) noexcept
{
    static const auto real = next<int (*)(const char *, const char *)>("rename");
    if (strikes())
        return -1;
    return real(from, to);
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

bool saveUser(const QString &key, const QString &value, const QString &path)
{
    return profile::write(QStringLiteral("User"), key, value, path);
}

// Another running program: body in a child process, whose result is its exit status. When the
// test runs as root, a user other than root runs as that user, with the group of the same number
// and `group` besides, so that file permissions apply to it.
pid_t spawn(const std::function<int()> &body, uid_t user = 0, gid_t group = 0)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (user != 0 && geteuid() == 0
            && (setgroups(group ? 1 : 0, &group) != 0 || setgid(user) != 0 || setuid(user) != 0))
            _exit(99);
        _exit(body());
    }
    return pid;
}

void setMode(const QString &path, mode_t mode)
{
    QVERIFY(chmod(QFile::encodeName(path).constData(), mode) == 0);
}

void own(const QString &path, uid_t user, gid_t group)
{
    if (geteuid() == 0)
        QVERIFY(chown(QFile::encodeName(path).constData(), user, group) == 0);
}

int reap(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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

    // index: a slot of the pattern table, or 46 + n - 1 for the caption of user character n.
    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        const QByteArray rules = "[znaky]\r\nZ=1111111100\r\n  a =  \"01100000\"  \r\n[USER]\r\n"
                                 "b1data=1\r\nB3Text=\r\nB10Text=ABCDEFGHIJKL\r\nB6Text='ap'\r\n"
                                 "B7Text='ap\"\r\n[User]\r\nB2Text=second section\r\n";
        const int caption = CharacterSlotCount - 1;
        QTest::newRow("cut to capacity") << rules << 35 << "11111111";
        QTest::newRow("case, blanks, quotes") << rules << 10 << "01100000";
        QTest::newRow("short value unvalidated") << rules << 36 << "1";
        QTest::newRow("empty is not the default") << rules << caption + 3 << "";
        QTest::newRow("caption cut to nine") << rules << caption + 10 << "ABCDEFGHI";
        QTest::newRow("single quotes") << rules << caption + 6 << "ap";
        QTest::newRow("quotes that do not match") << rules << caption + 7 << "'ap\"";
        QTest::newRow("first section only") << rules << caption + 2 << "[2]";
        QTest::newRow("CR line ends")
            << QByteArray("[Znaky]\r0=11111100\r1=01100000\r") << 1 << "01100000";
        QTest::newRow("mixed line ends, none at the end")
            << QByteArray("[Znaky]\r\n0=1\r1=0\n2=01011010") << 2 << "01011010";
        QTest::newRow("no file") << QByteArray() << 0 << DefaultPattern;
    }

    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, index);
        if (!file.isEmpty())
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
        QByteArray replaced = file;
        replaced.replace("B1Text = \xe8\xe1p", "b1text=\xec\x9a\xe8");
        QTest::newRow("replaced in place, Czech") << file << "user/b1text=ěšč" << replaced;
        QByteArray added = file;
        added.replace("B1Data=10010000\r\n", "B1Data=10010000\r\nB2Data=1\r\n");
        QTest::newRow("end of its section") << file << "User/B2Data=1" << added;
        QTest::newRow("last line without a line end")
            << file << "Init/Extra=y" << file + "\r\nExtra=y\r\n";
        QTest::newRow("new section") << file + "\r\n"
                                     << "New/K=" << file + "\r\n[New]\r\nK=\r\n";
        QTest::newRow("new file") << QByteArray() << "User/B1Data=1"
                                  << QByteArray("[User]\r\nB1Data=1\r\n");
        QTest::newRow("no line end yet")
            << QByteArray("[User]") << "User/B1Data=1" << QByteArray("[User]\r\nB1Data=1\r\n");
        QTest::newRow("LF kept") << QByteArray("[User]\nB1Data=0\n") << "User/B2Data=1"
                                 << QByteArray("[User]\nB1Data=0\nB2Data=1\n");
        QTest::newRow("CR kept") << QByteArray("[User]\rB1Data=0\r") << "Init/V=1"
                                 << QByteArray("[User]\rB1Data=0\r[Init]\rV=1\r");
        QTest::newRow("CR value replaced")
            << QByteArray("[User]\rB1Data=0\rB2Data=0\r") << "User/B1Data=111"
            << QByteArray("[User]\rB1Data=111\rB2Data=0\r");
        for (const char *bad : {"User/B1Text=Ж", "User/B1Text=a😀", "User/B1Text=a\nB2Text=x",
                 "User/B1Text=a\rB2Text=x", "User/[B1=a", "Us]er/B1Text=a"})
            QTest::newRow(bad) << file << QString::fromUtf8(bad) << QByteArray();
    }

    void writing()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, entry);
        QFETCH(QByteArray, after);
        if (!before.isEmpty())
            writeFile(path, before);
        const QString section = entry.section(u'/', 0, 0);
        const QString key = entry.section(u'/', 1).section(u'=', 0, 0);
        const QString value = entry.section(u'=', 1);
        QCOMPARE(profile::write(section, key, value, path), !after.isEmpty());
        QCOMPARE(readFile(path), after.isEmpty() ? before : after);
        if (!after.isEmpty())
            QCOMPARE(profile::read(section, key, QStringLiteral("?"), 100, path), value);
    }

    // A save either lands whole or leaves the file byte for byte as it was, and says which. A
    // saved file keeps its group and permissions, and a link is followed as the system does.
    void savingAtTheEdges_data()
    {
        QTest::addColumn<QString>("edges");
        QTest::addColumn<bool>("saved");
        QTest::newRow("normal") << "" << true;
        QTest::newRow("full disk") << "full" << false;
        QTest::newRow("read-only file") << "file" << false;
        QTest::newRow("read-only file, saved by root") << "file root" << false;
        QTest::newRow("read-only directory, writable file") << "directory" << true;
        QTest::newRow("read-only directory, full disk") << "directory full" << false;
        QTest::newRow("read-only directory and file") << "directory file" << false;
        QTest::newRow("read-only directory, a lock left there") << "directory lock" << true;
        QTest::newRow("group-shared, a second member saves") << "group" << true;
        QTest::newRow("link with .. behind a linked folder") << "link" << true;
    }

    void savingAtTheEdges()
    {
        QFETCH(QString, edges);
        QFETCH(bool, saved);
        const bool asRoot = edges.contains("root");
        const gid_t group = edges.contains("group") ? 100 : 0;
        if ((asRoot || group) && geteuid() != 0)
            QSKIP("Only root can play other users.");
        // Data.ini -> linkdir/../real.ini with linkdir -> far/near: the file is far/real.ini.
        const QString real = edges.contains("link") ? dir.filePath("far/real.ini") : path;
        if (edges.contains("link")) {
            QDir().mkpath(dir.filePath("far/near"));
            setMode(dir.filePath("far"), 0777);
            QVERIFY(symlink("far/near", QFile::encodeName(dir.filePath("linkdir"))) == 0);
            QVERIFY(symlink("linkdir/../real.ini", QFile::encodeName(path)) == 0);
        }
        QFile::copy(ShippedDataFile, real);
        QVERIFY(saveUser(QStringLiteral("B1Text"), QStringLiteral("a long name to shorten"), path));
        if (edges.contains("lock"))
            writeFile(path + ".lock", "");
        const QByteArray before = readFile(real);
        // The saver's own file in a folder for everyone (the saver runs as another user when the
        // test runs as root), root's file, or a group's file in the group's folder.
        setMode(real, group ? 0664 : edges.contains("file") ? 0444 : 0666);
        setMode(dir.path(), group ? 0775 : edges.contains("directory") ? 0555 : 0777);
        own(real, asRoot || group ? 0 : Nobody, group ? group : asRoot ? 0 : Nobody);
        if (group) {
            own(dir.path(), 0, group);
            // Another member has saved before.
            QCOMPARE(reap(spawn([&] { return saveUser("B11Text", "first", path) ? 0 : 1; }, Nobody,
                         group)),
                0);
        }
        // One entry shorter, one new: the file must neither keep a stale tail nor lose one.
        QByteArray expected = before;
        expected.replace("B1Text=a long name to shorten", "B1Text=ab");
        expected += "B11Text=a new entry, longer\r\n";
        // A disk with fewer free bytes than the save adds.
        const qint64 freeBytes
            = edges.contains("full") ? (expected.size() - before.size()) / 2 : -1;
        const int status = reap(spawn(
            [&] {
                g_disk.on = true;
                g_disk.freeBytes = freeBytes;
                return profile::write(QStringLiteral("User"),
                           {{"B1Text", "ab"}, {"B11Text", "a new entry, longer"}}, path)
                    ? 0
                    : 1;
            },
            asRoot      ? 0
                : group ? Nobody - 1
                        : Nobody,
            group));
        setMode(dir.path(), 0700);
        QCOMPARE(status, saved ? 0 : 1);
        QCOMPARE(readFile(real), saved ? expected : before);
        const QStringList lock
            = edges.contains("lock") ? QStringList{"Data.ini.lock"} : QStringList();
        QCOMPARE(QDir(QFileInfo(real).path()).entryList(QDir::Files),
            QStringList{QFileInfo(real).fileName()} + lock);
        if (group) {
            struct stat st;
            QVERIFY(stat(QFile::encodeName(real), &st) == 0);
            QCOMPARE(st.st_gid, group);
            QCOMPARE(st.st_mode & 07777, 0664u);
        }
    }

    // A save stopped at any step, killed or by a failing call, leaves a file that loads whole as
    // the old or the new content, also for a user who may not write it; the next load that may
    // write leaves it byte for byte one of the two; and the save tells truly whether it landed.
    // PRAVLON_KILLS=n kills saves made one after another n times at random moments instead.
    void interruptedSave_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("inPlace");
        const QByteArray shipped = readFile(ShippedDataFile);
        const auto comment
            = [](qsizetype length) { return ';' + QByteArray(length - 3, 'x') + "\r\n"; };
        QByteArray across = shipped;
        const qsizetype user = across.indexOf("B1Text");
        across.insert(user, comment(4088 - user)); // B1Text's value from byte 4095
        QTest::newRow("in place, shrinking") << shipped << "" << true;
        QTest::newRow("in place, entries across a page") << across << "Nový znak" << true;
        QTest::newRow("in place, ending just before a page")
            << comment(4090 - shipped.size()) + shipped << "Nový znak" << true;
        QTest::newRow("replaced") << shipped << "Nový znak" << false;
    }

    void interruptedSave()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(bool, inPlace);
        // Characters 1-5 all named and lit, or as reset.
        const auto save = [&](bool changed) {
            QList<std::pair<QString, QString>> entries;
            for (int n = 1; n <= 5; ++n) {
                entries.append({QStringLiteral("B%1Text").arg(n),
                    changed ? name : QStringLiteral("[%1]").arg(n)});
                entries.append(
                    {QStringLiteral("B%1Data").arg(n), changed ? "11111111" : ResetPattern});
            }
            return profile::write(QStringLiteral("User"), entries, path);
        };
        writeFile(path, file);
        const QStringList loadsOld = loaded(path);
        QVERIFY(save(true));
        const QByteArray changed = readFile(path);
        const QStringList loadsNew = loaded(path);
        QVERIFY(loadsNew != loadsOld);
        setMode(dir.path(), inPlace ? 0555 : 0777);
        // The file of another user, or the saver's own, which it may replace.
        const auto restore = [&] {
            writeFile(path, file);
            setMode(path, 0666);
            own(path, inPlace ? 0 : Nobody, inPlace ? 0 : Nobody);
        };

        // After the save in a child, whose status is 0 saved, 1 failed, else killed: the figures
        // of files not whole as left, loading as neither content, not whole after the next load.
        int figures[3] = {};
        const auto seenAs = [&] {
            const QStringList now = loaded(path);
            return now == loadsOld ? 0 : now == loadsNew ? 1 : 2;
        };
        const auto check = [&](int status) {
            const QByteArray left = readFile(path);
            // A user who may not write the file reads it as it is; a whole file, as anyone does.
            const bool whole = left == file || left == changed;
            setMode(path, 0644);
            const int seen = whole ? int(left == changed) : reap(spawn(seenAs, Nobody - 1));
            setMode(path, 0666);
            loaded(path);
            const QByteArray after = readFile(path);
            figures[0] += !whole;
            figures[1] += seen > 1;
            figures[2] += after != file && after != changed;
            return seen < 2 && after == (seen ? changed : file)
                && (status > 1 || seen == 1 - status) && (status != 1 || left == file);
        };
        QStringList wrong;
        int points = 0;
        const int kills = qEnvironmentVariableIntValue("PRAVLON_KILLS");
        for (int step = 1, done = kills > 0; !done; ++step) {
            for (const Disk::Fault fault :
                {Disk::KillBefore, Disk::KillMidway, Disk::PowerCut, Disk::Fail}) {
                restore();
                const int status = reap(spawn(
                    [&] {
                        g_disk = {true, step, fault};
                        const bool ok = save(true);
                        return g_disk.calls < step ? 2 : ok ? 0 : 1;
                    },
                    Nobody));
                done = status == 2;
                if (done)
                    break;
                ++points;
                if (!check(status))
                    wrong << QString::asprintf("step %d fault %d status %d", step, fault, status);
            }
        }
        for (int k = 0; k < kills; ++k, ++points) {
            restore();
            const pid_t saver = spawn(
                [&] {
                    for (bool changed = true;; changed = !changed)
                        save(changed);
                    return 0;
                },
                Nobody);
            QThread::msleep(10 + QRandomGenerator::global()->bounded(80));
            kill(saver, SIGKILL);
            if (!check(reap(saver)))
                wrong << QString::asprintf("kill %d", k);
        }
        if (kills || !wrong.isEmpty())
            qInfo("%d points: %d files not whole, %d loading as neither content, %d not whole "
                  "after the next load",
                points, figures[0], figures[1], figures[2]);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u", ")));
    }

    // Two programs, one that may replace the file and one that may only rewrite it, saving at
    // once wait for each other whichever comes first, also while the first waits on its disk:
    // nothing either saved is lost.
    void savingTwoWays_data()
    {
        QTest::addColumn<bool>("rewriterFirst");
        QTest::newRow("rewriting first") << true;
        QTest::newRow("replacing first") << false;
    }

    void savingTwoWays()
    {
        QFETCH(bool, rewriterFirst);
        if (geteuid() != 0)
            QSKIP("Only root can play other users.");
        QFile::copy(ShippedDataFile, path);
        setMode(path, 0666);
        setMode(dir.path(), 0755);
        int held[2];
        QVERIFY(pipe(held) == 0);
        const auto saver = [&](const QString &key, int holdFd) {
            return [=, this] {
                g_disk.on = true;
                g_disk.holdFd = holdFd;
                bool ok = true;
                for (int i = 0; i < 10; ++i)
                    ok &= saveUser(key + QString::number(i), QStringLiteral("x"), path);
                return ok ? 0 : 1;
            };
        };
        const pid_t first
            = spawn(saver(rewriterFirst ? "R" : "S", held[1]), rewriterFirst ? Nobody : 0);
        char byte;
        QCOMPARE(read(held[0], &byte, 1), 1);
        const pid_t second
            = spawn(saver(rewriterFirst ? "S" : "R", -1), rewriterFirst ? 0 : Nobody);
        QCOMPARE(reap(first), 0);
        QCOMPARE(reap(second), 0);
        close(held[0]);
        close(held[1]);
        for (const char *key : {"R", "S"}) {
            for (int i = 0; i < 10; ++i)
                QCOMPARE(profile::read("User", key + QString::number(i), "?", 9, path), "x");
        }
    }

    // Only a regular file is the character set: a FIFO reads as missing, never blocks, and is
    // never replaced by a save. Past 16 MiB a file is not read, and not saved either.
    void specialAndHugeFiles()
    {
        alarm(60); // a read that blocks fails the test instead of hanging it
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
        QCOMPARE(loaded(path)[0], DefaultPattern);
        QVERIFY(!saveUser(QStringLiteral("B1Text"), QStringLiteral("x"), path));
        QFile::remove(path);

        // A sparse file of 3 GiB: what stands in its first 16 MiB counts, the rest does not.
        const qint64 cut = 16 << 20;
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("[Znaky]\n0=11111100\n") > 0);
            QVERIFY(f.resize(cut - 12) && f.seek(cut - 12));
            f.write("\n1=01100000\n2=11011010\n");
            QVERIFY(f.resize(qint64(3) << 30));
        }
        QCOMPARE(loaded(path).mid(0, 3), QStringList({"11111100", "01100000", DefaultPattern}));
        QVERIFY(!saveUser(QStringLiteral("B1Text"), QStringLiteral("x"), path));
        QCOMPARE(QFileInfo(path).size(), qint64(3) << 30);
        alarm(0);
    }

    // A save that was killed leaves its temporary; the next save removes it at once, as no save
    // can own it while the file is locked, and nothing else: another program's lock file stays.
    void leftoversOfKilledSaves()
    {
        const QStringList kept
            = {"Data.ini", "Data.ini.backup", "Data.ini.lock", "Data.ini.saving-AbCxYz.txt"};
        for (const QString &name : kept + QStringList{"Data.ini.saving-AbCxYz"})
            writeFile(dir.filePath(name), "");
        QVERIFY(saveUser(QStringLiteral("B1Text"), QStringLiteral("x"), path));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name), kept);
    }

    // Which Data.ini is read, and where a save lands: the program's own in a portable folder,
    // else the user's copy, made from the program's at the first save.
    void whichFile_data()
    {
        QTest::addColumn<bool>("programWritable");
        QTest::addColumn<QString>("userCopy"); // "", "file", "dir"
        QTest::addColumn<bool>("xdgSet");
        QTest::addColumn<QString>("read"); // "program" or "user"
        QTest::addColumn<QString>("savedTo"); // "program", "user" or "" (the save fails)
        QTest::newRow("portable folder") << true << "file" << true << "program"
                                         << "program";
        QTest::newRow("installed, no copy yet") << false << "" << true << "program"
                                                << "user";
        QTest::newRow("installed, with a copy") << false << "file" << true << "user"
                                                << "user";
        QTest::newRow("copy not a file") << false << "dir" << true << "program"
                                         << "";
        QTest::newRow("XDG_DATA_HOME unset") << false << "" << false << "program"
                                             << "user";
    }
    void whichFile()
    {
        QFETCH(bool, programWritable);
        QFETCH(QString, userCopy);
        QFETCH(bool, xdgSet);
        const QByteArray home = qgetenv("HOME"), xdg = qgetenv("XDG_DATA_HOME");
        const auto restore = qScopeGuard([&] {
            qputenv("HOME", home);
            if (xdg.isNull())
                qunsetenv("XDG_DATA_HOME");
            else
                qputenv("XDG_DATA_HOME", xdg);
        });
        qputenv("HOME", QFile::encodeName(dir.filePath("home")));
        if (xdgSet)
            qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
        else
            qunsetenv("XDG_DATA_HOME");
        QVERIFY(QFile::copy(ShippedDataFile, path));
        const QString user = datafile::userCopy();
        QCOMPARE(user,
            dir.filePath(xdgSet ? "data/pravlon/Data.ini" : "home/.local/share/pravlon/Data.ini"));
        QVERIFY(QDir().mkpath(userCopy == "dir" ? user : QFileInfo(user).path()));
        if (userCopy == "file")
            writeFile(user, "[User]\r\nB1Text=Mine\r\n");
        QFile(path).setPermissions(programWritable
                ? QFile::ReadOwner | QFile::WriteOwner
                : QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        const QByteArray program = readFile(path), before = readFile(user);

        QFETCH(QString, read);
        QCOMPARE(datafile::inUse(path), read == "program" ? path : user);
        QFETCH(QString, savedTo);
        QCOMPARE(datafile::write("User", {{"B2Text", "Nov"}}, path), !savedTo.isEmpty());
        QCOMPARE(readFile(path) != program, savedTo == "program");
        QCOMPARE(readFile(user) != before, savedTo == "user");
        if (userCopy.isEmpty() && savedTo == "user") // the new copy holds the program's characters
            QCOMPARE(loaded(user)[0] + loaded(user)[46 + 1], loaded(path)[0] + "Nov");
    }
};

QTEST_APPLESS_MAIN(TestProfile)
#include "tst_profile.moc"
