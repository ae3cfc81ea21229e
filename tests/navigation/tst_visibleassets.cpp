#include "NavigationTestSupport.h"

#include "base/Events.h"
#include "navigation/ListViewController.h"
#include "navigation/LocationBarController.h"
#include "navigation/NavigationControllers.h"
#include "navigation/RecordFilterCombination.h"
#include "navigation/RecordSearchIndex.h"
#include "navigation/SearchFieldController.h"
#include "navigation/SelectedAssets.h"
#include "navigation/SourceListController.h"
#include "navigation/VisibleAssetController.h"
#include "predicate/SearchPredicate.h"
#include "store/ArrayController.h"

#include <QTimeZone>

#include <ctime>

using namespace NavigationTestSupport;

// Which records the views show: the combination of row, search and location,
// the search itself, the records of a row and smart folder contents.
class TestVisibleAssets : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> m_lib;
    std::unique_ptr<NavigationControllers> m_nav;

    void makeLibrary()
    {
        m_lib = std::make_unique<TestLibrary>();
        for (const char *name : { "Tools", "Tools (garage)", "Tools.garage", "Kitchen" })
            m_lib->category(QString::fromLatin1(name));
        for (const char *name : { "Garage", "Attic" })
            m_lib->location(QString::fromLatin1(name));
        m_lib->defaultSmartFolders();
        m_lib->smartFolder(QStringLiteral("Red things"),
                           Predicate::orPredicate({ Predicate::fromFormat("labelIndex == '1'") }));
        m_lib->record({ { "item", "Desk Lamp" },
                        { "category", "Kitchen" },
                        { "location", "Attic" },
                        { "labelIndex", 1 },
                        { "tags", "office,light" } });
        m_lib->record({ { "item", "Crème brûlée torch" },
                        { "category", "Kitchen" },
                        { "location", "Garage" },
                        { "purchasePrice", 12.5 } });
        ManagedObject *drill = m_lib->record({ { "item", "drill" },
                                               { "category", "Tools" },
                                               { "location", "Garage" },
                                               { "notes", "Slightly scratched on the left side" } });
        m_lib->customField(drill, QStringLiteral("brass hinge"));
        // Local midnight on 1 January 2015, east of UTC: 2014 in UTC.
        m_lib->record({ { "item", "Anvil" },
                        { "category", "Tools (garage)" },
                        { "location", "Garage" },
                        { "labelIndex", 1 },
                        { "purchaseDate", QDateTime(QDate(2015, 1, 1), QTime(0, 0)) } });
        m_lib->record({ { "item", "Axe" }, { "category", "Tools.garage" } });
        m_lib->record({ { "recordQty", 1 } });
        QVERIFY(m_lib->save());
        // Purchase dates are set on insertion; only the anvil keeps one for the date search.
        for (ManagedObject *r : m_lib->context->executeFetchRequest({ "Record", Predicate(), {}, 0 }))
            if (r->valueForKey("item").toString() != QLatin1String("Anvil"))
                r->setValue("purchaseDate", QVariant());
        // Set last: a new purchase date recomputes the warranty.
        for (ManagedObject *r : m_lib->context->executeFetchRequest({ "Record", Predicate(), {}, 0 }))
            if (r->valueForKey("item").toString() == QLatin1String("Desk Lamp"))
                r->setValue("warrantyLevel", 20.0);
        QVERIFY(m_lib->save());
        m_nav = std::make_unique<NavigationControllers>(m_lib->context.get());
        m_nav->start(0);
        QTRY_COMPARE(m_nav->sourceList().currentRowName(), QStringLiteral("All Records"));
        m_nav->flushPendingRefreshes();
    }

    QStringList shownItems()
    {
        m_nav->flushPendingRefreshes();
        QStringList items = valuesOf(VisibleAssetController::sharedManager().recordArrayController().arrangedObjects(),
                                     QStringLiteral("item"));
        items.sort(Qt::CaseInsensitive);
        return items;
    }

    void selectRow(const QString &title)
    {
        m_nav->sourceList().selectRow(int(m_nav->sourceList().visibleRowNames().indexOf(title)));
    }

    Predicate categoryFilter(const QString &name)
    {
        return Predicate::fromFormat(QStringLiteral("%K == %@"), { QStringLiteral("category"), name });
    }

