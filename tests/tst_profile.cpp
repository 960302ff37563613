// The character-set file: entries read and written with the classic profile semantics, every
// other byte of the file kept, and the user's characters kept at the edges: a full disk, two
// programs saving at once, a kill mid-save, a directory that takes no new file, special and huge
// files.
#include "characterset/datafile.h"
#include "characterset/profile.h"
#include "fakes.h"

#include <QRandomGenerator>
#include <QThread>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

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

    // A save either lands whole or leaves the file byte for byte as it was, and says which.
    void savingAtTheEdges_data()
    {
        QTest::addColumn<QString>("edges");
        QTest::addColumn<bool>("saved");
        QTest::newRow("normal") << "" << true;
        QTest::newRow("full disk") << "full" << false;
        QTest::newRow("read-only file") << "file" << false;
        QTest::newRow("read-only directory, writable file") << "directory" << true;
        QTest::newRow("read-only directory, full disk") << "directory full" << false;
        QTest::newRow("read-only directory and file") << "directory file" << false;
    }

    void savingAtTheEdges()
    {
        QFETCH(QString, edges);
        QFETCH(bool, saved);
        QFile::copy(ShippedDataFile, path);
        QVERIFY(saveUser(QStringLiteral("B1Text"), QStringLiteral("a long name to shorten"), path));
        const QByteArray before = readFile(path);
        // Permissions for everyone: the child runs as another user when the test runs as root.
        const auto everyone = [&](const char *edge, QFile::Permissions more) {
            return QFile::ReadOwner | QFile::ReadOther
                | (edges.contains(edge) ? QFile::Permissions() : more);
        };
        QFile::setPermissions(path, everyone("file", QFile::WriteOwner | QFile::WriteOther));
        QFile::setPermissions(dir.path(),
            everyone("directory", QFile::WriteOwner | QFile::WriteOther) | QFile::ExeOwner
                | QFile::ExeOther);
        // One entry shorter, one new: the file must neither keep a stale tail nor lose one.
        const int status = reap(spawn(
            [&] {
                return profile::write(QStringLiteral("User"),
                    {{"B1Text", "ab"}, {"B11Text", "a new entry, longer"}}, path);
            },
            true, edges.contains("full") ? before.size() : RLIM_INFINITY));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(status, saved ? 0 : 1);
        QByteArray expected = before;
        if (saved) {
            expected.replace("B1Text=a long name to shorten", "B1Text=ab");
            expected += "B11Text=a new entry, longer\r\n";
        }
        QCOMPARE(readFile(path), expected);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Data.ini"});
    }

    // Two programs saving at once lose nothing of each other's, and one killed in the middle of
    // its saves, again and again, costs nothing: its lock is recovered, and the file reads
    // whole, every entry with its old or its new value.
    void otherProgramsSaving()
    {
        QFile::copy(ShippedDataFile, path);
        const QStringList shipped = loaded(path);
        const pid_t steady = spawn([&] {
            bool ok = true;
            for (int i = 0; i < 50; ++i)
                ok &= saveUser(QStringLiteral("P%1").arg(i), QString::number(i), path);
            return ok;
        });
        for (int round = 0; round < 10; ++round) {
            const pid_t killed = spawn([&] {
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
            kill(killed, SIGKILL);
            reap(killed);
            const QStringList now = loaded(path);
            for (int i = 0; i < now.size(); ++i) {
                const QString changed = i < FirstUserSlot ? QString()
                    : i < CharacterSlotCount              ? "11111111"
                                                          : "Nový";
                QVERIFY(now[i] == shipped[i] || now[i] == changed);
            }
        }
        QCOMPARE(reap(steady), 0);
        for (int i = 0; i < 50; ++i)
            QCOMPARE(profile::read("User", QStringLiteral("P%1").arg(i), "?", 9, path),
                QString::number(i));
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

    // A save that was killed leaves its temporary, and perhaps its lock without its owner's
    // name; the next save takes over such a lock once it is a few seconds old, and removes the
    // temporaries old enough that no running save can still own them, and nothing else.
    void staleTemporariesAndLocks()
    {
        const QStringList kept = {
            "Data.ini", "Data.ini.backup", "Data.ini.saving-AbCxYz.txt", "Data.ini.saving-Fresh1"};
        for (const QString &name : kept + QStringList{"Data.ini.saving-AbCxYz", "Data.ini.lock"}) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            const int age = name.contains(QLatin1String("Fresh")) ? 0
                : name.endsWith("lock")                           ? 10
                                                                  : 3600;
            f.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFile::FileModificationTime);
        }
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
