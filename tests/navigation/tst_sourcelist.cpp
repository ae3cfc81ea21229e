#include "NavigationTestSupport.h"

#include "base/Events.h"
#include "navigation/NavigationControllers.h"
#include "navigation/SourceListController.h"
#include "navigation/SourceListModel.h"
#include "navigation/VisibleAssetController.h"
#include "store/UndoManager.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using namespace NavigationTestSupport;

// The source list: rows and their arithmetic, badges, the selection step and
// its events, refresh and re-selection rules, context menu, drops, midnight.
class TestSourceList : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> m_lib;
    std::unique_ptr<NavigationControllers> m_nav;

    SourceListController &list() { return m_nav->sourceList(); }

    // Books (2 records), Kitchen (none), Tools (3); the two warranty folders; two web groups.
    void makeStandardLibrary()
    {
        m_lib = std::make_unique<TestLibrary>();
        for (const char *name : { "Tools", "Books", "Kitchen" })
            m_lib->category(QString::fromLatin1(name));
        m_lib->defaultSmartFolders();
        m_lib->webGroup(QStringLiteral("Shops"));
        m_lib->webGroup(QStringLiteral("Stores"));
        const struct
        {
            const char *item;
            const char *category;
            double level;
        } records[] = { { "Drill", "Tools", 10 },
                        { "Saw", "Tools", 80 },
                        { "Hammer", "Tools", 0 },
                        { "Novel", "Books", 25 },
                        { "Atlas", "Books", -1 } };
        for (const auto &r : records) {
            QVariantMap values { { QStringLiteral("item"), QString::fromLatin1(r.item) },
                                 { QStringLiteral("category"), QString::fromLatin1(r.category) } };
            if (r.level >= 0)
                values.insert(QStringLiteral("warrantyLevel"), r.level);
            m_lib->record(values);
        }
        QVERIFY(m_lib->save());
    }

    void startNavigation()
    {
        m_nav = std::make_unique<NavigationControllers>(m_lib->context.get());
        m_nav->start(0);
        QTRY_COMPARE(list().tree().header(0)->childCount(), 1);
    }

    ManagedObject *named(const QString &entity, const QString &key, const QString &name)
    {
        for (ManagedObject *o : m_lib->context->executeFetchRequest({ entity, Predicate(), {}, 0 }))
            if (o->valueForKey(key).toString() == name)
                return o;
        return nullptr;
    }

    int rowOf(const QString &title) { return int(list().visibleRowNames().indexOf(title)); }

    static const QStringList &standardRows()
    {
        static const QStringList rows
            = { "ALL RECORDS",   "All Records",      "CATEGORIES",       "Books", "Kitchen", "Tools",
                "SMART FOLDERS", "Warranty Warning", "Warranty Expired", "WEB",   "Shops",   "Stores" };
        return rows;
    }

