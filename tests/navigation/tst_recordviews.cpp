#include "NavigationTestSupport.h"

#include "base/Events.h"
#include "base/Settings.h"
#include "navigation/CollectionViewController.h"
#include "navigation/DragPayload.h"
#include "navigation/ListViewController.h"
#include "navigation/NavigationControllers.h"
#include "navigation/NoRecordSelectedController.h"
#include "navigation/RecordIconModel.h"
#include "navigation/RecordListColumn.h"
#include "navigation/RecordListModel.h"
#include "navigation/SearchFieldController.h"
#include "navigation/SelectedAssets.h"
#include "navigation/SourceListController.h"
#include "navigation/TBXImageBrowserItem.h"
#include "navigation/ViewModeController.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"

#include <QAbstractItemModelTester>
#include <QImage>
#include <QMimeData>

using namespace NavigationTestSupport;

// The list and icon views: refresh and hold, the view switch, columns, drops
// and drags, selections, new records, and their item models.
class TestRecordViews : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> m_lib;
    std::unique_ptr<NavigationControllers> m_nav;
    QList<ManagedObject *> m_records; // in recordID order

    ArrayController &list() { return VisibleAssetController::sharedManager().recordArrayController(); }

    void start(int viewMode = 1)
    {
        Settings::setValue(Settings::viewMode, viewMode);
        Settings::remove(ListViewController::hiddenColumnsKey);
        m_lib = std::make_unique<TestLibrary>();
        m_lib->category(QStringLiteral("Tools"));
        m_lib->category(QStringLiteral("Kitchen"));
        m_records.clear();
        for (const char *item : { "Saw", "anvil", "Drill", "Bowl" })
            m_records.append(
                m_lib->record({ { "item", QString::fromLatin1(item) },
                                { "category", QString::fromLatin1(*item == 'B' ? "Kitchen" : "Tools") } }));
        QVERIFY(m_lib->save());
        m_nav = std::make_unique<NavigationControllers>(m_lib->context.get());
        m_nav->start(0);
        QTRY_COMPARE(m_nav->sourceList().currentRowName(), QStringLiteral("All Records"));
        m_nav->flushPendingRefreshes();
    }

    QStringList shown()
    {
        m_nav->flushPendingRefreshes();
        return valuesOf(list().arrangedObjects(), QStringLiteral("item"));
    }

    void selectRow(const QString &title)
    {
        m_nav->sourceList().selectRow(int(m_nav->sourceList().visibleRowNames().indexOf(title)));
        m_nav->flushPendingRefreshes();
    }

    static QVariantMap files()
    {
        return { { "source", "external" }, { "filePathArray", QStringList { "/tmp/manual.pdf" } } };
    }

