// The character-set file: entries read and written with the classic profile semantics, every
// other byte of the file kept, and the table and names loaded from it.
#include "sources/characterset.h"
#include "sources/profile.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
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

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path;

    void writeFile(const QByteArray &bytes)
    {
        QFile f(path);
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
        path = dir.filePath(QStringLiteral("Data.ini"));
        QFile::remove(path);
    }

    void noFileGivesTheDefaults()
    {
        const Loaded l = load(path);
        for (const QString &p : l.patterns)
            QCOMPARE(p, QStringLiteral("10010010"));
        QCOMPARE(l.captions.first(), QStringLiteral("[1]"));
        QCOMPARE(l.captions.last(), QStringLiteral("[10]"));
        QCOMPARE(characterset::readVersion(path), QStringLiteral("CHYBA"));
    }

    void readingRules()
    {
        writeFile("[znaky]\r\n"
                  "Z=1111111100\r\n"
                  "  a =  \"01100000\"  \r\n"
                  "\r\n"
                  "[USER]\r\n"
                  "b1data=1\r\n"
                  "B3Text=\r\n"
                  "B10Text=ABCDEFGHIJKL\r\n"
                  "[Init]\r\n"
                  "VKTVerze=\r\n");
        const Loaded l = load(path);
        QCOMPARE(l.patterns[35], QStringLiteral("11111111"));
        QCOMPARE(l.patterns[10], QStringLiteral("01100000"));
        QCOMPARE(l.patterns[0], QStringLiteral("10010010"));
        QCOMPARE(l.patterns[36], QStringLiteral("1")); // kept short, unvalidated
        QCOMPARE(l.names[2], QString()); // empty, not the default
        QCOMPARE(l.names[1], QStringLiteral("[2]"));
        QCOMPARE(l.names[9], QStringLiteral("ABCDEFGHI"));
        QCOMPARE(characterset::readVersion(path), QString());
    }

    void onlyAUserSection()
    {
        QVERIFY(profile::write(
            QStringLiteral("User"), QStringLiteral("B1Data"), QStringLiteral("11000000"), path));
        QCOMPARE(readFile(), QByteArray("[User]\nB1Data=11000000\n"));
        const Loaded l = load(path);
        QCOMPARE(l.patterns[36], QStringLiteral("11000000"));
        QCOMPARE(l.patterns[5], QStringLiteral("10010010"));
    }

    void writesKeepEveryOtherByte()
    {
        const QByteArray original = "; comment line\r\n"
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
        writeFile(original);
        QVERIFY(profile::write(
            QStringLiteral("user"), QStringLiteral("b1text"), QStringLiteral("ěšč"), path));
        QByteArray expected = original;
        expected.replace(
            "B1Text = " + cp1250(QStringLiteral("čáp")), "b1text=" + cp1250(QStringLiteral("ěšč")));
        QCOMPARE(readFile(), expected);

        // A missing key goes to the end of its section, before the blank line.
        QVERIFY(profile::write(
            QStringLiteral("User"), QStringLiteral("B2Data"), QStringLiteral("1"), path));
        expected.replace("B1Data=10010000\r\n", "B1Data=10010000\r\nB2Data=1\r\n");
        QCOMPARE(readFile(), expected);

        // The last section without a final line end, and a new section at the end.
        QVERIFY(profile::write(
            QStringLiteral("Init"), QStringLiteral("Extra"), QStringLiteral("y"), path));
        expected += "\r\nExtra=y\r\n";
        QCOMPARE(readFile(), expected);
        QVERIFY(profile::write(QStringLiteral("New"), QStringLiteral("K"), QString(), path));
        expected += "[New]\r\nK=\r\n";
        QCOMPARE(readFile(), expected);
        QCOMPARE(profile::read(
                     QStringLiteral("New"), QStringLiteral("K"), QStringLiteral("d"), 10, path),
            QString());
    }

    void czechTextRoundTripsAndForeignTextIsRefused()
    {
        const QString czech = QStringLiteral("ěščřžýáíéůĚŠ");
        QVERIFY(profile::write(QStringLiteral("User"), QStringLiteral("B1Text"), czech, path));
        QCOMPARE(
            profile::read(QStringLiteral("User"), QStringLiteral("B1Text"), QString(), 100, path),
            czech);
        const QByteArray before = readFile();
        QVERIFY(!profile::write(
            QStringLiteral("User"), QStringLiteral("B1Text"), QStringLiteral("Ж"), path));
        QVERIFY(!profile::write(
            QStringLiteral("User"), QStringLiteral("B1Text"), QStringLiteral("a😀"), path));
        QVERIFY(!profile::write(
            QStringLiteral("User"), QStringLiteral("B1Text"), QStringLiteral("a\nB2Text=x"), path));
        QVERIFY(!profile::write(
            QStringLiteral("User"), QStringLiteral("B1=Text"), QStringLiteral("a"), path));
        QCOMPARE(readFile(), before);
    }

    void failedWriteLeavesTheOldFile()
    {
        // Root writes into read-only directories; /proc takes no new files from anyone.
        QVERIFY(!profile::write(QStringLiteral("User"), QStringLiteral("B1Text"),
            QStringLiteral("x"), QStringLiteral("/proc/Data.ini")));
        QVERIFY(!QFile::exists(QStringLiteral("/proc/Data.ini")));
        if (geteuid() == 0)
            return;
        QTemporaryDir ro;
        const QString file = ro.filePath(QStringLiteral("Data.ini"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[User]\nB1Text=old\n");
        f.close();
        QFile::setPermissions(ro.path(), QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(!profile::write(
            QStringLiteral("User"), QStringLiteral("B1Text"), QStringLiteral("new"), file));
        QFile::setPermissions(ro.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(
            profile::read(QStringLiteral("User"), QStringLiteral("B1Text"), QString(), 10, file),
            QStringLiteral("old"));
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
