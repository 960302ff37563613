// Killing the program in the middle of saving never costs the user the character set: after
// every kill the file reads, holds every entry, each with its old or its new value.
#include "sources/characterset.h"
#include "sources/profile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

class TestCrashSafety : public QObject
{
    Q_OBJECT
private slots:
    void killedWhileSaving()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Data.ini"));
        QFile::copy(QStringLiteral(PRAVLON_SOURCE_DIR "/resources/Data.ini"), path);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        std::array<QString, CharacterSlotCount> shipped;
        std::array<QString, UserCharacterCount> names;
        characterset::load(path, shipped, names, nullptr);

        for (int round = 0; round < 25; ++round) {
            QProcess saver;
            saver.start(QStringLiteral(SAVELOOP), {path});
            QVERIFY(saver.waitForStarted());
            QThread::msleep(5 + QRandomGenerator::global()->bounded(40));
            saver.kill();
            QVERIFY(saver.waitForFinished());

            std::array<QString, CharacterSlotCount> patterns;
            characterset::load(path, patterns, names, nullptr);
            for (int slot = 0; slot < FirstUserSlot; ++slot)
                QCOMPARE(patterns[slot], shipped[slot]);
            for (int n = 1; n <= UserCharacterCount; ++n) {
                const QString name = names[n - 1];
                QVERIFY2(name == QStringLiteral("[%1]").arg(n) || name == QLatin1String("Old")
                        || name == QStringLiteral("Nový"),
                    qPrintable(name));
                const QString data = patterns[FirstUserSlot + n - 1];
                QVERIFY2(data == QLatin1String("10010000") || data == QLatin1String("11111111"),
                    qPrintable(data));
            }
        }
        // A kill may leave the half-written temporary of a save beside the file, never anything
        // under the file's own name.
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            QVERIFY2(
                name == QLatin1String("Data.ini") || name.startsWith(QLatin1String("Data.ini.")),
                qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
