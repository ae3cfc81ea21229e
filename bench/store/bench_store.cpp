// The object store with libraries of realistic records, at several sizes so
// that how each cost grows with the library shows:
//   bench_store                          10,000, 50,000 and 200,000 records
//   bench_store --records N [--records M ...]
//   bench_store --library PACKAGE --records N   measure one package (made first when missing)
// Each size prints store_open_<size>k, store_open_<size>k_cpu, store_search_<size>k,
// store_search_<size>k_matching, store_save_one_change_<size>k, store_rss_<size>k and
// store_rss_<size>k_after_open. Generation and every measurement run in child
// processes, so that the figures (time to open, memory) are those of a fresh
// process opening an existing library, through the same function as the program.
#include "LibraryGenerator.h"

#include "core/Library.h"
#include "predicate/SearchPredicate.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

// Processor time of the process (all threads) in milliseconds: steadier than the
// wall clock on a machine shared with other work.
double cpuMilliseconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

long statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return -1;
}

QString g_suffix; // "_50k"

void report(const char *name, double value, const char *unit)
{
    std::printf("BENCH %s%s %.1f %s\n", name, qPrintable(g_suffix), value, unit);
    std::fflush(stdout);
}

int measure(const QString &package)
{
    QString error;
    QElapsedTimer timer;
    const double cpuBefore = cpuMilliseconds();
    timer.start();
    std::unique_ptr<Library> library = Library::open({ package, Library::Access::Change, 0, {} }, &error);
    const double openMs = timer.nsecsElapsed() / 1e6;
    const double openCpuMs = cpuMilliseconds() - cpuBefore;
    if (!library) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    ManagedObjectContext *context = &library->context();
    report("store_open", openMs, "ms");
    report("store_open_cpu", openCpuMs, "ms");
    const double rssAfterOpen = statusKilobytes("VmRSS:") / 1024.0;

    // The search field's predicate over every record; a text that matches
    // nothing makes every record go through all sixteen terms.
    for (const char *text : { "zqxv", "drill" }) {
        const Predicate search = SearchPredicate::forSearchText(QString::fromLatin1(text));
        std::vector<double> times;
        qsizetype found = 0;
        for (int run = 0; run < 7; ++run) {
            timer.restart();
            found = context->executeFetchRequest({ QStringLiteral("Record"), search, {}, 0 }).size();
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        report(qstrcmp(text, "zqxv") == 0 ? "store_search" : "store_search_matching", median(times), "ms");
        std::fprintf(stderr, "search \"%s\": %lld records\n", text, qlonglong(found));
    }

    const QList<ManagedObject *> records = context->executeFetchRequest({ QStringLiteral("Record"), {}, {}, 0 });
    std::vector<double> saves;
    for (int run = 0; run < 25; ++run) {
        ManagedObject *r = records.at((run * 7919) % records.size());
        // A value no earlier run has stored, so that every save writes.
        r->set(QStringLiteral("item"),
               QStringLiteral("Renamed %1 %2").arg(run).arg(QDateTime::currentMSecsSinceEpoch()));
        timer.restart();
        if (!context->save(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        saves.push_back(timer.nsecsElapsed() / 1e6);
    }
    report("store_save_one_change", median(saves), "ms");
    std::fprintf(stderr, "saves: fastest %.1f ms, slowest %.1f ms\n", *std::min_element(saves.begin(), saves.end()),
                 *std::max_element(saves.begin(), saves.end()));
    report("store_rss", statusKilobytes("VmHWM:") / 1024.0, "MB");
    report("store_rss_after_open", rssAfterOpen, "MB");
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QList<int> sizes;
    QString package;
    bool generateOnly = false, measureOnly = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--records") && i + 1 < args.size())
            sizes << args.at(++i).toInt();
        else if ((a == QLatin1String("--library") || a == QLatin1String("--generate")
                  || a == QLatin1String("--measure"))
                 && i + 1 < args.size()) {
            package = args.at(++i);
            generateOnly = a == QLatin1String("--generate");
            measureOnly = a == QLatin1String("--measure");
        } else {
            std::fprintf(stderr, "usage: bench_store [--records N ...] [--library PACKAGE]\n");
            return 2;
        }
    }
    if (sizes.isEmpty())
        sizes = { 10000, 50000, 200000 };
    if (std::any_of(sizes.begin(), sizes.end(), [](int n) { return n <= 0; })) {
        std::fprintf(stderr, "--records takes a positive number\n");
        return 2;
    }
    g_suffix = QStringLiteral("_%1k").arg(sizes.first() / 1000);
    QString error;
    if (generateOnly) {
        if (!LibraryGenerator::generate(package, sizes.first(), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }
    if (measureOnly)
        return measure(package);

    QTemporaryDir folder;
    for (int n : sizes) {
        const QString size = QString::number(n);
        QString target = package;
        if (target.isEmpty() || sizes.size() > 1)
            target = folder.filePath(QStringLiteral("Bench%1.stashlyd").arg(n));
        if (!QFileInfo::exists(target + QStringLiteral("/sqldata"))) {
            QElapsedTimer generation;
            generation.start();
            if (QProcess::execute(args.at(0),
                                  { QStringLiteral("--generate"), target, QStringLiteral("--records"), size })
                != 0)
                return 1;
            std::fprintf(stderr, "generated %d records in %lld ms (%lld bytes)\n", n, generation.elapsed(),
                         QFileInfo(target + QStringLiteral("/sqldata")).size());
        }
        // A child of its own per size: memory figures are not carried over.
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(args.at(0), { QStringLiteral("--measure"), target, QStringLiteral("--records"), size });
        if (!child.waitForFinished(-1) || child.exitCode() != 0)
            return 1;
        if (sizes.size() > 1)
            QDir(target).removeRecursively();
    }
    return 0;
}
