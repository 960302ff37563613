// The character-set file: entries read and written with the classic profile semantics, every
// other byte of the file kept, and the user's characters kept at the edges: a full disk, two
// programs saving at once, a directory that takes no new file, special and huge files.
#include "sources/characterset.h"
#include "sources/profile.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray cp1250(const QString &s)
{
    QStringEncoder e("windows-1250");
    return e.encode(s);
}

struct Loaded
{
    std::array<QString, CharacterSlotCount> patterns;
    std::array<QString, UserCharacterCount> names;
    QStringList captions;
};

Loaded load(const QString &path)
{
    Loaded l;
    characterset::load(path, l.patterns, l.names, [&](int n, const QString &text) {
        QCOMPARE(l.captions.size(), n - 1);
        l.captions << text;
    });
    return l;
}

QString readUser(const QString &key, const QString &path)
{
    return profile::read(QStringLiteral("User"), key, QStringLiteral("?"), 100, path);
}

// Another running program: body in a child process, which exits 0 when it returns true. A user
// (not root) child runs as "nobody" when the test runs as root, so that file permissions apply
// to it; fileSizeLimit makes every write past that size fail as it does on a full disk.
pid_t spawn(
    const std::function<bool()> &body, bool user = false, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (user && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(body() ? 0 : 1);
    }
    return pid;
}