private slots:
    void contextMenuRowTypes_data()
    {
        QTest::addColumn<QString>("rowType");
        QTest::addColumn<int>("group"); // -1: no group
        QTest::addColumn<QString>("identifier");
        QTest::newRow("library") << "0" << int(SourceListTree::Group::Library) << "library";
        QTest::newRow("categories") << "1" << int(SourceListTree::Group::Categories) << "category";
        QTest::newRow("smart folders") << "2" << int(SourceListTree::Group::SmartFolders) << "sf";
        QTest::newRow("web groups") << "3" << int(SourceListTree::Group::Web) << "web";
        QTest::newRow("past the last") << "4" << -1 << "";
        QTest::newRow("negative") << "-1" << -1 << "";
        QTest::newRow("not a number") << "c_Tools" << -1 << "";
    }

    void contextMenuRowTypes()
    {
        QFETCH(QString, rowType);
        QFETCH(int, group);
        QFETCH(QString, identifier);
        const std::optional<SourceListTree::Group> found = SourceListTree::groupOfContextMenuRowType(rowType);
        QCOMPARE(found.has_value(), group >= 0);
        if (!found)
            return;
        QCOMPARE(int(*found), group);
        QCOMPARE(SourceListTree::contextMenuRowType(*found), rowType);
        const SourceListTree tree;
        QCOMPARE(tree.header(*found)->identifier, identifier);
        QCOMPARE(tree.indexForVisibleSourceListItemIncludingHeaders(tree.header(*found)), group);
    }

    void cleanup()
    {
        m_nav.reset();
        m_lib.reset();
    }

    void emptyLibrary()
    {
        m_lib = std::make_unique<TestLibrary>();
        startNavigation();
        QCOMPARE(list().visibleRowNames(),
                 QStringList({ "ALL RECORDS", "All Records", "CATEGORIES", "SMART FOLDERS", "WEB" }));
        for (int h = 0; h < SourceListTree::headerCount; ++h)
            QVERIFY(!list().tree().header(h)->badge);
        QCOMPARE(list().currentRowName(), QStringLiteral("All Records"));
        QCOMPARE(list().selectedRowIndexes(), QList<int> { 1 });
    }

    void visibleRows_data()
    {
        QTest::addColumn<QStringList>("collapsed");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("count");

        QTest::newRow("all expanded, All Records") << QStringList() << 1 << "All Records"
                                                   << "library" << 12;
        QTest::newRow("all expanded, a category") << QStringList() << 4 << "Kitchen"
                                                  << "category" << 12;
        QTest::newRow("all expanded, a header") << QStringList() << 6 << "SMART FOLDERS"
                                                << "sf" << 12;
        QTest::newRow("all expanded, last web group") << QStringList() << 11 << "Stores"
                                                      << "web" << 12;
        QTest::newRow("categories collapsed") << QStringList { "category" } << 3 << "SMART FOLDERS"
                                              << "sf" << 9;
        QTest::newRow("categories collapsed, folder") << QStringList { "category" } << 5 << "Warranty Expired"
                                                      << "sf" << 9;
        QTest::newRow("first group collapsed") << QStringList { "library" } << 1 << "CATEGORIES"
                                               << "category" << 11;
        QTest::newRow("all collapsed") << QStringList { "library", "category", "sf", "web" } << 3 << "WEB"
                                       << "web" << 4;
        QTest::newRow("past the end") << QStringList() << 12 << QString() << QString() << 12;
    }

    void visibleRows()
    {
        QFETCH(QStringList, collapsed);
        QFETCH(int, row);
        QFETCH(QString, title);
        QFETCH(QString, group);
        QFETCH(int, count);
        makeStandardLibrary();
        startNavigation();
        QCOMPARE(list().visibleRowNames(), standardRows());
        for (const QString &g : collapsed)
            list().setGroupExpanded(g, false);
        QCOMPARE(list().tree().visibleRowCount(), count);
        QCOMPARE(list().visibleRowItems().size(), count);
        const SourceListTree::Lookup lookup = list().sourceListItemAtIndex(row);
        QCOMPARE(lookup.sourceListItem ? lookup.sourceListItem->title : QString(), title);
        QCOMPARE(lookup.groupIdentifier, group);
        if (lookup.sourceListItem)
            QCOMPARE(list().indexForVisibleSourceListItemIncludingHeaders(lookup.sourceListItem), row);
    }

    void rowsAndBadges()
    {
        makeStandardLibrary();
        startNavigation();
        const QList<SourceListItem *> rows = list().visibleRowItems();
        QStringList identifiers, icons, badges;
        for (const SourceListItem *r : rows) {
            identifiers.append(r->identifier);
            icons.append(r->iconName);
            badges.append(r->badge ? QString::number(*r->badge) : QStringLiteral("-"));
        }
        QCOMPARE(identifiers,
                 QStringList({ "library", "library", "category", "c_Books", "c_Kitchen", "c_Tools", "sf",
                               "sf_Warranty Warning", "sf_Warranty Expired", "web", "w_Shops", "w_Stores" }));
        QCOMPARE(badges, QStringList({ "-", "-", "-", "2", "0", "3", "-", "2", "2", "-", "-", "-" }));
        QCOMPARE(icons.at(3), QStringLiteral("folder@2x.png"));
        QCOMPARE(icons.at(7), QStringLiteral("smartFolder@2x.png"));
        QCOMPARE(icons.at(10), QStringLiteral("globe@2x.png"));
        QVERIFY(icons.at(0).isEmpty() && icons.at(1).isEmpty());
        QCOMPARE(rows.at(3)->representedObject, named("Category", "categoryName", "Books"));
    }

    void selectionStep_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("rowType");
        QTest::addColumn<bool>("canDelete");
        QTest::addColumn<bool>("webView");

        QTest::newRow("category") << "Kitchen"
                                  << "Category" << true << false;
        QTest::newRow("smart folder") << "Warranty Expired"
                                      << "Smart" << true << false;
        QTest::newRow("web group") << "Shops"
                                   << "WebGroup" << true << true;
    }

    void selectionStep()
    {
        QFETCH(QString, title);
        QFETCH(QString, rowType);
        QFETCH(bool, canDelete);
        QFETCH(bool, webView);
        makeStandardLibrary();
        startNavigation();
        EventSpy spy({ Events::TBXSelectedSourceNameChanged });
        bool undoOffDuringStep = false;
        EventBus::instance().observe(this, Events::TBXSelectedSourceNameChanged, [&](const Event &) {
            undoOffDuringStep = !m_lib->context->undoManager()->isUndoRegistrationEnabled();
        });
        list().selectRow(rowOf(title));
        EventBus::instance().remove(this);
        QCOMPARE(spy.events.size(), 1);
        const QVariantMap payload = spy.events.first().userInfo;
        QCOMPARE(payload.value("rowName").toString(), title);
        QCOMPARE(payload.value("rowType").toString(), rowType);
        QCOMPARE(payload.value("canDelete").toBool(), canDelete);
        QCOMPARE(spy.events.first().object, static_cast<const void *>(list().selectedSourceRow()));
        QCOMPARE(list().showsWebView(), webView);
        QVERIFY(undoOffDuringStep);
        QVERIFY(m_lib->context->undoManager()->isUndoRegistrationEnabled());
        if (!webView) {
            QCOMPARE(VisibleAssetController::sharedManager().selectedRowName(), title);
            QCOMPARE(VisibleAssetController::sharedManager().selectedRowType(), rowType);
        }

        // All Records, back again.
        spy.clear();
        list().selectRow(1);
        QCOMPARE(spy.events.size(), 1);
        QCOMPARE(spy.events.first().userInfo.value("rowType").toString(), QStringLiteral("All"));
        QCOMPARE(spy.events.first().userInfo.value("canDelete").toBool(), false);
    }

    void sameTitleSelectsNothing()
    {
        makeStandardLibrary();
        // A smart folder with the same title as a category in another group.
        m_lib->smartFolder(QStringLiteral("Kitchen"), Predicate::orPredicate({ Predicate::fromFormat("item == 'x'") }));
        startNavigation();
        list().selectRow(rowOf(QStringLiteral("Kitchen")));
        EventSpy spy({ Events::TBXSelectedSourceNameChanged });
        list().selectRow(int(list().visibleRowNames().lastIndexOf(QStringLiteral("Kitchen"))));
        QVERIFY(spy.events.isEmpty());
        QCOMPARE(list().currentGroupIdentifier(), QStringLiteral("category"));
        // Headers cannot be selected.
        list().selectRow(2);
        QVERIFY(spy.events.isEmpty());
    }

    void selectionLeavesNothingToUndo()
    {
        makeStandardLibrary();
        startNavigation();
        UndoManager *undo = m_lib->context->undoManager();
        undo->removeAllActions();
        for (const char *title : { "Books", "Warranty Warning", "Shops", "All Records" })
            list().selectRow(rowOf(title));
        QTest::qWait(10);
        QVERIFY(!undo->canUndo());
    }

    void observedEventsRefresh_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<QVariantMap>("payload");
        for (const QString &name : { Events::UndoManagerDidUndoChange, Events::UndoManagerDidRedoChange,
                                     Events::TBXRefreshRequestOfSourceColumn, Events::TBXSmartFolderControllerReqUpdate,
                                     Events::TBXStashly1ImportReqRefresh, Events::TBXDestructionControllerReqRefresh,
                                     Events::TBXRecordReqUpdate, Events::TBXApplicationFinishedLaunching,
                                     Events::TBXAddCategoryReqRefresh, Events::TBXCategoryUpdated,
                                     Events::TBXWebGroupControllerReqRefresh, Events::TBXRecordControllerReqUpdate })
            QTest::newRow(qPrintable(name)) << name << QVariantMap { { "rowName", "Tools" } };
    }

    void observedEventsRefresh()
    {
        QFETCH(QString, event);
        QFETCH(QVariantMap, payload);
        makeStandardLibrary();
        startNavigation();
        m_lib->category(QStringLiteral("Garden"));
        m_lib->record({ { "item", "Rake" }, { "category", "Garden" } });
        QVERIFY(!list().visibleRowNames().contains(QStringLiteral("Garden")));
        EventBus::instance().post(event, nullptr, payload);
        list().flushPendingRefresh();
        const int row = rowOf(QStringLiteral("Garden"));
        QVERIFY(row > 0);
        QCOMPARE(*list().visibleRowItems().at(row)->badge, 1);
    }

    void refreshRequestsCoalesce()
    {
        makeStandardLibrary();
        startNavigation();
        QSignalSpy rebuilt(&list(), &SourceListController::treeRebuilt);
        for (int i = 0; i < 100; ++i)
            EventBus::instance().post(Events::TBXRecordReqUpdate, nullptr, { { "recAccessorName", "setCategory" } });
        QCOMPARE(rebuilt.count(), 0);
        QTest::qWait(10);
        QCOMPARE(rebuilt.count(), 1);
    }

    void refreshReselection_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QVariantMap>("payload");
        QTest::addColumn<QString>("expected");

        QTest::newRow("records deleted: same row") << "Tools"
                                                   << "delete record Saw" << Events::TBXDestructionControllerReqRefresh
                                                   << QVariantMap { { "itemType", "Asset" } } << "Tools";
        QTest::newRow("undo: same row") << "Tools"
                                        << "" << Events::TBXDestructionControllerReqRefresh
                                        << QVariantMap { { "methodCalled", "undo" } } << "Tools";
        QTest::newRow("first category deleted: the next takes its place")
            << "Books"
            << "delete category Books" << Events::TBXDestructionControllerReqRefresh
            << QVariantMap { { "itemType", "Category" } } << "Kitchen";
        QTest::newRow("last row deleted: the row above")
            << "Stores"
            << "delete group Stores" << Events::TBXDestructionControllerReqRefresh
            << QVariantMap { { "itemType", "WebGroup" } } << "Shops";
        QTest::newRow("folder above deleted: the row moved up")
            << "Warranty Expired"
            << "delete folder Warranty Warning" << Events::TBXDestructionControllerReqRefresh
            << QVariantMap { { "itemType", "Smart" } } << "Warranty Expired";
        QTest::newRow("row low in the list gone: selection step from row 1")
            << "Tools"
            << "delete category Books" << Events::TBXDestructionControllerReqRefresh
            << QVariantMap { { "itemType", "Category" } } << "All Records";
        QTest::newRow("record update: its category")
            << "Tools"
            << "" << Events::TBXRecordControllerReqUpdate << QVariantMap { { "rowName", "Kitchen" } } << "Kitchen";
        QTest::newRow("record update in all records")
            << "Tools"
            << "" << Events::TBXRecordControllerReqUpdate << QVariantMap { { "rowName", "ALL RECORDS" } } << "Tools";
        QTest::newRow("category renamed")
            << "Books"
            << "rename category Books Bookshelf" << Events::TBXCategoryUpdated
            << QVariantMap { { "rowName", "Bookshelf" }, { "rowType", "Category" } } << "Bookshelf";
        QTest::newRow("category added") << "Kitchen"
                                        << "add category Aardvark" << Events::TBXAddCategoryReqRefresh
                                        << QVariantMap { { "rowName", "Aardvark" } } << "Aardvark";
        QTest::newRow("web group edited")
            << "Books"
            << "" << Events::TBXWebGroupControllerReqRefresh << QVariantMap { { "rowName", "Shops" } } << "Shops";
        QTest::newRow("unknown category: stays")
            << "Kitchen"
            << "" << Events::TBXAddCategoryReqRefresh << QVariantMap { { "rowName", "Nowhere" } } << "Kitchen";
    }

    void refreshReselection()
    {
        QFETCH(QString, selected);
        QFETCH(QString, change);
        QFETCH(QString, event);
        QFETCH(QVariantMap, payload);
        QFETCH(QString, expected);
        makeStandardLibrary();
        startNavigation();
        list().selectRow(rowOf(selected));
        QCOMPARE(list().currentRowName(), selected);

        const QStringList words = change.split(' ');
        if (change.startsWith("delete record"))
            m_lib->context->deleteObject(named("Record", "item", words.at(2)));
        else if (change.startsWith("delete category"))
            m_lib->context->deleteObject(named("Category", "categoryName", words.at(2)));
        else if (change.startsWith("delete group"))
            m_lib->context->deleteObject(named("Group", "groupName", words.at(2)));
        else if (change.startsWith("delete folder"))
            m_lib->context->deleteObject(named("SmartFolder", "smartFolderName", change.mid(14)));
        else if (change.startsWith("rename category"))
            named("Category", "categoryName", words.at(2))->setValue("categoryName", words.at(3));
        else if (change.startsWith("add category"))
            m_lib->category(words.at(2));

        EventSpy spy({ Events::TBXSelectedSourceNameChanged });
        EventBus::instance().post(event, nullptr, payload);
        QCOMPARE(list().currentRowName(), expected);
        QCOMPARE(list().selectedRowIndexes(), QList<int> { rowOf(expected) });
        // The views hear of the row only when it changed.
        if (expected == selected && !change.startsWith("delete folder"))
            QVERIFY(spy.events.isEmpty());
        else
            QCOMPARE(spy.events.last().userInfo.value("rowName").toString(), expected);
    }

    void contextMenu_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("menu");
        QTest::addColumn<QString>("rowType");

        QTest::newRow("header") << "CATEGORIES" << false << "";
        QTest::newRow("first header") << "ALL RECORDS" << false << "";
        QTest::newRow("All Records") << "All Records" << false << "";
        QTest::newRow("category") << "Kitchen" << true << "Category";
        QTest::newRow("smart folder") << "Warranty Warning" << true << "Smart";
        QTest::newRow("web group") << "Stores" << true << "WebGroup";
    }

    void contextMenu()
    {
        QFETCH(QString, title);
        QFETCH(bool, menu);
        QFETCH(QString, rowType);
        makeStandardLibrary();
        startNavigation();
        int deletions = 0;
        list().setDeleteAction([&] { ++deletions; });
        EventSpy spy({ Events::TBXSelectedSourceNameChanged });
        const std::optional<SourceListController::ContextMenu> m = list().contextMenuForRow(rowOf(title));
        QCOMPARE(bool(m), menu);
        if (!menu) {
            QVERIFY(spy.events.isEmpty());
            return;
        }
        QCOMPARE(m->editTitle, QStringLiteral("Edit..."));
        QCOMPARE(m->deleteTitle, QStringLiteral("Delete '%1'").arg(title));
        QCOMPARE(list().currentRowName(), title);
        QCOMPARE(spy.events.last().userInfo.value("rowType").toString(), rowType);
        list().deleteSelectedRow();
        QCOMPARE(deletions, 1);
    }

    void doubleClick_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("key");
        QTest::newRow("category") << "Tools"
                                  << "categoryName";
        QTest::newRow("smart folder") << "Warranty Expired"
                                      << "smartFolderName";
        QTest::newRow("web group") << "Shops"
                                   << "webGroupName";
        QTest::newRow("all records") << "All Records"
                                     << "";
    }

    void doubleClick()
    {
        QFETCH(QString, title);
        QFETCH(QString, key);
        makeStandardLibrary();
        startNavigation();
        list().selectRow(rowOf(title));
        EventSpy spy({ Events::TBXSourceDoubleClicked });
        list().doubleClickAction();
        if (key.isEmpty()) {
            QVERIFY(spy.events.isEmpty());
            return;
        }
        QCOMPARE(spy.events.size(), 1);
        QCOMPARE(spy.events.first().userInfo, (QVariantMap { { key, title } }));
    }

    void drops_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("between");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("recordsAccepted");

        QTest::newRow("onto a category") << "Kitchen" << false << true << true;
        QTest::newRow("between rows") << "Kitchen" << true << false << false;
        QTest::newRow("onto a smart folder") << "Warranty Warning" << false << true << false;
        QTest::newRow("onto a web group") << "Shops" << false << true << false;
        QTest::newRow("onto All Records") << "All Records" << false << false << false;
        QTest::newRow("onto a header") << "CATEGORIES" << false << false << false;
    }

    void drops()
    {
        QFETCH(QString, title);
        QFETCH(bool, between);
        QFETCH(bool, valid);
        QFETCH(bool, recordsAccepted);
        makeStandardLibrary();
        startNavigation();
        const int row = rowOf(title);
        QCOMPARE(list().validateDrop(row, between), valid);

        QStringList uris;
        for (const char *item : { "Drill", "Saw", "Novel" })
            uris.append(named("Record", "item", item)->objectID().uriRepresentation());
        // The view asks for the drop only after validation accepted it.
        QCOMPARE(valid && list().acceptRecordDrop(row, uris), recordsAccepted);
        QStringList categories;
        for (const char *item : { "Drill", "Saw", "Novel" })
            categories.append(named("Record", "item", item)->valueForKey("category").toString());
        QCOMPARE(categories,
                 recordsAccepted ? QStringList({ title, title, title }) : QStringList({ "Tools", "Tools", "Books" }));
        QCOMPARE(m_lib->context->hasChanges(), false);

        EventSpy spy({ Events::TBXFilesDraggedToCategory });
        const QVariantMap payload { { "source", "external" }, { "filePathArray", QStringList { "/tmp/receipt.pdf" } } };
        QCOMPARE(valid && list().acceptFileDrop(row, payload), valid);
        QCOMPARE(spy.events.size(), valid ? 1 : 0);
        if (valid) {
            QVariantMap expected = payload;
            expected.insert("rowName", title);
            QCOMPARE(spy.events.first().userInfo, expected);
        }
        // A drop that carries no files is refused.
        QVERIFY(!list().acceptFileDrop(row, { { "source", "external" } }));
    }

    void midnight_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<bool>("recalculates");
        QTest::newRow("00:00") << QTime(0, 0, 30) << true;
        QTest::newRow("00:01") << QTime(0, 1) << false;
        QTest::newRow("23:59") << QTime(23, 59, 59) << false;
        QTest::newRow("12:00") << QTime(12, 0) << false;
    }

    void midnight()
    {
        QFETCH(QTime, time);
        QFETCH(bool, recalculates);
        makeStandardLibrary();
        for (int i = 0; i < 2500; ++i)
            m_lib->record({ { "item", QStringLiteral("Box %1").arg(i) } });
        startNavigation();
        QSet<ManagedObject *> recalculated;
        list().setWarrantyRecalculation([&](ManagedObject *r) { recalculated.insert(r); });
        list().setClock([time] { return QDateTime(QDate(2024, 3, 5), time); });
        QSignalSpy rebuilt(&list(), &SourceListController::treeRebuilt);
        list().midnightChecker();
        // Done in slices between interface events.
        QVERIFY(recalculated.size() < 2505);
        QTRY_VERIFY(!list().isRecalculating());
        QCOMPARE(recalculated.size(), recalculates ? 2505 : 0);
        QCOMPARE(rebuilt.count(), 0);
    }

    void wakeFromSleep_data()
    {
        QTest::addColumn<QDateTime>("before");
        QTest::addColumn<QDateTime>("after");
        QTest::addColumn<bool>("refreshes");
        QTest::addColumn<bool>("recalculates");
        const QDate day(2024, 3, 5);
        QTest::newRow("a minute later") << QDateTime(day, QTime(14, 0)) << QDateTime(day, QTime(14, 1)) << false
                                        << false;
        QTest::newRow("slept an hour") << QDateTime(day, QTime(14, 0)) << QDateTime(day, QTime(15, 0)) << true << false;
        QTest::newRow("slept through midnight")
            << QDateTime(day, QTime(23, 0)) << QDateTime(day.addDays(1), QTime(7, 0)) << true << true;
    }

    void wakeFromSleep()
    {
        QFETCH(QDateTime, before);
        QFETCH(QDateTime, after);
        QFETCH(bool, refreshes);
        QFETCH(bool, recalculates);
        makeStandardLibrary();
        startNavigation();
        int recalculated = 0;
        list().setWarrantyRecalculation([&](ManagedObject *) { ++recalculated; });
        QDateTime now = before;
        list().setClock([&now] { return now; });
        list().midnightChecker();
        m_lib->category(QStringLiteral("Garden"));
        QSignalSpy rebuilt(&list(), &SourceListController::treeRebuilt);
        now = after;
        list().midnightChecker();
        QTRY_VERIFY(!list().isRecalculating());
        QCOMPARE(rebuilt.count() > 0, refreshes);
        QCOMPARE(list().visibleRowNames().contains("Garden"), refreshes);
        QCOMPARE(recalculated, recalculates ? 5 : 0);
    }

    void finishedLaunching()
    {
        makeStandardLibrary();
        startNavigation();
        int recalculated = 0;
        list().setWarrantyRecalculation([&](ManagedObject *) { ++recalculated; });
        EventSpy spy({ Events::TBXSourceColumnLaunchComplete });
        EventBus::instance().post(Events::TBXApplicationFinishedLaunching);
        QCOMPARE(recalculated, 5);
        QVERIFY(spy.events.isEmpty());
        QTRY_COMPARE(spy.events.size(), 1);
        QCOMPARE(list().selectedRowIndexes(), QList<int> { 1 });
        QCOMPARE(list().currentRowName(), QStringLiteral("All Records"));
    }

    void model()
    {
        makeStandardLibrary();
        startNavigation();
        SourceListModel model(&list());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 4);
        const QModelIndex categories = model.index(1, 0);
        QCOMPARE(model.data(categories).toString(), QStringLiteral("CATEGORIES"));
        QCOMPARE(model.rowCount(categories), 3);
        const QModelIndex tools = model.index(2, 0, categories);
        QCOMPARE(model.data(tools).toString(), QStringLiteral("Tools"));
        QCOMPARE(model.data(tools, SourceListModel::BadgeRole).toInt(), 3);
        QVERIFY(!model.data(categories, SourceListModel::BadgeRole).isValid());
        QVERIFY(!(model.flags(categories) & Qt::ItemIsSelectable));
        QVERIFY(model.flags(tools) & Qt::ItemIsSelectable);
        // A rebuild resets the model.
        m_lib->category(QStringLiteral("Zoo"));
        EventBus::instance().post(Events::TBXRefreshRequestOfSourceColumn);
        list().flushPendingRefresh();
        QCOMPARE(model.rowCount(model.index(1, 0)), 4);
    }
};

QTEST_MAIN(TestSourceList)
#include "tst_sourcelist.moc"