private slots:
    void cleanup()
    {
        m_nav.reset();
        m_lib.reset();
    }

    void combination_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("parts");

        QTest::newRow("nothing chosen: no filter") << "All Records"
                                                   << ""
                                                   << "" << QStringList();
        QTest::newRow("search in all records: the search alone") << "All Records"
                                                                 << ""
                                                                 << "lamp" << QStringList { "search" };
        QTest::newRow("category alone") << "Kitchen"
                                        << ""
                                        << "" << QStringList { "row" };
        QTest::newRow("location, search, category in that order")
            << "Kitchen"
            << "1"
            << "lamp" << QStringList { "location", "search", "row" };
        QTest::newRow("location and smart folder") << "Warranty Warning"
                                                   << "0"
                                                   << "" << QStringList { "location", "row" };
        QTest::newRow("location alone in all records") << "All Records"
                                                       << "0"
                                                       << "" << QStringList { "location" };
    }

    void combination()
    {
        QFETCH(QString, row);
        QFETCH(QString, location);
        QFETCH(QString, search);
        QFETCH(QStringList, parts);
        makeLibrary();
        selectRow(row);
        if (!location.isEmpty())
            m_nav->locationBar().setItemOn(location, true);
        m_nav->searchField().searchFieldSearch(search);
        m_nav->flushPendingRefreshes();

        const ArrayController &list = VisibleAssetController::sharedManager().recordArrayController();
        QList<Predicate> expected;
        for (const QString &part : parts) {
            if (part == QLatin1String("location"))
                expected.append(m_nav->locationBar().locationFilterPredicate());
            else if (part == QLatin1String("search"))
                expected.append(SearchPredicate::forSearchText(search));
            else if (row == QLatin1String("Warranty Warning"))
                expected.append(Predicate::orPredicate(
                    { Predicate::fromFormat("((%K > 1) AND (%K < 31))",
                                            { QStringLiteral("warrantyLevel"), QStringLiteral("warrantyLevel") }) }));
            else
                expected.append(categoryFilter(row));
        }
        const Predicate want = expected.isEmpty() ? Predicate()
            : expected.size() == 1                ? expected.first()
                                                  : Predicate::andPredicate(expected);
        QCOMPARE(list.filterPredicate(), want);
        if (parts == QStringList { "search" })
            QCOMPARE(list.filterPredicate().members().size(), 16);
    }

    void rowWithoutFolderLeavesFilter()
    {
        makeLibrary();
        selectRow(QStringLiteral("Kitchen"));
        m_nav->flushPendingRefreshes();
        const Predicate before = VisibleAssetController::sharedManager().recordArrayController().filterPredicate();
        EventBus::instance().post(Events::TBXSelectedSourceNameChanged, nullptr,
                                  { { "rowName", "No such folder" }, { "rowType", "Smart" } });
        m_nav->flushPendingRefreshes();
        QCOMPARE(VisibleAssetController::sharedManager().recordArrayController().filterPredicate(), before);
        QVERIFY(!RecordFilterCombination::combinedFilter({}, {}, "WebGroup", "Shops", {}));
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("items");

        QTest::newRow("a word only in the notes") << "scratched" << QStringList { "drill" };
        QTest::newRow("part of a custom field") << "brass" << QStringList { "drill" };
        QTest::newRow("a year, written in UTC") << "2014" << QStringList { "Anvil" };
        QTest::newRow("the local year is not the UTC year") << "2015" << QStringList();
        QTest::newRow("case and accents ignored") << "CREME BRULEE" << QStringList { "Crème brûlée torch" };
        QTest::newRow("a price as a plain number") << "12.5" << QStringList { "Crème brûlée torch" };
        QTest::newRow("a tag") << "office" << QStringList { "Desk Lamp" };
        QTest::newRow("a location") << "attic" << QStringList { "Desk Lamp" };
        QTest::newRow("a category with pattern characters") << "(garage)" << QStringList { "Anvil" };
        QTest::newRow("the text as typed: a trailing space") << "lamp " << QStringList();
        QTest::newRow("empty: everything")
            << "" << QStringList { "", "Anvil", "Axe", "Crème brûlée torch", "Desk Lamp", "drill" };
    }

    void search()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        makeLibrary();
        EventSpy spy({ Events::TBXSearchFieldUpdated });
        m_nav->searchField().searchFieldSearch(text);
        QCOMPARE(spy.events.size(), 1);
        QCOMPARE(spy.events.first().userInfo.value("predicateType").toString(),
                 text.isEmpty() ? QStringLiteral("empty") : QStringLiteral("simple"));
        QCOMPARE(shownItems(), items);
    }

    void searchIndexAgreesWithTheSearch_data()
    {
        QTest::addColumn<QString>("text");
        for (const char *text : { "scratched", "brass", "2014", "12.5", "12", "CREME", "brûlée", "office,light", "1",
                                  "0", "+0000", "-01-0", "garage", ") ", "Kitchen", "lamp ", "x" })
            QTest::newRow(text) << QString::fromUtf8(text);
    }

    void searchIndexAgreesWithTheSearch()
    {
        QFETCH(QString, text);
        makeLibrary();
        m_lib->record({ { "item", "Flag" }, { "insured", true }, { "recordQty", 12 }, { "replacementCost", 0.5 } });
        RecordSearchIndex &index = VisibleAssetController::sharedManager().searchIndex();
        const QList<ManagedObject *> all = VisibleAssetController::sharedManager().allRecords();
        const Predicate search = SearchPredicate::forSearchText(text);
        QList<ManagedObject *> expected;
        for (ManagedObject *r : all)
            if (search.evaluate(*r))
                expected.append(r);
        QCOMPARE(index.candidates(all, text), std::optional<QList<ManagedObject *>>(expected));
        QCOMPARE(RecordSearchIndex::searchTextIn(search), std::optional<QString>(text));
        QCOMPARE(RecordSearchIndex::searchTextIn(Predicate::andPredicate({ categoryFilter("Tools"), search })),
                 std::optional<QString>(text));
        QVERIFY(!RecordSearchIndex::searchTextIn(categoryFilter("Tools")));
    }

    void searchIndexFollowsChanges()
    {
        makeLibrary();
        m_nav->searchField().searchFieldSearch(QStringLiteral("walnut"));
        QCOMPARE(shownItems(), QStringList());
        ManagedObject *axe = VisibleAssetController::sharedManager().allRecords().at(4);
        axe->setValue(QStringLiteral("model"), QStringLiteral("Walnut handle"));
        m_nav->searchField().searchFieldSearch(QStringLiteral("walnut"));
        QCOMPARE(shownItems(), QStringList { "Axe" });
        m_lib->customField(VisibleAssetController::sharedManager().allRecords().at(0), QStringLiteral("walnut box"));
        m_nav->searchField().searchFieldSearch(QStringLiteral("walnut"));
        QCOMPARE(shownItems(), (QStringList { "Axe", "Desk Lamp" }));
    }

    void rowChangeClearsSearchKeepsLocation()
    {
        makeLibrary();
        selectRow(QStringLiteral("Kitchen"));
        m_nav->locationBar().setItemOn(QStringLiteral("1"), true); // Garage
        m_nav->searchField().searchFieldSearch(QStringLiteral("torch"));
        QCOMPARE(shownItems(), QStringList { "Crème brûlée torch" });
        selectRow(QStringLiteral("Tools"));
        QCOMPARE(m_nav->searchField().text(), QString());
        QCOMPARE(shownItems(), QStringList { "drill" });
        QCOMPARE(VisibleAssetController::sharedManager().recordArrayController().filterPredicate(),
                 Predicate::andPredicate({ m_nav->locationBar().locationFilterPredicate(), categoryFilter("Tools") }));
    }

    void recordsOfARow_data()
    {
        QTest::addColumn<QString>("rowType");
        QTest::addColumn<QString>("rowName");
        QTest::addColumn<QStringList>("items");

        QTest::newRow("category") << "Category"
                                  << "Tools" << QStringList { "drill" };
        QTest::newRow("category name with parentheses") << "Category"
                                                        << "Tools (garage)" << QStringList { "Anvil" };
        QTest::newRow("category name with a dot") << "Category"
                                                  << "Tools.garage" << QStringList { "Axe" };
        QTest::newRow("empty category") << "Category"
                                        << "Nothing" << QStringList();
        QTest::newRow("smart folder, ordered by item")
            << "Smart"
            << "Warranty Expired" << QStringList { "", "Anvil", "Axe", "Crème brûlée torch", "drill" };
        QTest::newRow("label stored as text") << "Smart"
                                              << "Red things" << QStringList { "Anvil", "Desk Lamp" };
        QTest::newRow("unknown folder") << "Smart"
                                        << "Nope" << QStringList();
        QTest::newRow("all records") << "All"
                                     << "All Records" << QStringList();
        QTest::newRow("web group") << "WebGroup"
                                   << "Shops" << QStringList();
    }

    void recordsOfARow()
    {
        QFETCH(QString, rowType);
        QFETCH(QString, rowName);
        QFETCH(QStringList, items);
        makeLibrary();
        // The search and the location filter never narrow a row's records.
        m_nav->searchField().searchFieldSearch(QStringLiteral("zzz"));
        m_nav->locationBar().setItemOn(QStringLiteral("0"), true);
        const QList<ManagedObject *> records
            = VisibleAssetController::sharedManager().visibleAssetsForRowIdentifier({}, rowName, rowType, true);
        QCOMPARE(valuesOf(records, QStringLiteral("item")), items);
    }

    void smartFolderContents()
    {
        makeLibrary();
        EventSpy spy({ Events::TBXFilteredSmartFolder });
        selectRow(QStringLiteral("Red things"));
        QCOMPARE(spy.events.size(), 1);
        QCOMPARE(spy.events.first().userInfo.value("folderName").toString(), QStringLiteral("Red things"));
        const QList<ManagedObject *> contents
            = SelectedAssets::fromVariant(spy.events.first().userInfo.value("folderContents"));
        QCOMPARE(valuesOf(contents, "item"), (QStringList { "Anvil", "Desk Lamp" }));
        ManagedObject *folder
            = VisibleAssetController::sharedManager().smartFolderArrayController().arrangedObjects().last();
        QCOMPARE(VisibleAssetController::sharedManager().contentsCount(folder), 2);
        QCOMPARE(m_nav->listView().smartFolderContents().value("Red things").size(), 2);
        QCOMPARE(shownItems(), (QStringList { "Anvil", "Desk Lamp" }));
    }
};

int main(int argc, char **argv)
{
    // East of UTC, so that local midnight on 1 January is the previous year in UTC.
    qputenv("TZ", "Asia/Tokyo");
    tzset();
    QCoreApplication app(argc, argv);
    TestVisibleAssets test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_visibleassets.moc"
