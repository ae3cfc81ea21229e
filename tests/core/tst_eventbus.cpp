#include "base/EventBus.h"
#include "base/Events.h"

#include <QTest>

class TestEventBus : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        EventBus &bus = EventBus::instance();
        for (const void *o : { static_cast<const void *>(&a), static_cast<const void *>(&b) })
            bus.remove(o);
    }

    void deliversSynchronouslyWithPayload()
    {
        QVariantMap seen;
        EventBus::instance().observe(&a, Events::TBXRecordReqUpdate, [&](const Event &e) { seen = e.userInfo; });
        EventBus::instance().post(Events::TBXRecordReqUpdate, nullptr,
                                  { { EventKeys::recAccessorName, QStringLiteral("setItem") } });
        QCOMPARE(seen.value(EventKeys::recAccessorName).toString(), QStringLiteral("setItem"));
    }

    void senderFilter_data()
    {
        QTest::addColumn<bool>("fromWatchedSender");
        QTest::addColumn<int>("expectedCalls");
        QTest::newRow("watched sender") << true << 1;
        QTest::newRow("other sender") << false << 0;
    }

    void senderFilter()
    {
        QFETCH(bool, fromWatchedSender);
        QFETCH(int, expectedCalls);
        int watched = 0, anySender = 0;
        int senderA = 0, senderB = 0;
        EventBus::instance().observe(
            &a, Events::TBXCategoryUpdated, [&](const Event &) { ++watched; }, &senderA);
        EventBus::instance().observe(&b, Events::TBXCategoryUpdated, [&](const Event &) { ++anySender; });
        EventBus::instance().post(Events::TBXCategoryUpdated, fromWatchedSender ? &senderA : &senderB);
        QCOMPARE(watched, expectedCalls);
        QCOMPARE(anySender, 1);
    }

    void observerRemovedDuringDeliveryIsNotCalled()
    {
        int bCalls = 0;
        // a runs first or second; either way b must not be called once a removed it.
        EventBus::instance().observe(&a, Events::TBXViewModeChanged,
                                     [&](const Event &) { EventBus::instance().remove(&b); });
        EventBus::instance().observe(&b, Events::TBXViewModeChanged, [&](const Event &) { ++bCalls; });
        EventBus::instance().post(Events::TBXViewModeChanged);
        QVERIFY(bCalls <= 1);
        EventBus::instance().post(Events::TBXViewModeChanged);
        QVERIFY(bCalls <= 1);
        QCOMPARE(EventBus::instance().observerCount(Events::TBXViewModeChanged), 1);
    }

    void selfRemovalAndReentrantPost()
    {
        int calls = 0;
        EventBus::instance().observe(&a, Events::TBXTagsUpdating, [&](const Event &) {
            ++calls;
            EventBus::instance().remove(&a);
            EventBus::instance().post(Events::TBXTagsUpdating); // nobody left: a no-op
        });
        EventBus::instance().post(Events::TBXTagsUpdating);
        EventBus::instance().post(Events::TBXTagsUpdating);
        QCOMPARE(calls, 1);
    }

    void eventWithoutObserverIsNoOp()
    {
        EventBus::instance().post(Events::TBXHandleDownloadedMedia, this, { { EventKeys::files, QStringList() } });
        QCOMPARE(EventBus::instance().observerCount(Events::TBXHandleDownloadedMedia), 0);
    }

    void removeOneNameKeepsTheOthers()
    {
        int first = 0, second = 0;
        EventBus::instance().observe(&a, Events::TBXLocationAdded, [&](const Event &) { ++first; });
        EventBus::instance().observe(&a, Events::TBXLocationDeleted, [&](const Event &) { ++second; });
        EventBus::instance().remove(&a, Events::TBXLocationAdded);
        EventBus::instance().post(Events::TBXLocationAdded);
        EventBus::instance().post(Events::TBXLocationDeleted);
        QCOMPARE(first, 0);
        QCOMPARE(second, 1);
    }

    void constantsEqualTheirNames()
    {
        // The catalogue is generated from one list; check the list is whole and
        // every value reads as its own name would.
        QCOMPARE(Events::allProgramEvents.size(), 63);
        QCOMPARE(QSet<QString>(Events::allProgramEvents.begin(), Events::allProgramEvents.end()).size(), 63);
        for (const QString &name : Events::allProgramEvents)
            QVERIFY2(name.startsWith(QLatin1String("TBX")), qPrintable(name));
        QCOMPARE(Events::TBXStashly2FirstRun, QStringLiteral("TBXStashly2FirstRun"));
        QCOMPARE(EventKeys::recAccessorName, QStringLiteral("recAccessorName"));
    }

    // Each catalogue's list holds its constants, each once; the events of the
    // program and the platform's notifications share no name.
    void everyCatalogueListsItsConstants_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("text");
        QTest::newRow("program events") << Events::allProgramEvents << Events::TBXTabBarViewSelectedTab
                                        << "TBXTabBarViewSelectedTab";
        QTest::newRow("platform notifications")
            << Events::allPlatformNotifications << Events::ManagedObjectContextObjectsDidChange
            << "ManagedObjectContextObjectsDidChange";
        QTest::newRow("payload keys") << EventKeys::allKeys << EventKeys::currencySelection << "currencySelection";
    }

    void everyCatalogueListsItsConstants()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, member);
        QFETCH(QString, text);
        QCOMPARE(member, text);
        QVERIFY(list.contains(member));
        QCOMPARE(QSet<QString>(list.begin(), list.end()).size(), list.size());
        for (const QString &name : list)
            QVERIFY2(!name.isEmpty() && !name.contains(QLatin1Char(' ')), qPrintable(name));
        const QSet<QString> program(Events::allProgramEvents.begin(), Events::allProgramEvents.end());
        for (const QString &name : Events::allPlatformNotifications)
            QVERIFY2(!program.contains(name), qPrintable(name));
    }

private:
    int a = 0;
    int b = 0;
};

QTEST_GUILESS_MAIN(TestEventBus)
#include "tst_eventbus.moc"
