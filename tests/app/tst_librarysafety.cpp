#include "CliTestSupport.h"
#include "base/Settings.h"
#include "core/DatabaseTools.h"
#include "core/LibraryLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

// The library as a hostile user meets it: two writers at once, a kill during
// the first run, planted lock files, odd paths, a damaged store, a read-only
// library. Several cases run the real stashly-cli as separate processes.
class TestLibrarySafety : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_library;

    static QString cliProgram() { return QStringLiteral(STASHLY_BINARY_DIR "/src/app/stashly-cli"); }

    QString path(const QString &name) const { return m_dir->filePath(name); }

    int run(const QStringList &args, QString *out = nullptr, QString *err = nullptr)
    {
        return runCliCaptured(args, out, err);
    }

    QString addRecord(const QStringList &args = {})
    {
        QString out, err;
        if (runCliOn(m_library, QStringList { QStringLiteral("add") } + args, &out, &err) != 0)
            qWarning("add failed: %s", qPrintable(err));
        return out.trimmed();
    }

    // Every entry below `root`: its kind, size, content digest and change time.
    static QMap<QString, QString> snapshot(const QString &root)
    {
        QMap<QString, QString> entries;
        QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString p = it.next();
            const QFileInfo info(p);
            QString digest;
            if (info.isFile() && !info.isSymLink()) {
                QFile f(p);
                if (f.open(QIODevice::ReadOnly))
                    digest = QString::fromLatin1(
                        QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex());
            }
            entries.insert(QDir(root).relativeFilePath(p),
                           QStringLiteral("%1 %2 %3 %4")
                               .arg(info.isDir() ? QStringLiteral("dir") : QStringLiteral("file"))
                               .arg(info.size())
                               .arg(digest)
                               .arg(info.lastModified().toMSecsSinceEpoch()));
        }
        return entries;
    }

    static int countLine(const QString &info, const QString &entity)
    {
        for (const QString &line : info.split(QLatin1Char('\n')))
            if (line.startsWith(entity + QStringLiteral(": ")))
                return line.mid(entity.size() + 2).toInt();
        return -1;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        Settings::setFilePath(path(QStringLiteral("settings.ini")));
        m_library = path(QStringLiteral("Test.stashlyd"));
    }

    void cleanup() { Settings::setFilePath(path(QStringLiteral("settings.ini"))); }

    // Two real command-line writers adding in loops: one waits for the other,
    // one is refused while the other writes. Every record either reported is
    // in the library with its folder and thumbnail, and nothing else is.
    void concurrentWritersLoseNothing()
    {
        if (!QFile::exists(cliProgram()))
            QSKIP("stashly-cli is not built");
        QVERIFY(!addRecord().isEmpty());
        constexpr int kRounds = 15;
        QList<QProcess *> writers;
        for (const auto &[name, wait] :
             { std::pair { QStringLiteral("Waiting"), true }, std::pair { QStringLiteral("Eager"), false } }) {
            auto *p = new QProcess(this);
            const QString script
                = QStringLiteral("for i in $(seq %1); do \"$0\" --library \"$1\" %2 add item=%3$i; done")
                      .arg(kRounds)
                      .arg(wait ? QStringLiteral("--wait 60") : QString(), name);
            p->start(QStringLiteral("bash"), { QStringLiteral("-c"), script, cliProgram(), m_library });
            writers << p;
        }
        QStringList acknowledged;
        QString refusals;
        for (QProcess *p : writers) {
            QVERIFY(p->waitForFinished(300000));
            acknowledged += QString::fromUtf8(p->readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            refusals += QString::fromUtf8(p->readAllStandardError());
        }
        QVERIFY(acknowledged.size() >= kRounds);
        // A refused writer says who holds the library; it never fails otherwise.
        for (const QString &line : refusals.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            QVERIFY2(line.contains(QLatin1String("is being changed by")), qPrintable(line));

        QString out;
        QCOMPARE(
            runCliOn(m_library, { QStringLiteral("list"), QStringLiteral("--format"), QStringLiteral("json") }, &out),
            0);
        QSet<double> stored;
        for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            stored.insert(QJsonDocument::fromJson(line.toUtf8()).object().value(QStringLiteral("recordID")).toDouble());
        QCOMPARE(stored.size(), acknowledged.size() + 1);
        for (const QString &id : acknowledged)
            QVERIFY2(stored.contains(id.toDouble()), qPrintable(id));
        const QStringList folders
            = QDir(m_library + QStringLiteral("/Files")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        const QStringList thumbnails = QDir(m_library + QStringLiteral("/Thumbnails")).entryList(QDir::Files);
        QCOMPARE(folders.size(), stored.size());
        QCOMPARE(thumbnails.size(), stored.size());
        QVERIFY(!DatabaseTools::isDatabaseLockedAtPath(m_library));
    }

    // A first command killed at any moment leaves a library that the next
    // command completes: its defaults and folders are there, and every record
    // has its folder.
    void killedFirstRunIsCompletedByTheNext_data()
    {
        QTest::addColumn<int>("killAfterMs");
        for (int ms : { 2, 10, 25, 50, 80, 120 })
            QTest::addRow("%d ms", ms) << ms;
    }

    void killedFirstRunIsCompletedByTheNext()
    {
        if (!QFile::exists(cliProgram()))
            QSKIP("stashly-cli is not built");
        QFETCH(int, killAfterMs);
        QProcess first;
        first.start(cliProgram(), { QStringLiteral("--library"), m_library, QStringLiteral("add") });
        QVERIFY(first.waitForStarted());
        QThread::msleep(ulong(killAfterMs));
        ::kill(pid_t(first.processId()), SIGKILL);
        first.waitForFinished();

        QVERIFY(!addRecord().isEmpty());
        QString info;
        QCOMPARE(runCliOn(m_library, { QStringLiteral("info") }, &info), 0);
        QCOMPARE(countLine(info, QStringLiteral("SmartFolder")), 2);
        QCOMPARE(countLine(info, QStringLiteral("PaymentMethod")), 3);
        QCOMPARE(countLine(info, QStringLiteral("Currency")), 1);
        QCOMPARE(countLine(info, QStringLiteral("Group")), 8);
        QCOMPARE(countLine(info, QStringLiteral("Category")), 13); // the twelve and "Unfiled"
        QString out;
        QCOMPARE(
            runCliOn(m_library, { QStringLiteral("list"), QStringLiteral("--format"), QStringLiteral("tsv") }, &out),
            0);
        const QStringList folders
            = QDir(m_library + QStringLiteral("/Files")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QVERIFY(folders.size() >= countLine(info, QStringLiteral("Record")));
    }

    // Defaults that never landed and folders removed by hand are made again,
    // with a line in the log.
    void missingDefaultsAndFoldersAreMadeAgain()
    {
        QVERIFY(!addRecord().isEmpty());
        // Take the defaults' mark and everything they made back out.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("undo-defaults"));
            db.setDatabaseName(m_library + QStringLiteral("/sqldata"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            for (const char *sql : { "DELETE FROM stashly_metadata WHERE key = 'firstRunDefaults'",
                                     "DELETE FROM e_SmartFolder", "DELETE FROM e_Group", "DELETE FROM e_Currency",
                                     "DELETE FROM e_PaymentMethod", "DELETE FROM e_Location" })
                QVERIFY2(q.exec(QLatin1String(sql)), sql);
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("undo-defaults"));
        QVERIFY(QDir(m_library + QStringLiteral("/Thumbnails")).removeRecursively());
        QVERIFY(QDir(m_library + QStringLiteral("/Temp")).removeRecursively());

        QVERIFY(!addRecord().isEmpty());
        QString info;
        QCOMPARE(runCliOn(m_library, { QStringLiteral("info") }, &info), 0);
        QCOMPARE(countLine(info, QStringLiteral("SmartFolder")), 2);
        QCOMPARE(countLine(info, QStringLiteral("Currency")), 1);
        QCOMPARE(countLine(info, QStringLiteral("Record")), 2);
        for (const char *folder : { "Files", "Thumbnails", "StashInbox", "Temp" })
            QVERIFY2(QFileInfo(m_library + QLatin1Char('/') + QLatin1String(folder)).isDir(), folder);
        // A later open leaves the defaults alone.
        QVERIFY(!addRecord().isEmpty());
        QCOMPARE(runCliOn(m_library, { QStringLiteral("info") }, &info), 0);
        QCOMPARE(countLine(info, QStringLiteral("SmartFolder")), 2);
    }

    // A library from before the defaults' mark that has its smart folders
    // counts as set up: it gets the mark, not a second set of defaults.
    void olderLibraryWithDefaultsGetsOnlyTheMark()
    {
        QVERIFY(!addRecord().isEmpty());
        const auto marks = [this] {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("marks"));
            db.setDatabaseName(m_library + QStringLiteral("/sqldata"));
            int count = -1;
            if (db.open()) {
                QSqlQuery q(db);
                if (q.exec(QStringLiteral("SELECT count(*) FROM stashly_metadata WHERE key = 'firstRunDefaults'"))
                    && q.next())
                    count = q.value(0).toInt();
                q.exec(QStringLiteral("DELETE FROM stashly_metadata WHERE key = 'firstRunDefaults'"));
                db.close();
            }
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("marks"));
            return count;
        };
        QCOMPARE(marks(), 1); // and now it is gone, as in an older library
        QVERIFY(!addRecord().isEmpty());
        QCOMPARE(marks(), 1);
        QString info;
        QCOMPARE(runCliOn(m_library, { QStringLiteral("info") }, &info), 0);
        QCOMPARE(countLine(info, QStringLiteral("SmartFolder")), 2);
        QCOMPARE(countLine(info, QStringLiteral("Currency")), 1);
    }

    // Lock files planted in the package: never followed, never a crash; a
    // lock that cannot be read is an unknown holder, refused without --force.
    void hostileLockFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("forceOpens");
        QTest::addColumn<QString>("message");
        QTest::newRow("link to another file") << "link" << true << "an unknown holder";
        QTest::newRow("dangling link") << "dangling" << true << "an unknown holder";
        QTest::newRow("oversized") << "oversized" << true << "an unknown holder";
        QTest::newRow("binary nested 116,000 deep") << "deep" << true << "an unknown holder";
        QTest::newRow("a folder") << "folder" << true << "an unknown holder";
        QTest::newRow("a pipe") << "fifo" << true << "an unknown holder";
        QTest::newRow("writer lock as a link") << "writerlink" << false << "is a symbolic link";
        QTest::newRow("writer lock as a pipe") << "writerfifo" << false << "is not a regular file";
    }

    void hostileLockFiles()
    {
        QFETCH(QString, kind);
        QFETCH(bool, forceOpens);
        QFETCH(QString, message);
        QVERIFY(!addRecord().isEmpty());
        const QString lock = m_library + QStringLiteral("/.inuse");
        const QString writer = m_library + QStringLiteral("/.inuse.lock");
        const QString victim = path(QStringLiteral("victim.txt"));
        const QString target = path(QStringLiteral("made-outside.txt"));
        QFile v(victim);
        QVERIFY(v.open(QIODevice::WriteOnly));
        v.write("precious");
        v.close();
        const auto write = [](const QString &file, const QByteArray &bytes) {
            QFile f(file);
            return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
        };
        if (kind == QLatin1String("link")) {
            QVERIFY(QFile::link(victim, lock));
        } else if (kind == QLatin1String("dangling")) {
            QVERIFY(QFile::link(target, lock));
        } else if (kind == QLatin1String("oversized")) {
            QVERIFY(write(lock,
                          "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>userName</key><string>"
                              + QByteArray(70000, 'z') + "</string></dict></plist>"));
        } else if (kind == QLatin1String("deep")) {
            // 116,000 arrays, each holding the next: 1-byte refs do not reach,
            // so references and offsets are 4 bytes wide.
            constexpr quint32 kDepth = 116000;
            QByteArray bytes("bplist00");
            QByteArray offsets;
            const auto be32 = [](quint32 v) {
                const char b[] = { char(v >> 24), char(v >> 16), char(v >> 8), char(v) };
                return QByteArray(b, 4);
            };
            for (quint32 i = 0; i < kDepth; ++i) {
                offsets += be32(quint32(bytes.size()));
                bytes += i + 1 < kDepth ? QByteArray(1, char(0xA1)) + be32(i + 1) : QByteArray(1, char(0xA0));
            }
            const quint32 table = quint32(bytes.size());
            bytes += offsets;
            bytes += QByteArray(6, '\0') + char(4) + char(4) + QByteArray(4, '\0') + be32(kDepth) + QByteArray(8, '\0')
                + QByteArray(4, '\0') + be32(table);
            QVERIFY(write(lock, bytes));
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(lock));
        } else if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(lock).constData(), 0644), 0);
        } else if (kind == QLatin1String("writerlink")) {
            QVERIFY(QFile::remove(writer));
            QVERIFY(QFile::link(victim, writer));
        } else if (kind == QLatin1String("writerfifo")) {
            QVERIFY(QFile::remove(writer));
            QCOMPARE(::mkfifo(QFile::encodeName(writer).constData(), 0644), 0);
        }
        const QMap<QString, QString> before = snapshot(m_library);

        QString out, err;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(runCliOn(m_library, { QStringLiteral("add") }, &out, &err), 1);
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY2(err.size() < 1000, "a lock's texts are shown short");
        QCOMPARE(snapshot(m_library), before);
        QCOMPARE(runCliOn(m_library, { QStringLiteral("--force"), QStringLiteral("add") }, &out, &err),
                 forceOpens ? 0 : 1);
        // Reading still works whatever lies there.
        QCOMPARE(runCliOn(m_library, { QStringLiteral("info") }, &out, &err), 0);
        QCOMPARE(out.contains(QLatin1String("Locked: yes")), !kind.startsWith(QLatin1String("writer")));
        QVERIFY2(clock.elapsed() < 60000, "a hostile lock must not make commands crawl");

        QFile check(victim);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), QByteArray("precious"));
        QVERIFY(!QFileInfo::exists(target));
    }

    // The window writes its lock through the same code: a link planted as the
    // lock is replaced, never written through.
    void writingTheLockReplacesALink()
    {
        QVERIFY(QDir().mkpath(m_library));
        const QString victim = path(QStringLiteral("victim.txt"));
        QFile v(victim);
        QVERIFY(v.open(QIODevice::WriteOnly));
        v.write("precious");
        v.close();
        const QString lock = m_library + QStringLiteral("/.inuse");
        for (const QString &to : { victim, path(QStringLiteral("made-outside.txt")) }) {
            QFile::remove(lock);
            QVERIFY(QFile::link(to, lock));
            QVERIFY(DatabaseTools::lockDatabaseAtPath(m_library));
            QVERIFY(!QFileInfo(lock).isSymLink());
            QVERIFY(DatabaseTools::isOwnLock(*DatabaseTools::lockDataAtPath(m_library)));
        }
        QFile check(victim);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), QByteArray("precious"));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("made-outside.txt"))));
    }

    // --library accepts a library, a new path or an empty folder; anything
    // else is refused and left exactly as it was.
    void libraryPaths_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty text") << "" << false << "No library was given";
        QTest::newRow("blank text") << "  " << false << "No library was given";
        QTest::newRow("root folder") << "/" << false << "is not a Stashly library";
        QTest::newRow("unrelated folder") << "DIR/unrelated" << false << "is not a Stashly library";
        QTest::newRow("a file") << "DIR/unrelated/notes.txt" << false << "is a file, not a library folder";
        QTest::newRow("dangling link") << "DIR/dangling" << false << "symbolic link to nothing";
        QTest::newRow("new path") << "DIR/new/Mine.stashlyd" << true << "";
        QTest::newRow("new path, other name") << "DIR/Mine" << true << "";
        QTest::newRow("empty folder") << "DIR/empty" << true << "";
    }

    void libraryPaths()
    {
        QFETCH(QString, given);
        QFETCH(bool, opens);
        QFETCH(QString, message);
        given.replace(QStringLiteral("DIR"), m_dir->path());
        QVERIFY(QDir().mkpath(path(QStringLiteral("unrelated"))));
        QVERIFY(QDir().mkpath(path(QStringLiteral("empty"))));
        QFile notes(path(QStringLiteral("unrelated/notes.txt")));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("mine");
        notes.close();
        QVERIFY(QFile::link(path(QStringLiteral("nowhere")), path(QStringLiteral("dangling"))));
        const QMap<QString, QString> before = snapshot(m_dir->path());
        const bool rootHadStore = QFileInfo::exists(QStringLiteral("/sqldata"));

        QString out, err;
        QCOMPARE(runCliOn(given, { QStringLiteral("add") }, &out, &err), opens ? 0 : 1);
        if (opens) {
            QVERIFY(QFileInfo(given + QStringLiteral("/sqldata")).isFile());
            QVERIFY(QFileInfo(given + QStringLiteral("/Files")).isDir());
            QCOMPARE(runCliOn(given, { QStringLiteral("info") }, &out, &err), 0);
        } else {
            QVERIFY2(err.contains(message), qPrintable(err));
            QCOMPARE(err.count(QLatin1Char('\n')), 1);
            QCOMPARE(snapshot(m_dir->path()), before);
            QCOMPARE(QFileInfo::exists(QStringLiteral("/sqldata")), rootHadStore);
            // Reading refuses the same paths.
            QCOMPARE(runCliOn(given, { QStringLiteral("info") }, &out, &err), 1);
        }
    }

    // --settings takes only a settings file of ours (or a new or empty one);
    // a settings write that fails is an error.
    void settingsPaths_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("someone's text file") << "text" << 2 << "is not a Stashly settings file";
        QTest::newRow("key=value file of another program") << "env" << 2 << "is not a Stashly settings file";
        QTest::newRow("a folder") << "folder" << 2 << "is a folder";
        QTest::newRow("a pipe") << "fifo" << 2 << "is not a regular file";
        QTest::newRow("no such folder") << "nofolder" << 2 << "there is no folder";
        QTest::newRow("empty text") << "blank" << 2 << "No settings file was given";
        QTest::newRow("a folder nobody can write in") << "proc" << 1 << "could not be written";
        QTest::newRow("new file") << "new" << 0 << "";
        QTest::newRow("our own file") << "ours" << 0 << "";
    }

    void settingsPaths()
    {
        QFETCH(QString, kind);
        QFETCH(int, status);
        QFETCH(QString, message);
        QString file = path(QStringLiteral("given.ini"));
        const auto write = [&file](const QByteArray &bytes) {
            QFile f(file);
            return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
        };
        if (kind == QLatin1String("text"))
            QVERIFY(write("Dear diary,\nnothing happened today.\n"));
        else if (kind == QLatin1String("env"))
            QVERIFY(write("PATH=/usr/bin\nEDITOR=vi\n"));
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(file));
        else if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0644), 0);
        else if (kind == QLatin1String("nofolder"))
            file = path(QStringLiteral("missing/given.ini"));
        else if (kind == QLatin1String("blank"))
            file = QString();
        else if (kind == QLatin1String("proc"))
            file = QStringLiteral("/proc/stashly-settings.ini");
        else if (kind == QLatin1String("ours"))
            QVERIFY(write("[General]\nlogLevel=2\nlistViewHiddenColumns=serialNumber, model\n"));
        const QMap<QString, QString> before = snapshot(m_dir->path());

        QString out, err;
        QCOMPARE(run({ QStringLiteral("--settings"), file, QStringLiteral("settings"), QStringLiteral("set"),
                       QStringLiteral("logLevel"), QStringLiteral("1") },
                     &out, &err),
                 status);
        if (status == 0) {
            QCOMPARE(run({ QStringLiteral("--settings"), file, QStringLiteral("settings"), QStringLiteral("get"),
                           QStringLiteral("logLevel") },
                         &out, &err),
                     0);
            QCOMPARE(out, QStringLiteral("1\n"));
            return;
        }
        QVERIFY2(err.contains(message), qPrintable(err));
        if (status == 2)
            QCOMPARE(snapshot(m_dir->path()), before);
    }

    // A store that lost a table is damaged, not an empty library: every
    // command says which table, and nothing is written.
    void storeMissingATableIsRefused()
    {
        QVERIFY(!addRecord().isEmpty());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("drop-table"));
            db.setDatabaseName(m_library + QStringLiteral("/sqldata"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("DROP TABLE e_Record")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("drop-table"));
        const QMap<QString, QString> before = snapshot(m_library);
        for (const QStringList &args : { QStringList { QStringLiteral("add") }, QStringList { QStringLiteral("list") },
                                         QStringList { QStringLiteral("info") } }) {
            QString out, err;
            QCOMPARE(runCliOn(m_library, args, &out, &err), 1);
            QVERIFY2(err.contains(QLatin1String("is damaged"))
                         && err.contains(QLatin1String("table of Record objects is missing")),
                     qPrintable(err));
            QCOMPARE(err.count(QLatin1Char('\n')), 1);
        }
        QCOMPARE(snapshot(m_library), before);
    }

    // A store given as a folder or a pipe is named as such, and a pipe never
    // makes a command wait.
    void storeThatIsNotAFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("folder") << "folder"
                                << "is a folder, not a file";
        QTest::newRow("pipe") << "fifo"
                              << "is not a regular file";
    }

    void storeThatIsNotAFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QVERIFY(QDir().mkpath(m_library));
        const QString store = m_library + QStringLiteral("/sqldata");
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(store));
        else
            QCOMPARE(::mkfifo(QFile::encodeName(store).constData(), 0644), 0);
        for (const char *command : { "info", "add" }) {
            QString out, err;
            QCOMPARE(runCliOn(m_library, { QLatin1String(command) }, &out, &err), 1);
            QVERIFY2(err.contains(message), qPrintable(err));
        }
    }

    // Commands that only read leave every byte and time of the library as it
    // was, work on a library nobody may write, and see what the window sees
    // (the notes' plain text too).
    void readsLeaveTheLibraryUntouched()
    {
        const QString id = addRecord({ QStringLiteral("item=Lamp"), QStringLiteral("notes=spare key under the mat") });
        QVERIFY(!id.isEmpty());
        QCOMPARE(runCliOn(m_library,
                          { QStringLiteral("smart-folder"), QStringLiteral("add"), QStringLiteral("Lamps"),
                            QStringLiteral("item == \"Lamp\"") }),
                 0);
        const QMap<QString, QString> before = snapshot(m_library);
        const QString settingsBefore = snapshot(m_dir->path()).value(QStringLiteral("settings.ini"));
        QProcess::execute(QStringLiteral("chmod"), { QStringLiteral("-R"), QStringLiteral("a-w"), m_library });

        const QList<QStringList> reads {
            { QStringLiteral("info") },
            { QStringLiteral("list"), QStringLiteral("--search"), QStringLiteral("mat") },
            { QStringLiteral("show"), id },
            { QStringLiteral("smart-folder"), QStringLiteral("list") },
            { QStringLiteral("query"), QStringLiteral("Record"), QStringLiteral("notesPlainText CONTAINS %@"),
              QStringLiteral("mat") },
        };
        for (const QStringList &args : reads) {
            QString out, err;
            QVERIFY2(runCliOn(m_library, args, &out, &err) == 0, qPrintable(args.join(QLatin1Char(' ')) + err));
            QVERIFY2(out.contains(QLatin1String("Lamp")) || args.first() == QLatin1String("info"),
                     qPrintable(args.join(QLatin1Char(' '))));
        }
        QProcess::execute(QStringLiteral("chmod"), { QStringLiteral("-R"), QStringLiteral("u+w"), m_library });
        QCOMPARE(snapshot(m_library), before);
        QCOMPARE(snapshot(m_dir->path()).value(QStringLiteral("settings.ini")), settingsBefore);
    }

    // Another writer on this machine: refused at once with who it is, or
    // waited for with --wait; --force never overrides it.
    void aLiveWriterIsWaitedForNeverForced()
    {
        if (!QFile::exists(cliProgram()))
            QSKIP("stashly-cli is not built");
        QVERIFY(!addRecord().isEmpty());
        LibraryLock::Result held = LibraryLock::acquire(m_library);
        QCOMPARE(held.status, LibraryLock::Status::Acquired);
        QVERIFY(DatabaseTools::lockDatabaseAtPath(m_library));

        for (const QStringList &options : { QStringList {}, QStringList { QStringLiteral("--force") } }) {
            QProcess refused;
            refused.start(cliProgram(),
                          options + QStringList { QStringLiteral("--library"), m_library, QStringLiteral("add") });
            QVERIFY(refused.waitForFinished(30000));
            QCOMPARE(refused.exitCode(), 1);
            const QString err = QString::fromUtf8(refused.readAllStandardError());
            QVERIFY2(err.contains(QStringLiteral("is being changed by %1").arg(DatabaseTools::currentUserName())),
                     qPrintable(err));
        }

        QProcess waiting;
        waiting.start(cliProgram(),
                      { QStringLiteral("--wait"), QStringLiteral("30"), QStringLiteral("--library"), m_library,
                        QStringLiteral("add") });
        QVERIFY(waiting.waitForStarted());
        QVERIFY(!waiting.waitForFinished(700)); // still waiting
        DatabaseTools::unlockDatabaseAtPath(m_library);
        held.lock.reset();
        QVERIFY(waiting.waitForFinished(30000));
        QCOMPARE(waiting.exitCode(), 0);
        QVERIFY(!QString::fromUtf8(waiting.readAllStandardOutput()).trimmed().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLibrarySafety)
#include "tst_librarysafety.moc"
