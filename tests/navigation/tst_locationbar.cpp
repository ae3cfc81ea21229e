#include "NavigationTestSupport.h"

#include "base/Events.h"
#include "navigation/LocationBarController.h"
#include "navigation/NavigationControllers.h"
#include "navigation/RecordViewController.h"
#include "navigation/SourceListController.h"
#include "navigation/ViewModeController.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"

using namespace NavigationTestSupport;

// The location bar: its two groups, the rules of "All" and the location items,
// the filter it posts, and its rebuilds.
class TestLocationBar : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> m_lib;
    std::unique_ptr<NavigationControllers> m_nav;

    LocationBarController &bar() { return m_nav->locationBar(); }

    void start(const QStringList &locations)
    {
        m_lib = std::make_unique<TestLibrary>();
        for (const QString &l : locations)
            m_lib->location(l);
        int n = 0;
        for (const QString &l : locations)
            m_lib->record({ { "item", QStringLiteral("Thing %1").arg(++n) }, { "location", l } });
        QVERIFY(m_lib->save());
        m_nav = std::make_unique<NavigationControllers>(m_lib->context.get());
        m_nav->start(0);
        QTRY_COMPARE(m_nav->sourceList().currentRowName(), QStringLiteral("All Records"));
    }

    QStringList onItems()
    {
        QStringList on;
        for (const LocationBarController::Group &g : bar().groups())
            for (const LocationBarController::Item &i : g.items)
                if (i.on)
                    on.append(i.identifier);
        return on;
    }

    int shownCount()
    {
        m_nav->flushPendingRefreshes();
        return int(VisibleAssetController::sharedManager().recordArrayController().arrangedObjects().size());
    }

