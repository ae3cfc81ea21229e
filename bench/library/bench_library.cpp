// Two writers at once, as a user with two terminals (or a script and the
// window) would have them:
//   BENCH concurrent_add_2x500_s <s> s   two stashly-cli processes adding 500 records each,
//                                         every add waiting for the other writer (--wait)
//   BENCH concurrent_add_lost <n> records   acknowledged records missing from the library (must be 0)
//   BENCH concurrent_add_orphans <n> folders record folders without a record (must be 0)
// Run: build/bench/library/bench_library [--records-per-writer N]
#include "core/Library.h"
#include "core/Record.h"
#include "store/ManagedObjectContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int perWriter = 500;
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--records-per-writer"))
        perWriter = args.at(2).toInt();
    const QString cli = QStringLiteral(STASHLY_BINARY_DIR "/src/app/stashly-cli");
    QTemporaryDir dir;
    const QString package = dir.filePath(QStringLiteral("Two.stashlyd"));
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_STATE_HOME", dir.filePath(QStringLiteral("state")).toUtf8());
    // The library with its defaults, before the clock starts.
    if (QProcess::execute(cli, { QStringLiteral("--library"), package, QStringLiteral("add") }) != 0)
        return 1;

    QElapsedTimer timer;
    timer.start();
    QList<QProcess *> writers;
    for (const char *name : { "Left", "Right" }) {
        auto *writer = new QProcess(&app);
        writer->start(QStringLiteral("bash"),
                      { QStringLiteral("-c"),
                        QStringLiteral("for i in $(seq %1); do \"$0\" --wait 600 --library \"$1\" add item=%2$i; done")
                            .arg(perWriter)
                            .arg(QLatin1String(name)),
                        cli, package });
        writers << writer;
    }
    QStringList acknowledged;
    for (QProcess *writer : writers) {
        writer->waitForFinished(-1);
        acknowledged += QString::fromUtf8(writer->readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QByteArray errors = writer->readAllStandardError();
        if (!errors.isEmpty())
            std::fprintf(stderr, "%s", errors.constData());
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;

    QString error;
    std::unique_ptr<Library> library = Library::open({ package, Library::Access::Read, 0, {} }, &error);
    if (!library) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QSet<QString> stored;
    for (ManagedObject *object : library->context().executeFetchRequest({ Record::Entity, {}, {}, 0 }))
        stored.insert(Record::from(object)->recordIDText());
    int lost = 0;
    for (const QString &id : acknowledged)
        lost += stored.contains(id) ? 0 : 1;
    int orphans = 0;
    for (const QString &folder : QDir(package + QStringLiteral("/Files")).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        orphans += stored.contains(folder) ? 0 : 1;
    std::fprintf(stderr, "  %lld acknowledged, %lld in the library\n", qlonglong(acknowledged.size()),
                 qlonglong(stored.size()));
    std::printf("BENCH concurrent_add_2x%d_s %.1f s\n", perWriter, seconds);
    std::printf("BENCH concurrent_add_lost %d records\n", lost);
    std::printf("BENCH concurrent_add_orphans %d folders\n", orphans);
    return lost == 0 && orphans == 0 && acknowledged.size() == 2 * perWriter ? 0 : 1;
}