private slots:
    void cleanup()
    {
        m_nav.reset();
        m_lib.reset();
    }

    void listStartsHeldAndSortedByItem()
    {
        m_lib = std::make_unique<TestLibrary>();
        m_lib->record({ { "item", "b" } });
        m_lib->record({ { "item", "A" } });
        QVERIFY(m_lib->save());
        m_nav = std::make_unique<NavigationControllers>(m_lib->context.get());
        QVERIFY(m_nav->listView().holdsRefresh());
        QVERIFY(!m_nav->iconView().holdsRefresh());
        m_nav->start(0);
        QTRY_COMPARE(m_nav->sourceList().currentRowName(), QStringLiteral("All Records"));
        // The search field's empty search on the row change released the list.
        QVERIFY(!m_nav->listView().holdsRefresh());
        QCOMPARE(shown(), (QStringList { "A", "b" }));
    }

    void holdFlag()
    {
        start();
        EventBus::instance().post(Events::TBXRecordControllerReqDelayUpdate);
        QVERIFY(m_nav->listView().holdsRefresh());
        m_lib->record({ { "item", "Cup" }, { "category", "Kitchen" } });
        m_nav->listView().refreshNow();
        QCOMPARE(shown().size(), 4);
        EventBus::instance().post(Events::TBXRecordControllerReqUpdate, nullptr, { { "rowName", "Kitchen" } });
        QVERIFY(!m_nav->listView().holdsRefresh());
        // The source list force-selected the record's category.
        QCOMPARE(m_nav->sourceList().currentRowName(), QStringLiteral("Kitchen"));
        QCOMPARE(shown(), (QStringList { "Bowl", "Cup" }));
    }

    void viewSwitch()
    {
        start();
        selectRow("Tools");
        QCOMPARE(shown(), (QStringList { "anvil", "Drill", "Saw" }));
        EventSpy spy({ Events::TBXViewModeChanged });
        m_nav->viewMode().setViewMode(0);
        QCOMPARE(spy.events.first().userInfo.value("viewMode").toString(), QStringLiteral("icon"));
        QCOMPARE(Settings::integer(Settings::viewMode), 0);
        // Same row, now by recordID.
        QCOMPARE(shown(), (QStringList { "Saw", "anvil", "Drill" }));
        QCOMPARE(m_nav->iconView().itemCount(), 3);
        // The order stays when the list view comes back.
        m_nav->viewMode().setViewMode(1);
        QCOMPARE(shown(), (QStringList { "Saw", "anvil", "Drill" }));
        // The enhanced view keeps the list's records filtered.
        m_nav->viewMode().setViewMode(2);
        selectRow("Kitchen");
        QCOMPARE(shown(), QStringList { "Bowl" });
        QVERIFY(m_nav->listView().isCurrent());
        QVERIFY(!m_nav->iconView().isCurrent());
    }

    void storedViewMode_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("mode");
        QTest::newRow("never stored: list") << QVariant() << 1;
        QTest::newRow("icon") << QVariant(0) << 0;
        QTest::newRow("enhanced") << QVariant(2) << 2;
        QTest::newRow("out of range: list") << QVariant(7) << 1;
    }

    void storedViewMode()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, mode);
        if (stored.isValid())
            Settings::setValue(Settings::viewMode, stored);
        else
            Settings::remove(Settings::viewMode);
        QCOMPARE(ViewModeController().viewMode(), mode);
    }

    void columns()
    {
        start();
        ListViewController &view = m_nav->listView();
        QStringList ids;
        for (const auto &e : view.columnMenu())
            ids.append(e.identifier);
        QCOMPARE(ids,
                 (QStringList { "recordQty", "item", "manufacturer", "model", "serialNumber", "purchaseDate",
                                "vendorName", "purchasePrice", "replacementCost", "insured", "warrantyLevel",
                                "condition", "category", "labelIndex", "location" }));
        list().setSortDescriptors({ SortDescriptor("recordID") });
        EventBus::instance().post(Events::TBXStashly2FirstRun);
        QStringList hidden;
        for (const auto &e : view.columnMenu())
            if (!e.checked)
                hidden.append(e.identifier);
        QCOMPARE(hidden,
                 (QStringList { "recordQty", "serialNumber", "vendorName", "replacementCost", "insured", "category" }));
        QCOMPARE(shown(), (QStringList { "anvil", "Bowl", "Drill", "Saw" }));
        view.toggleColumn("model");
        QVERIFY(!view.isColumnVisible("model"));
        view.toggleColumn("category");
        QVERIFY(view.isColumnVisible("category"));
        // Kept for the next run.
        ListViewController next(m_lib->context.get());
        QVERIFY(!next.isColumnVisible("model"));
        QVERIFY(next.isColumnVisible("category"));
    }

    void listDrops_data()
    {
        QTest::addColumn<bool>("withFiles");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("onRow");
        QTest::addColumn<QString>("event");

        QTest::newRow("between rows: new record") << true << 1 << false << Events::TBXRecordListViewMakeNewRecord;
        QTest::newRow("below the rows: new record") << true << -1 << false << Events::TBXRecordListViewMakeNewRecord;
        QTest::newRow("onto a row: attached") << true << 2 << true << Events::TBXFilesDraggedToRecord;
        QTest::newRow("without files: refused") << false << 2 << true << QString();
    }

    void listDrops()
    {
        QFETCH(bool, withFiles);
        QFETCH(int, row);
        QFETCH(bool, onRow);
        QFETCH(QString, event);
        start();
        selectRow("Tools");
        EventSpy spy({ Events::TBXRecordListViewMakeNewRecord, Events::TBXFilesDraggedToRecord,
                       Events::TBXRecordListSelectionChanged });
        const QVariantMap payload = withFiles ? files() : QVariantMap { { "source", "external" } };
        QCOMPARE(m_nav->listView().performDrop(payload, row, onRow), !event.isEmpty());
        if (event.isEmpty()) {
            QVERIFY(spy.events.isEmpty());
            return;
        }
        QVariantMap expected = payload;
        expected.insert("rowName", "Tools");
        QCOMPARE(spy.named(event).size(), 1);
        QCOMPARE(spy.named(event).first().userInfo, expected);
        if (onRow) {
            // The row dropped on is selected first.
            QCOMPARE(list().selectionIndexes(), QList<int> { row });
            QCOMPARE(spy.events.first().name, Events::TBXRecordListSelectionChanged);
        }
    }

    void iconDrops_data()
    {
        QTest::addColumn<bool>("withFiles");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("onItem");
        QTest::addColumn<QString>("event");

        QTest::newRow("between items: new record") << true << 1 << false << Events::TBXBrowserMakeNewRecord;
        QTest::newRow("onto an item: attached") << true << 2 << true << Events::TBXBrowserAddToRecord;
        QTest::newRow("without files: refused") << false << 2 << true << QString();
    }

    void iconDrops()
    {
        QFETCH(bool, withFiles);
        QFETCH(int, index);
        QFETCH(bool, onItem);
        QFETCH(QString, event);
        start(0);
        EventSpy spy({ Events::TBXBrowserMakeNewRecord, Events::TBXBrowserAddToRecord });
        const QVariantMap payload = withFiles ? files() : QVariantMap { { "source", "external" } };
        QCOMPARE(m_nav->iconView().performDrop(payload, index, onItem), !event.isEmpty());
        if (event.isEmpty()) {
            QVERIFY(spy.events.isEmpty());
            return;
        }
        QCOMPARE(spy.events.size(), 1);
        QCOMPARE(spy.events.first().name, event);
        QVariantMap expected = payload;
        expected.insert("rowName", "All Records");
        if (onItem) {
            // Icons are in recordID order: the third is the drill.
            expected.insert("targetMOID", m_records.at(index)->objectID().uriRepresentation());
            QCOMPARE(list().selectedObjects(), QList<ManagedObject *> { m_records.at(index) });
        }
        QCOMPARE(spy.events.first().userInfo, expected);
    }

    void drags()
    {
        start(0);
        RecordIconModel icons(&m_nav->iconView());
        std::unique_ptr<QMimeData> data(icons.mimeData({ icons.index(0), icons.index(2) }));
        QCOMPARE(DragPayload::recordURIs(data.get()),
                 (QStringList { m_records.at(0)->objectID().uriRepresentation(),
                                m_records.at(2)->objectID().uriRepresentation() }));
        // Dragged from the list onto a category row of the source list.
        m_nav->viewMode().setViewMode(1);
        RecordListModel rows(&m_nav->listView());
        m_nav->flushPendingRefreshes();
        std::unique_ptr<QMimeData> three(rows.mimeData({ rows.index(0, 1), rows.index(1, 1), rows.index(2, 1) }));
        const int kitchen = int(m_nav->sourceList().visibleRowNames().indexOf("Kitchen"));
        QVERIFY(m_nav->sourceList().acceptRecordDrop(kitchen, DragPayload::recordURIs(three.get())));
        selectRow("Kitchen");
        QCOMPARE(shown(), (QStringList { "Saw", "anvil", "Drill", "Bowl" }));
    }

    void iconSelection()
    {
        start(0);
        CollectionViewController &icons = m_nav->iconView();
        EventSpy spy({ Events::TBXImageBrowserSelectionChanged });
        icons.imageBrowserSelectionDidChange({ 1, 2 }, true);
        QCOMPARE(list().selectionIndexes(), (QList<int> { 1, 2 }));
        QCOMPARE(SelectedAssets::fromVariant(spy.events.last().userInfo.value("selectedAssets")).size(), 2);
        // A change that did not come from the user is put back.
        icons.imageBrowserSelectionDidChange({}, false);
        QCOMPARE(list().selectionIndexes(), (QList<int> { 1, 2 }));
        QCOMPARE(spy.events.size(), 1);
        icons.imageBrowserSelectionDidChange({}, true);
        QVERIFY(spy.events.last().userInfo.isEmpty());
        // Ignored while a web group is shown.
        EventBus::instance().post(Events::TBXSelectedSourceNameChanged, nullptr,
                                  { { "rowName", "Shops" }, { "rowType", "WebGroup" } });
        icons.imageBrowserSelectionDidChange({ 0 }, true);
        QCOMPARE(spy.events.size(), 2);
    }

    void listSelectionAndContextMenu()
    {
        start();
        ListViewController &view = m_nav->listView();
        NoRecordSelectedController &detail = m_nav->noRecordSelected();
        EventSpy spy({ Events::TBXRecordListSelectionChanged });
        QVERIFY(!detail.controlsEnabled());
        view.tableViewSelectionDidChange({ 0, 3 });
        QCOMPARE(spy.events.last().userInfo.value("rowType").toString(), QStringLiteral("Record"));
        QCOMPARE(SelectedAssets::fromVariant(spy.events.last().userInfo.value("selectedAssets")).size(), 2);
        QVERIFY(detail.controlsEnabled());
        // A right click on a selected row keeps the selection.
        QVERIFY(view.contextMenuForRow(3));
        QCOMPARE(list().selectionIndexes(), (QList<int> { 0, 3 }));
        // On another row: it alone.
        QVERIFY(view.contextMenuForRow(1));
        QCOMPARE(list().selectionIndexes(), QList<int> { 1 });
        // With one row selected the selection is published again.
        const int before = int(spy.events.size());
        QVERIFY(view.contextMenuForRow(1));
        QCOMPARE(spy.events.size(), before + 1);
        // Below the rows: nothing selected, no menu, the detail controls off.
        QVERIFY(!view.contextMenuForRow(-1));
        QVERIFY(list().selectionIndexes().isEmpty());
        QVERIFY(!detail.controlsEnabled());
    }

    void selectionLeavingTheListIsPublished_data()
    {
        QTest::addColumn<int>("viewMode");
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("event");
        QTest::newRow("list, searched away") << 1 << "search" << Events::TBXRecordListSelectionChanged;
        QTest::newRow("list, cleared by another controller") << 1 << "clear" << Events::TBXRecordListSelectionChanged;
        QTest::newRow("icons, searched away") << 0 << "search" << Events::TBXImageBrowserSelectionChanged;
    }

    void selectionLeavingTheListIsPublished()
    {
        QFETCH(int, viewMode);
        QFETCH(QString, how);
        QFETCH(QString, event);
        start(viewMode);
        if (viewMode == 1)
            m_nav->listView().tableViewSelectionDidChange({ 0 });
        else
            m_nav->iconView().imageBrowserSelectionDidChange({ 0 }, true);
        QVERIFY(m_nav->noRecordSelected().controlsEnabled());
        EventSpy spy({ event });
        if (how == QLatin1String("search"))
            m_nav->searchField().searchFieldSearch(QStringLiteral("no such thing"));
        else
            list().setSelectionIndexes({});
        QTRY_COMPARE(spy.events.size(), 1);
        QVERIFY(SelectedAssets::fromVariant(spy.events.first().userInfo.value("selectedAssets")).isEmpty());
        QVERIFY(!m_nav->noRecordSelected().controlsEnabled());
        // Nothing more while nothing changes.
        m_nav->listView().refresh();
        QTest::qWait(10);
        QCOMPARE(spy.events.size(), 1);
    }

    void newRecordStep_data()
    {
        QTest::addColumn<int>("viewMode");
        QTest::addColumn<QString>("rowName");
        QTest::addColumn<int>("shownCount");
        QTest::newRow("list, in a category") << 1 << "Kitchen" << 2;
        QTest::newRow("icon, in a category") << 0 << "Kitchen" << 2;
        QTest::newRow("icon, in all records") << 0 << "ALL RECORDS" << 5;
    }

    void newRecordStep()
    {
        QFETCH(int, viewMode);
        QFETCH(QString, rowName);
        QFETCH(int, shownCount);
        start(viewMode);
        if (rowName != QLatin1String("ALL RECORDS"))
            selectRow(rowName);
        EventBus::instance().post(Events::TBXRecordControllerReqDelayUpdate);
        ManagedObject *cup = m_lib->record({ { "item", "Cup" }, { "category", "Kitchen" } });
        EventSpy spy({ Events::TBXRecordListSelectionChanged, Events::TBXImageBrowserSelectionChanged });
        EventBus::instance().post(Events::TBXRecordControllerNewRecordAdded, nullptr,
                                  { { "selectedAssets", SelectedAssets::toVariant({ cup }) }, { "rowName", rowName } });
        QCOMPARE(list().arrangedObjects().size(), shownCount);
        QCOMPARE(list().selectedObjects(), QList<ManagedObject *> { cup });
        QCOMPARE(spy.events.size(), 1);
        QCOMPARE(spy.events.first().name,
                 viewMode == 0 ? Events::TBXImageBrowserSelectionChanged : Events::TBXRecordListSelectionChanged);
    }

    void listFollowsARecordIntoItsCategory()
    {
        start();
        selectRow("Tools");
        auto *drill = Record::from(m_records.at(2));
        drill->setDelayNotification(false);
        drill->setCategory(QStringLiteral("Kitchen"));
        QCOMPARE(m_nav->listView().rowName(), QStringLiteral("Kitchen"));
        QCOMPARE(shown(), (QStringList { "Bowl", "Drill" }));
    }

    void iconItems_data()
    {
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("subtitle");
        QTest::newRow("item") << QVariantMap { { "item", "Lamp" }, { "manufacturer", "Lux" }, { "model", "L2" } }
                              << "Lamp"
                              << "Lux L2";
        QTest::newRow("no item") << QVariantMap { { "manufacturer", "Lux" }, { "model", "L2" } } << "Lux L2"
                                 << "";
        QTest::newRow("nothing: a single space") << QVariantMap {} << " "
                                                 << "";
        QTest::newRow("missing model") << QVariantMap { { "item", "Lamp" }, { "manufacturer", "Lux" } } << "Lamp"
                                       << "Lux ";
    }

    void iconItems()
    {
        QFETCH(QVariantMap, values);
        QFETCH(QString, title);
        QFETCH(QString, subtitle);
        TestLibrary lib;
        values.insert("recordID", 420000123.25);
        ManagedObject *record = lib.record(values);
        const TBXImageBrowserItem item = TBXImageBrowserItem::fromRecord(record, "u1");
        QCOMPARE(item.imageTitle, title);
        QCOMPARE(item.imageSubtitle, subtitle);
        QCOMPARE(item.filename, QStringLiteral("420000123.250000"));
        QCOMPARE(item.recID, item.filename);
        QCOMPARE(item.moID, record->objectID());
    }

    void models()
    {
        start(0);
        // A thumbnail for the first record.
        QImage image(600, 300, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(m_lib->package + "/Thumbnails/" + Record::from(m_records.at(0))->recordIDText(), "JPG"));
        RecordIconModel icons(&m_nav->iconView());
        QAbstractItemModelTester iconTester(&icons, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(icons.rowCount(), 4);
        QCOMPARE(icons.data(icons.index(0)).toString(), QStringLiteral("Saw"));
        const QImage thumb = icons.data(icons.index(0), RecordIconModel::ThumbnailRole).value<QImage>();
        QCOMPARE(thumb.size(), QSize(256, 128));
        QVERIFY(icons.data(icons.index(1), RecordIconModel::ThumbnailRole).value<QImage>().isNull());

        m_nav->viewMode().setViewMode(1);
        RecordListModel rows(&m_nav->listView());
        QAbstractItemModelTester rowTester(&rows, QAbstractItemModelTester::FailureReportingMode::QtTest);
        m_records.at(0)->setValue("purchasePrice", 1234.5);
        m_records.at(0)->setValue("currency", "€ - EUR");
        m_records.at(0)->setValue("insured", true);
        m_records.at(0)->setValue("labelIndex", 2);
        m_records.at(0)->setValue("condition", 3);
        selectRow("Tools");
        QCOMPARE(rows.rowCount(), 3);
        const int saw = int(valuesOf(list().arrangedObjects(), "item").indexOf("Saw"));
        auto cell = [&](const char *column, int role = Qt::DisplayRole) {
            return rows.data(rows.index(saw, RecordListColumn::indexOf(QString::fromLatin1(column))), role);
        };
        QCOMPARE(cell("purchasePrice").toString(), QStringLiteral("€1,234.50"));
        QCOMPARE(cell("insured", Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QCOMPARE(cell("labelIndex").toString(), QStringLiteral("Orange"));
        QCOMPARE(cell("condition").toString(), QStringLiteral("★★★☆☆"));
        // Sorting by a column header sorts the shared record list.
        rows.sort(RecordListColumn::indexOf("item"), Qt::DescendingOrder);
        QCOMPARE(valuesOf(list().arrangedObjects(), "item"), (QStringList { "Saw", "Drill", "anvil" }));
    }
};

QTEST_MAIN(TestRecordViews)
#include "tst_recordviews.moc"