private slots:
    void cleanup()
    {
        m_nav.reset();
        m_lib.reset();
    }

    void groups()
    {
        start({ "Kitchen", "attic", "Garage" });
        const QList<LocationBarController::Group> &groups = bar().groups();
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups.at(0).label, QStringLiteral("Viewing Locations:"));
        QVERIFY(!groups.at(0).separatorBefore);
        QVERIFY(groups.at(0).allowsMultipleSelection);
        QCOMPARE(groups.at(0).items.size(), 1);
        QCOMPARE(groups.at(0).items.first().identifier, QStringLiteral("AllItem"));
        QCOMPARE(groups.at(0).items.first().title, QStringLiteral("All"));
        QCOMPARE(groups.at(1).identifier, QStringLiteral("LocationGroup"));
        QVERIFY(groups.at(1).separatorBefore);
        QVERIFY(groups.at(1).allowsMultipleSelection);
        QStringList ids, titles;
        for (const auto &i : groups.at(1).items) {
            ids.append(i.identifier);
            titles.append(i.title);
        }
        QCOMPARE(ids, (QStringList { "0", "1", "2" }));
        QCOMPARE(titles, (QStringList { "attic", "Garage", "Kitchen" }));
        QCOMPARE(onItems(), QStringList { "AllItem" });
        QVERIFY(bar().allLocations());
        QCOMPARE(bar().buttonImage(), QStringLiteral("locationOffTemplate.png"));
    }

    void noLocations()
    {
        start({});
        QCOMPARE(bar().groups().at(1).items.size(), 1);
        QCOMPARE(bar().groups().at(1).items.first().identifier, QStringLiteral("NoneItem"));
        QCOMPARE(bar().groups().at(1).items.first().title, QStringLiteral("No Locations Defined"));
    }

    void rules_data()
    {
        QTest::addColumn<QStringList>("steps"); // "+id" turns on, "-id" turns off
        QTest::addColumn<bool>("all");
        QTest::addColumn<QStringList>("on");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("shown");

        QTest::newRow("one location") << QStringList { "+1" } << false << QStringList { "1" }
                                      << QStringList { "Garage" } << 1;
        QTest::newRow("two locations") << QStringList { "+1", "+2" } << false << QStringList { "1", "2" }
                                       << QStringList { "Garage", "Kitchen" } << 2;
        QTest::newRow("All off: every location on")
            << QStringList { "-AllItem" } << false << QStringList { "0", "1", "2" }
            << QStringList { "attic", "Garage", "Kitchen" } << 3;
        QTest::newRow("All on again: locations off")
            << QStringList { "+1", "+AllItem" } << true << QStringList { "AllItem" } << QStringList() << 3;
        QTest::newRow("every location off: nothing shown")
            << QStringList { "-AllItem", "-0", "-1", "-2" } << false << QStringList() << QStringList() << 0;
        QTest::newRow("a location off while All is on")
            << QStringList { "-1" } << false << QStringList() << QStringList() << 0;
    }

    void rules()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, all);
        QFETCH(QStringList, on);
        QFETCH(QStringList, names);
        QFETCH(int, shown);
        start({ "Kitchen", "attic", "Garage" });
        EventSpy spy({ Events::TBXLocationsDidFilter });
        for (const QString &step : steps)
            bar().setItemOn(step.mid(1), step.startsWith('+'));
        QCOMPARE(spy.events.size(), steps.size());
        QCOMPARE(bar().allLocations(), all);
        QCOMPARE(onItems(), all ? QStringList { "AllItem" } : on);
        const QVariantMap payload = spy.events.last().userInfo;
        if (all) {
            QVERIFY(payload.isEmpty());
            QVERIFY(bar().locationFilterPredicate().isEmpty());
            QCOMPARE(bar().buttonImage(), QStringLiteral("locationOffTemplate.png"));
        } else {
            const Predicate expected = Predicate::fromFormat(QStringLiteral("location IN %@"), { names });
            QCOMPARE(payload.value("locationFilterPredicate").value<Predicate>(), expected);
            QCOMPARE(bar().buttonImage(), QStringLiteral("locationOn.png"));
        }
        QCOMPARE(shownCount(), shown);
    }

    void filtersTheSharedList_data()
    {
        QTest::addColumn<int>("viewMode");
        QTest::newRow("icon view") << int(RecordViewController::IconMode);
        QTest::newRow("list view") << int(RecordViewController::ListMode);
        QTest::newRow("enhanced view") << int(RecordViewController::EnhancedMode);
    }

    // The bar sets the location filter alone on the shared record list as it
    // posts it, and clears it for all locations, whichever view is current.
    void filtersTheSharedList()
    {
        QFETCH(int, viewMode);
        start({ "Kitchen", "attic", "Garage" });
        m_nav->viewMode().setViewMode(viewMode);
        m_nav->flushPendingRefreshes();
        ArrayController &list = VisibleAssetController::sharedManager().recordArrayController();
        QCOMPARE(list.arrangedObjects().size(), 3);

        bar().setItemOn(QStringLiteral("1"), true); // Garage
        const Predicate garage = Predicate::fromFormat(QStringLiteral("location IN %@"), { QStringList { "Garage" } });
        QCOMPARE(list.filterPredicate(), garage);
        QCOMPARE(valuesOf(list.arrangedObjects(), QStringLiteral("item")), QStringList { "Thing 3" });
        QCOMPARE(shownCount(), 1);

        bar().setItemOn(LocationBarController::allItemIdentifier, true);
        QVERIFY(list.filterPredicate().isEmpty());
        QCOMPARE(list.arrangedObjects().size(), 3);
        QCOMPARE(shownCount(), 3);
    }

    void deletionGoesBackToAll()
    {
        start({ "Kitchen", "attic", "Garage" });
        bar().setItemOn(QStringLiteral("2"), true);
        QCOMPARE(shownCount(), 1);
        for (ManagedObject *l : m_lib->context->executeFetchRequest({ "Location", Predicate(), {}, 0 }))
            if (l->valueForKey("locationName").toString() == QLatin1String("attic"))
                m_lib->context->deleteObject(l);
        EventSpy spy({ Events::TBXLocationsDidFilter });
        EventBus::instance().post(Events::TBXLocationDeleted);
        QVERIFY(bar().allLocations());
        QCOMPARE(onItems(), QStringList { "AllItem" });
        QCOMPARE(bar().groups().at(1).items.size(), 2);
        QCOMPARE(spy.events.size(), 1);
        QVERIFY(spy.events.first().userInfo.isEmpty());
        QCOMPARE(shownCount(), 3);
    }

    void renameFiltersByTheNewName()
    {
        start({ "Kitchen", "attic", "Garage" });
        bar().setItemOn(QStringLiteral("1"), true); // Garage
        for (ManagedObject *l : m_lib->context->executeFetchRequest({ "Location", Predicate(), {}, 0 }))
            if (l->valueForKey("locationName").toString() == QLatin1String("Garage"))
                l->setValue("locationName", QStringLiteral("Garage North"));
        EventBus::instance().post(Events::TBXLocationNameUpdated, nullptr, { { "newName", "Garage North" } });
        QCOMPARE(onItems(), QStringList { "1" });
        QCOMPARE(bar().locationFilterPredicate(),
                 Predicate::fromFormat(QStringLiteral("location IN %@"), { QStringList { "Garage North" } }));
    }

    void rebuildOnLocationAdded()
    {
        start({ "Kitchen" });
        m_lib->location(QStringLiteral("Basement"));
        EventBus::instance().post(Events::TBXLocationAdded);
        QCOMPARE(bar().groups().at(1).items.size(), 2);
        QCOMPARE(bar().groups().at(1).items.first().title, QStringLiteral("Basement"));
    }
};

QTEST_MAIN(TestLocationBar)
#include "tst_locationbar.moc"