int reap(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool saveUser(const QString &key, const QString &value, const QString &path)
{
    return profile::write(QStringLiteral("User"), key, value, path);
}

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path;

    void writeFile(const QByteArray &bytes, const QString &to = {})
    {
        QFile f(to.isEmpty() ? path : to);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray readFile()
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

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
        const QByteArray rules = "[znaky]\r\n"
                                 "Z=1111111100\r\n"
                                 "  a =  \"01100000\"  \r\n"
                                 "[USER]\r\n"
                                 "b1data=1\r\n"
                                 "B3Text=\r\n"
                                 "B10Text=ABCDEFGHIJKL\r\n"
                                 "B6Text='ap'\r\n"
                                 "B7Text='ap\"\r\n"
                                 "[User]\r\n"
                                 "B2Text=second section of the same name\r\n";
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
        QTest::newRow("LF line ends")
            << QByteArray("[Znaky]\n0=11111100\n1=01100000") << 1 << "01100000";
        QTest::newRow("mixed line ends")
            << QByteArray("[Znaky]\r\n0=1\r1=0\n2=01011010\r\n") << 2 << "01011010";
        QTest::newRow("no file") << QByteArray() << 0 << DefaultPattern;
    }

    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, index);
        QFETCH(QString, expected);
        if (!file.isEmpty())
            writeFile(file);
        const Loaded l = load(path);
        QCOMPARE(
            index < CharacterSlotCount ? l.patterns[index] : l.captions[index - CharacterSlotCount],
            expected);
    }

    // Each row is one write: the file before, the entry written, the exact bytes after.
    void writing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("after");
        const QByteArray file = "; comment line\r\n"
                                "[Other]\r\n"
                                "x = 1 ; not ours\r\n"
                                "[User]\r\n"
                                "B1Text = "
            + cp1250(QStringLiteral("čáp"))
            + "\r\n"
              "B1Data=10010000\r\n"
              "\r\n"
              "[Init]\r\n"
              "VKTVerze=1.2";
        QByteArray replaced = file;
        replaced.replace(
            "B1Text = " + cp1250(QStringLiteral("čáp")), "b1text=" + cp1250(QStringLiteral("ěšč")));
        QTest::newRow("replaced in place") << file << "user/b1text=ěšč" << replaced;
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
    }

    void writing()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, entry);
        QFETCH(QByteArray, after);
        if (!before.isEmpty())
            writeFile(before);
        const QString section = entry.section(u'/', 0, 0);
        const QString key = entry.section(u'/', 1).section(u'=', 0, 0);
        const QString value = entry.section(u'=', 1);
        QVERIFY(profile::write(section, key, value, path));
        QCOMPARE(readFile(), after);
        QCOMPARE(profile::read(section, key, QStringLiteral("?"), 100, path), value);
    }

    void czechTextRoundTripsAndForeignTextIsRefused()
    {
        const QString czech = QStringLiteral("ěščřžýáíéůĚŠ");
        QVERIFY(profile::write(QStringLiteral("User"), QStringLiteral("B1Text"), czech, path));
        QCOMPARE(readUser(QStringLiteral("B1Text"), path), czech);
        const QByteArray before = readFile();
        for (const QString &bad : {QStringLiteral("Ж"), QStringLiteral("a😀"),
                 QStringLiteral("a\nB2Text=x"), QStringLiteral("a\rB2Text=x")})
            QVERIFY(!profile::write(QStringLiteral("User"), QStringLiteral("B1Text"), bad, path));
        QVERIFY(!profile::write(
            QStringLiteral("User"), QStringLiteral("B1=Text"), QStringLiteral("a"), path));
        QCOMPARE(readFile(), before);
    }

    // A save either lands whole or leaves the file byte for byte as it was, and says which.
    void savingAtTheEdges_data()
    {
        QTest::addColumn<bool>("directoryWritable");
        QTest::addColumn<bool>("fileWritable");
        QTest::addColumn<bool>("diskFull");
        QTest::addColumn<bool>("saved");
        QTest::newRow("normal") << true << true << false << true;
        QTest::newRow("full disk") << true << true << true << false;
        QTest::newRow("read-only file") << true << false << false << false;
        QTest::newRow("read-only directory, writable file") << false << true << false << true;
        QTest::newRow("read-only directory, full disk") << false << true << true << false;
        QTest::newRow("read-only directory and file") << false << false << false << false;
    }

    void savingAtTheEdges()
    {
        QFETCH(bool, directoryWritable);
        QFETCH(bool, fileWritable);
        QFETCH(bool, diskFull);
        QFETCH(bool, saved);
        QFile::copy(QStringLiteral(PRAVLON_SOURCE_DIR "/resources/Data.ini"), path);
        QVERIFY(profile::write(QStringLiteral("User"), QStringLiteral("B1Text"),
            QStringLiteral("a long name to shorten"), path));
        const QByteArray before = readFile();
        // Permissions for everyone: the child runs as another user when the test runs as root.
        QFile::setPermissions(path,
            fileWritable
                ? QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther
                : QFile::ReadOwner | QFile::ReadOther);
        const auto dirPermissions = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther
            | QFile::ExeOther
            | (directoryWritable ? QFile::WriteOwner | QFile::WriteOther : QFile::Permissions());
        QFile::setPermissions(dir.path(), dirPermissions);

        // One entry shorter, one new: the file must neither keep a stale tail nor lose one.
        const int status = reap(spawn(
            [&] {
                return profile::write(QStringLiteral("User"),
                    {{QStringLiteral("B1Text"), QStringLiteral("ab")},
                        {QStringLiteral("B11Text"), QStringLiteral("a new entry, longer")}},
                    path);
            },
            true, diskFull ? before.size() : RLIM_INFINITY));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(status, saved ? 0 : 1);
        if (!saved) {
            QCOMPARE(readFile(), before);
        } else {
            QByteArray expected = before;
            expected.replace("B1Text=a long name to shorten", "B1Text=ab");
            expected += "B11Text=a new entry, longer"
                + QByteArray(before.contains("\r\n") ? "\r\n" : "\n");
            QCOMPARE(readFile(), expected);
        }
        const QStringList left = QDir(dir.path()).entryList(QDir::Files);
        QCOMPARE(left, QStringList({QStringLiteral("Data.ini")}));
    }

    void twoProgramsSavingAtOnceLoseNothing()
    {
        constexpr int Count = 50;
        QFile::copy(QStringLiteral(PRAVLON_SOURCE_DIR "/resources/Data.ini"), path);
        QList<pid_t> programs;
        for (int c = 0; c < 2; ++c) {
            programs << spawn([&, c] {
                bool ok = true;
                for (int i = 0; i < Count; ++i)
                    ok &= saveUser(
                        QStringLiteral("P%1K%2").arg(c).arg(i), QString::number(i), path);
                return ok;
            });
        }
        for (pid_t program : programs)
            QCOMPARE(reap(program), 0);
        int kept = 0;
        for (int i = 0; i < 2 * Count; ++i)
            kept += readUser(QStringLiteral("P%1K%2").arg(i % 2).arg(i / 2), path)
                == QString::number(i / 2);
        QCOMPARE(kept, 2 * Count);
        QCOMPARE(load(path).patterns,
            load(QStringLiteral(PRAVLON_SOURCE_DIR "/resources/Data.ini")).patterns);
    }

    // Killed in the middle of saving, a program never costs the user the character set: the
    // file reads whole, every entry with its old or its new value.
    void killedWhileSaving()
    {
        QFile::copy(QStringLiteral(PRAVLON_SOURCE_DIR "/resources/Data.ini"), path);
        const Loaded shipped = load(path);
        for (int round = 0; round < 25; ++round) {
            const pid_t saver = spawn([&] {
                for (unsigned i = 0;; ++i) {
                    const QString n = QString::number(i % 10 + 1);
                    profile::write(QStringLiteral("User"),
                        {{"B" + n + "Text", i & 1 ? "Nový" : "[" + n + "]"},
                            {"B" + n + "Data", i & 1 ? "11111111" : ResetPattern}},
                        path);
                }
                return true;
            });
            QThread::msleep(5 + QRandomGenerator::global()->bounded(40));
            kill(saver, SIGKILL);
            reap(saver);
            const Loaded now = load(path);
            QVERIFY(std::equal(now.patterns.begin(), now.patterns.begin() + FirstUserSlot,
                shipped.patterns.begin()));
            for (int n = 1; n <= UserCharacterCount; ++n) {
                QVERIFY(now.names[n - 1] == shipped.names[n - 1] || now.names[n - 1] == "Nový");
                QVERIFY(now.patterns[FirstUserSlot + n - 1] == ResetPattern
                    || now.patterns[FirstUserSlot + n - 1] == "11111111");
            }
        }
    }

    // Only a regular file is the character set; anything else reads as missing, never blocks,
    // and is never replaced by a save. Past 16 MiB a file is not read.
    void specialAndHugeFiles()
    {
        alarm(60); // a read that blocks fails the test instead of hanging it
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
        QCOMPARE(load(path).patterns[0], DefaultPattern);
        QVERIFY(!profile::write(
            QStringLiteral("User"), QStringLiteral("B1Text"), QStringLiteral("x"), path));
        QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
        QFile::remove(path);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Data.ini")));
        QCOMPARE(load(path).captions.first(), QStringLiteral("[1]"));
        QVERIFY(!profile::write(
            QStringLiteral("User"), QStringLiteral("B1Text"), QStringLiteral("x"), path));
        QDir(dir.path()).rmdir(QStringLiteral("Data.ini"));

        // A sparse file of 3 GiB: what stands in its first 16 MiB counts, the rest does not.
        const qint64 cut = 16 << 20;
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Znaky]\n0=11111100\n");
            QVERIFY(f.resize(cut - 12));
            f.seek(cut - 12);
            f.write("\n1=01100000\n2=11011010\n");
            QVERIFY(f.resize(qint64(3) << 30));
        }
        const Loaded l = load(path);
        QCOMPARE(l.patterns[0], QStringLiteral("11111100"));
        QCOMPARE(l.patterns[1], QStringLiteral("01100000"));
        QCOMPARE(l.patterns[2], DefaultPattern);
        // A save would drop what was not read: it is refused.
        QVERIFY(!profile::write(
            QStringLiteral("User"), QStringLiteral("B1Text"), QStringLiteral("x"), path));
        QCOMPARE(QFileInfo(path).size(), qint64(3) << 30);
        alarm(0);
    }

    // A save that was killed leaves its temporary; the next save removes it once it is old
    // enough that no running save can still own it, and touches nothing else.
    void staleTemporariesAreRemoved()
    {
        const QStringList names
            = {QStringLiteral("Data.ini.saving-AbCxYz"), QStringLiteral("Data.ini.saving-Fresh1"),
                QStringLiteral("Data.ini.backup"), QStringLiteral("Data.ini.saving-AbCxYz.txt")};
        const QDateTime old = QDateTime::currentDateTime().addSecs(-3600);
        for (const QString &name : names) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (!name.contains(QLatin1String("Fresh")))
                QVERIFY(f.setFileTime(old, QFileDevice::FileModificationTime));
        }
        QVERIFY(profile::write(
            QStringLiteral("User"), QStringLiteral("B1Text"), QStringLiteral("x"), path));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
            QStringList({QStringLiteral("Data.ini"), QStringLiteral("Data.ini.backup"),
                QStringLiteral("Data.ini.saving-AbCxYz.txt"),
                QStringLiteral("Data.ini.saving-Fresh1")}));
    }

    void shippedFileHasAFullFont()
    {
        const QString shipped = QStringLiteral(PRAVLON_SOURCE_DIR "/resources/Data.ini");
        const Loaded l = load(shipped);
        QSet<QString> distinct;
        for (int slot = 0; slot < FirstUserSlot; ++slot) {
            const QString &p = l.patterns[slot];
            QVERIFY2(p.size() == 8 && p.count(u'0') + p.count(u'1') == 8 && p[7] == u'0',
                qPrintable(characterset::predefinedKey(slot)));
            QVERIFY(p != DefaultPattern);
            distinct.insert(p);
        }
        QVERIFY(distinct.size() >= 32); // S/5, Z/2 and the like may share a shape
        QVERIFY(characterset::readVersion(shipped).size() <= 9);
        QCOMPARE(l.names[9], QStringLiteral("[10]"));
    }
};

QTEST_APPLESS_MAIN(TestProfile)
#include "tst_profile.moc"
