// Record creation and warranty recalculation at library scale:
//   BENCH records_create_10k <s> s        10,000 records through addNewRecord in a fresh library
//                                          (folder, thumbnail, defaults, save after each, as the New Record command)
//   BENCH warranty_open_50k <ms> ms       opening a 50,000-record library (every warranty recomputed on fetch)
//   BENCH warranty_recalc_50k <ms> ms     recomputing every warranty of the 50,000 records a day later
//                                          (median of several runs, each a day later than the last)
// BENCH_CREATE_ONLY=1 or BENCH_WARRANTY_ONLY=1 in the environment runs one half alone.

#include "base/Clock.h"
#include "core/Library.h"
#include "core/Record.h"
#include "core/TBXFirstRunSetup.h"
#include "records/RecordController.h"
#include "store/ManagedObjectContext.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Libraries are opened as the program opens them, for changing.
std::unique_ptr<Library> openLibrary(const QString &package)
{
    QString error;
    std::unique_ptr<Library> library = Library::open({ package, Library::Access::Change, 0, {} }, &error);
    if (!library)
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(package), qPrintable(error));
    return library;
}

bool createRecords(const QTemporaryDir &dir, int count)
{
    const QString package = dir.filePath(QStringLiteral("Create.stashlyd"));
    auto library = openLibrary(package);
    if (!library)
        return false;
    ManagedObjectContext *context = &library->context();
    TBXFirstRunSetup(context).setUpDefaults();
    RecordController controller(context, package);
    controller.setSelectedCategoryName(QStringLiteral("Household"));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        if (!controller.addNewRecord({ { QStringLiteral("source"), RecordController::SourceUIClick } })) {
            std::fprintf(stderr, "record %d could not be made\n", i);
            return false;
        }
    }
    std::printf("BENCH records_create_10k %.2f s\n", double(timer.nsecsElapsed()) / 1e9);
    return true;
}

bool recalculateWarranties(const QTemporaryDir &dir, int count)
{
    static const char *const increments[] = { "Days", "Weeks", "Months", "Years", "Lifetime" };
    const QString package = dir.filePath(QStringLiteral("Warranty.stashlyd"));
    const QDateTime start(QDate(2024, 1, 1), QTime(12, 0), Qt::UTC);
    Clock::setNow(start);
    {
        auto library = openLibrary(package);
        if (!library)
            return false;
        ManagedObjectContext *context = &library->context();
        for (int i = 0; i < count; ++i) {
            Record *r = Record::from(context->insertNewObject(Record::Entity));
            r->setRecordID(Clock::timeIntervalSinceReferenceDate() + i);
            r->setItem(QStringLiteral("Item %1").arg(i));
            r->setPurchaseDate(start.addDays(-(i % 1500)));
            r->setWarrantyLengthNumber(1 + i % 5);
            r->setWarrantyLengthIncrement(QLatin1String(increments[i % 4]));
            if (i % 3 == 0) {
                r->setXWarrantyLengthNumber(1 + i % 3);
                r->setXWarrantyLengthIncrement(QLatin1String(increments[(i / 3) % 5]));
                r->setAddon(i % 2 == 0);
            }
        }
        QString error;
        if (!context->save(&error)) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(error));
            return false;
        }
    }
    Clock::setNow(start.addDays(1));
    QElapsedTimer timer;
    timer.start();
    auto library = openLibrary(package);
    if (!library)
        return false;
    ManagedObjectContext *context = &library->context();
    std::printf("BENCH warranty_open_50k %.1f ms\n", double(timer.nsecsElapsed()) / 1e6);
    const QList<ManagedObject *> records = context->executeFetchRequest({ Record::Entity, {}, {}, 0 });
    std::vector<double> runs;
    for (int run = 0; run < 5; ++run) {
        Clock::setNow(start.addDays(2 + run));
        timer.restart();
        Record::recalculateWarranties(records);
        runs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(runs.begin(), runs.end());
    std::printf("BENCH warranty_recalc_50k %.1f ms\n", runs[runs.size() / 2]);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Record::registerClass();
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    bool ok = qEnvironmentVariableIsSet("BENCH_WARRANTY_ONLY") || createRecords(dir, 10000);
    if (qEnvironmentVariableIsSet("BENCH_CREATE_ONLY"))
        return ok ? 0 : 1;
    ok = recalculateWarranties(dir, 50000) && ok;
    return ok ? 0 : 1;
}
