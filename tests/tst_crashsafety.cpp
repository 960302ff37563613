// Killing the program in the middle of saving never costs the user the character set: after
// every kill the file reads, holds every entry, each with its old or its new value.
#include "fakes.h"
#include "sources/characterset.h"
#include "sources/profile.h"
#include "sources/textplayer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
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

    // The adapter pulled out while a text plays at full speed, through the real loader and the
    // simulated module: the program keeps running and goes on once it is plugged in again.
    void adapterUnpluggedWhilePlaying()
    {
        TestProgram program;
        program.copyShippedDataFile();
        QFile::copy(QStringLiteral(SIM_LIBRARY_DIR "/librscom.so"),
            program.dir.filePath(QStringLiteral("librscom.so")));
        const QString log = program.dir.filePath(QStringLiteral("lines.log"));
        qputenv("PRAVLON_SIM_LOG", log.toLocal8Bit());
        qunsetenv("PRAVLON_SIM_FAIL_AFTER");
        Environment env = program.environment();
        env.lines = std::make_shared<ModuleLineLibrary>(program.dir.path());
        Form1 form(env);
        form.Form_Load();
        form.SSTab1->setCurrentIndex(2);
        TextPlayerPage &player = *form.page3;
        player.Text1->setPlainText(QStringLiteral("abc"));
        player.HScroll1->setValue(1);
        player.Check4->setChecked(true);
        player.Check3->setChecked(true);
        const auto runFor = [](int ms) {
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < ms)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        };
        const auto logSize = [&] { return QFileInfo(log).size(); };

        runFor(100);
        QVERIFY(logSize() > 0);
        qputenv("PRAVLON_SIM_FAIL_AFTER", "0"); // every call fails from now on
        runFor(50);
        const qint64 unplugged = logSize();
        runFor(200);
        QCOMPARE(logSize(), unplugged);
        QVERIFY(player.Check3->isChecked()); // still playing, the window still answers
        QCOMPARE(program.messages->titles(), QStringList());

        qunsetenv("PRAVLON_SIM_FAIL_AFTER");
        runFor(100);
        QVERIFY(logSize() > unplugged);
        player.Check3->setChecked(false);
        QVERIFY(form.close());
        qunsetenv("PRAVLON_SIM_LOG");
    }
};

QTEST_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
