// The object store with a library of 50,000 realistic records.
//   bench_store [--library FILE]   measure (generating FILE first when it is missing)
//   bench_store --generate FILE    only generate
// Generation runs in a child process, so that the figures (time to open, memory)
// are those of a fresh process that opens an existing library.
#include "LibraryGenerator.h"

#include "predicate/SearchPredicate.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

constexpr int kRecords = 50000;

// Records answer the plain text of their notes, as the record class will.
class BenchRecord : public ManagedObject
{
public:
    QVariant valueForKey(const QString &key) const override
    {
        if (key == notesPlainTextKey) {
            const QVariant notes = value(entity().attributeIndex(QStringLiteral("notes")));
            return notes.isValid() ? QVariant(LibraryGenerator::notesPlainText(notes.toByteArray())) : QVariant();
        }
        return ManagedObject::valueForKey(key);
    }
};

// Processor time of the process (all threads) in milliseconds: steadier than the
// wall clock on a machine shared with other work.
double cpuMilliseconds()
{
    rusage usage{};
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

void report(const char *name, double value, const char *unit)
{
    std::printf("BENCH %s %.1f %s\n", name, value, unit);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString error;
    if (args.size() == 3 && args.at(1) == QLatin1String("--generate")) {
        if (!LibraryGenerator::generate(args.at(2), kRecords, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        return 0;
    }

    QTemporaryDir folder;
    QString file = folder.filePath(QStringLiteral("sqldata"));
    if (args.size() == 3 && args.at(1) == QLatin1String("--library"))
        file = args.at(2);
    if (!QFileInfo::exists(file)) {
        QElapsedTimer generation;
        generation.start();
        if (QProcess::execute(args.at(0), {QStringLiteral("--generate"), file}) != 0)
            return 1;
        std::fprintf(stderr, "generated %d records in %lld ms (%lld bytes)\n", kRecords, generation.elapsed(),
                     QFileInfo(file).size());
    }

    ManagedObject::registerEntityClass(QStringLiteral("Record"), [] { return std::make_unique<BenchRecord>(); });
    QElapsedTimer timer;
    const double cpuBefore = cpuMilliseconds();
    timer.start();
    auto context = ManagedObjectContext::open(file, ManagedObjectContext::OpenMode::OpenExisting, &error);
    const double openMs = timer.nsecsElapsed() / 1e6;
    const double openCpuMs = cpuMilliseconds() - cpuBefore;
    if (!context) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    report("store_open_50k", openMs, "ms");
    report("store_open_50k_cpu", openCpuMs, "ms");
    const double rssAfterOpen = statusKilobytes("VmRSS:") / 1024.0;

    // The search field's predicate over every record; a text that matches
    // nothing makes every record go through all sixteen terms.
    for (const char *text : {"zqxv", "drill"}) {
        const Predicate search = SearchPredicate::forSearchText(QString::fromLatin1(text));
        std::vector<double> times;
        qsizetype found = 0;
        for (int run = 0; run < 7; ++run) {
            timer.restart();
            found = context->executeFetchRequest({QStringLiteral("Record"), search, {}, 0}).size();
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        if (qstrcmp(text, "zqxv") == 0)
            report("store_search_50k", median(times), "ms");
        else
            report("store_search_50k_matching", median(times), "ms");
        std::fprintf(stderr, "search \"%s\": %lld records\n", text, qlonglong(found));
    }

    const QList<ManagedObject *> records = context->executeFetchRequest({QStringLiteral("Record"), {}, {}, 0});
    std::vector<double> saves;
    for (int run = 0; run < 25; ++run) {
        ManagedObject *r = records.at((run * 7919) % records.size());
        // A value no earlier run has stored, so that every save writes.
        r->set(QStringLiteral("item"), QStringLiteral("Renamed %1 %2").arg(run).arg(QDateTime::currentMSecsSinceEpoch()));
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
    report("store_rss_50k", statusKilobytes("VmHWM:") / 1024.0, "MB");
    report("store_rss_50k_after_open", rssAfterOpen, "MB");
    return 0;
}
