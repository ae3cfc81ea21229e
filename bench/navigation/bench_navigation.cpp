// Navigation over libraries of 10,000, 50,000 and 200,000 records (or those of
// --records N, repeatable), offscreen with real views, each size in a process
// of its own. Prints the median of several runs, with the size in thousands:
//   BENCH sourcelist_refresh_<n>k <ms> ms  the source list rebuilt with every badge
//   BENCH search_<n>k <ms> ms              a search typed in All Records until the list shows it
//   BENCH row_select_<n>k <ms> ms          a category row selected until the views are refreshed
// Run: QT_QPA_PLATFORM=offscreen build/bench/navigation/bench_navigation [--records N ...]

#include "core/Library.h"
#include "core/Record.h"
#include "navigation/ListViewController.h"
#include "navigation/NavigationControllers.h"
#include "navigation/RecordListModel.h"
#include "navigation/SearchFieldController.h"
#include "navigation/SmartFolder.h"
#include "navigation/SourceListController.h"
#include "navigation/SourceListModel.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"
#include "store/ManagedObjectContext.h"
#include "store/ToManySet.h"
#include "ui/RecordListView.h"
#include "ui/SourceListView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kCategories = 12;
int kRecords = 50000;

void fill(ManagedObjectContext &context)
{
    static const char *const items[] = { "Desk Lamp", "Armchair",         "Crème brûlée torch", "Television",
                                         "Bicycle",   "Espresso machine", "Kühlschrank",        "Laptop computer" };
    static const char *const places[] = { "Home", "Work", "Garage", "Cellar", "Attic" };
    for (int c = 0; c < kCategories; ++c) {
        ManagedObject *category = context.insertNewObject(QStringLiteral("Category"));
        category->setValue(QStringLiteral("categoryName"), QStringLiteral("Category %1").arg(c));
        category->setValue(QStringLiteral("categoryType"), QStringLiteral("Stuff"));
    }
    for (const char *place : places)
        context.insertNewObject(QStringLiteral("Location"))
            ->setValue(QStringLiteral("locationName"), QString::fromLatin1(place));
    const struct
    {
        const char *name;
        const char *format;
    } folders[]
        = { { "Warranty Warning", "((%K > 1) AND (%K < 31))" }, { "Warranty Expired", "((%K == 0) || (%K == nil))" } };
    for (const auto &f : folders) {
        ManagedObject *folder = context.insertNewObject(SmartFolder::entityName);
        folder->setValue(SmartFolder::smartFolderNameKey, QString::fromLatin1(f.name));
        SmartFolder::setPredicate(folder,
                                  Predicate::orPredicate({ Predicate::fromFormat(
                                      QString::fromLatin1(f.format),
                                      { QStringLiteral("warrantyLevel"), QStringLiteral("warrantyLevel") }) }));
    }
    const QDateTime start(QDate(2005, 1, 1), QTime(9, 30), Qt::UTC);
    for (int i = 0; i < kRecords; ++i) {
        ManagedObject *r = context.insertNewObject(QStringLiteral("Record"));
        const QString n = QString::number(i);
        r->setValue(QStringLiteral("recordID"), 420000000.0 + i);
        r->setValue(QStringLiteral("item"), QString::fromUtf8(items[i % 8]) + u' ' + n);
        r->setValue(QStringLiteral("manufacturer"), QStringLiteral("Maker %1").arg(i % 97));
        r->setValue(QStringLiteral("model"), QStringLiteral("M-%1").arg(i % 1000));
        r->setValue(QStringLiteral("serialNumber"), QStringLiteral("SN%1X").arg(i * 7919));
        r->setValue(QStringLiteral("category"), QStringLiteral("Category %1").arg(i % kCategories));
        r->setValue(QStringLiteral("location"), QString::fromLatin1(places[i % 5]));
        r->setValue(QStringLiteral("paymentMethod"), i % 3 ? QStringLiteral("Credit Card") : QStringLiteral("Cash"));
        r->setValue(QStringLiteral("vendorName"), QStringLiteral("Vendor %1").arg(i % 50));
        r->setValue(QStringLiteral("purchaseDate"), start.addSecs(qint64(i) * 3607));
        r->setValue(QStringLiteral("purchasePrice"), 10.0 + (i % 1000) * 1.25);
        r->setValue(QStringLiteral("currency"), QStringLiteral("$ - USD"));
        r->setValue(QStringLiteral("replacementCost"), 12.5 + (i % 700) * 2.5);
        r->setValue(QStringLiteral("recordQty"), 1);
        r->setValue(QStringLiteral("condition"), i % 5);
        r->setValue(QStringLiteral("labelIndex"), i % 8);
        r->setValue(QStringLiteral("insured"), i % 2 == 0);
        r->setValue(QStringLiteral("warrantyLevel"), double(i % 101));
        r->setValue(QStringLiteral("tags"), QStringLiteral("office,light,tag%1").arg(i % 30));
        r->setValue(QStringLiteral("notes"),
                    QStringLiteral("Bought on a rainy day together with the matching parts, number %1.").arg(i));
        ManagedObject *field = context.insertNewObject(QStringLiteral("RecordCustomField"));
        field->setValue(QStringLiteral("cfName"), QStringLiteral("Size"));
        field->setValue(QStringLiteral("cfTextField"), QStringLiteral("Large ") + n);
        r->mutableSetValueForKey(QStringLiteral("customField")).addObject(field);
    }
}

double medianMs(int runs, const std::function<void(int)> &prepare, const std::function<void(int)> &work)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        prepare(run);
        QElapsedTimer timer;
        timer.start();
        work(run);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QList<int> sizes;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2)
        if (args.at(i) == QLatin1String("--records"))
            sizes << args.at(i + 1).toInt();
    if (sizes.isEmpty())
        sizes = { 10000, 50000, 200000 };
    if (sizes.size() > 1) {
        // One process per size, so that one size's caches and memory do not
        // carry over into the next.
        for (int n : sizes) {
            QProcess child;
            child.setProcessChannelMode(QProcess::ForwardedChannels);
            child.start(args.at(0), { QStringLiteral("--records"), QString::number(n) });
            if (!child.waitForFinished(-1) || child.exitCode() != 0)
                return 1;
        }
        return 0;
    }
    kRecords = sizes.first();
    const QByteArray suffix = QStringLiteral("_%1k").arg(kRecords / 1000).toLatin1();

    QTemporaryDir dir;
    const QString package = dir.filePath(QStringLiteral("Bench.stashlyd"));
    QString error;
    // Opened as the window opens its library.
    std::unique_ptr<Library> library = Library::open({ package, Library::Access::Change, 0, {} }, &error);
    if (!library) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    ManagedObjectContext *context = &library->context();
    QElapsedTimer fillTimer;
    fillTimer.start();
    fill(*context);
    context->save();
    std::fprintf(stderr, "  library of %d records made in %lld ms\n", kRecords, fillTimer.elapsed());

    NavigationControllers nav(context);
    // The window's own views: the source list and the record list.
    SourceListView tree(&nav.sourceList());
    RecordListView table(&nav.listView());
    RecordListModel &listModel = *table.recordModel();
    table.resize(1000, 600);
    tree.show();
    table.show();
    nav.start(0);
    while (nav.sourceList().currentRowName() != QLatin1String("All Records"))
        QCoreApplication::processEvents();
    tree.expandAll();
    // The search index is made during the first idle moments after launch.
    while (VisibleAssetController::sharedManager().isPreparingSearch())
        QCoreApplication::processEvents();

    // Until the views have taken the change: pending refreshes and the views' events.
    const auto settle = [&] {
        nav.flushPendingRefreshes();
        QCoreApplication::processEvents();
    };
    settle();

    const double refresh = medianMs(
        7, [](int) {},
        [&](int) {
            nav.sourceList().refreshDataWithACUpdate(true);
            QCoreApplication::processEvents();
        });
    std::printf("BENCH sourcelist_refresh%s %.1f ms\n", suffix.constData(), refresh);
    std::fflush(stdout);

    const QStringList words = { "lamp", "maker 4", "2009", "rainy", "large 123" };
    const double search = medianMs(
        7,
        [&](int) {
            nav.searchField().searchFieldSearch(QString());
            settle();
        },
        [&](int run) {
            nav.searchField().searchFieldSearch(words.at(run % words.size()));
            settle();
        });
    std::printf("BENCH search%s %.1f ms\n", suffix.constData(), search);
    std::fprintf(stderr, "  last search shows %d rows\n", listModel.rowCount());
    std::fflush(stdout);

    const QStringList names = nav.sourceList().visibleRowNames();
    const double select = medianMs(
        7,
        [&](int) {
            nav.sourceList().selectRow(1);
            settle();
        },
        [&](int run) {
            nav.sourceList().selectRow(int(names.indexOf(QStringLiteral("Category %1").arg(run % kCategories))));
            settle();
        });
    std::printf("BENCH row_select%s %.1f ms\n", suffix.constData(), select);
    std::fprintf(stderr, "  a category shows %d rows\n", listModel.rowCount());
    return 0;
}
