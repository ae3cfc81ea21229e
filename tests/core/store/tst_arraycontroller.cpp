#include "StoreTestSupport.h"

#include "store/ArrayController.h"
#include "store/FetchEntityNamed.h"
#include "store/UndoManager.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace StoreTestSupport;

// Lists shown in the interface: content by fetch, arranged by filter and sort,
// a selection that follows its objects, and the program's filtered fetch.
class TestArrayController : public QObject
{
    Q_OBJECT

    std::unique_ptr<ManagedObjectContext> m_context;
    QTemporaryDir m_dir;
    int m_n = 0;

    static QStringList names(const QList<ManagedObject *> &objects)
    {
        QStringList result;
        for (ManagedObject *o : objects)
            result.append(o->valueForKey(QStringLiteral("locationName")).toString());
        return result;
    }

    ManagedObject *location(const QString &name)
    {
        for (ManagedObject *o : all(*m_context, QStringLiteral("Location")))
            if (o->valueForKey(QStringLiteral("locationName")).toString() == name)
                return o;
        return nullptr;
    }

private slots:
    void init()
    {
        m_context = openStore(m_dir.filePath(QStringLiteral("s%1").arg(++m_n)));
        for (const char *name : { "Kitchen", "attic", "Garage", "Cellar", "kitchen drawer" })
            m_context->insertNewObject(QStringLiteral("Location"))
                ->set(QStringLiteral("locationName"), QString::fromLatin1(name));
        m_context->insertNewObject(QStringLiteral("Category"))
            ->set(QStringLiteral("categoryName"), QStringLiteral("Tools"));
        QVERIFY(m_context->save());
        m_context->undoManager()->removeAllActions();
    }

    void arranges_data()
    {
        QTest::addColumn<QString>("fetch");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QList<SortDescriptor>>("sort");
        QTest::addColumn<QStringList>("arranged");
        const QList<SortDescriptor> byName { { "locationName", true, SortDescriptor::Comparison::CaseInsensitive } };
        QTest::newRow("content as fetched") << ""
                                            << "" << QList<SortDescriptor> {}
                                            << QStringList { "Kitchen", "attic", "Garage", "Cellar", "kitchen drawer" };
        QTest::newRow("sorted") << ""
                                << "" << byName
                                << QStringList { "attic", "Cellar", "Garage", "Kitchen", "kitchen drawer" };
        QTest::newRow("filtered and sorted")
            << ""
            << "locationName BEGINSWITH[c] \"k\"" << byName << QStringList { "Kitchen", "kitchen drawer" };
        QTest::newRow("fetch predicate, then filter")
            << "locationName CONTAINS \"a\""
            << "locationName CONTAINS[c] \"g\"" << byName << QStringList { "Garage" };
    }

    void arranges()
    {
        QFETCH(QString, fetch);
        QFETCH(QString, filter);
        QFETCH(QList<SortDescriptor>, sort);
        QFETCH(QStringList, arranged);
        ArrayController list(m_context.get(), QStringLiteral("Location"));
        list.setFetchPredicate(*Predicate::parse(fetch));
        QVERIFY(list.fetch());
        list.setFilterPredicate(*Predicate::parse(filter));
        list.setSortDescriptors(sort);
        QCOMPARE(names(list.arrangedObjects()), arranged);
    }

    void selectionFollowsItsObjects()
    {
        ArrayController list(m_context.get(), QStringLiteral("Location"));
        QVERIFY(list.fetch());
        QSignalSpy selectionChanges(&list, &ArrayController::selectionChanged);
        list.setSelectedObjects({ location(QStringLiteral("Garage")), location(QStringLiteral("Cellar")) });
        QCOMPARE(list.selectionIndexes(), (QList<int> { 2, 3 }));
        // Descending, case-sensitive: kitchen drawer, attic, Kitchen, Garage, Cellar.
        list.setSortDescriptors({ { QStringLiteral("locationName"), false } });
        QCOMPARE(names(list.selectedObjects()), (QStringList { "Garage", "Cellar" }));
        QCOMPARE(list.selectionIndexes(), (QList<int> { 3, 4 }));
        list.setFilterPredicate(*Predicate::parse(QStringLiteral("locationName BEGINSWITH \"G\"")));
        QCOMPARE(names(list.selectedObjects()), QStringList { "Garage" });
        QCOMPARE(list.selectionIndex(), 0);
        list.setSelectionIndexes({ 7 });
        QVERIFY(list.selectedObjects().isEmpty());
        list.setAvoidsEmptySelection(true);
        list.setSelectionIndexes({});
        QCOMPARE(list.selectionIndex(), 0);
        QVERIFY(selectionChanges.size() >= 3);
    }

    void filteredFetchRestoresTheList()
    {
        ArrayController list(m_context.get(), QStringLiteral("Location"));
        const Predicate search = *Predicate::parse(QStringLiteral("locationName CONTAINS[c] \"kitchen\""));
        const QList<SortDescriptor> sort { { QStringLiteral("locationName"), false } };
        QVERIFY(list.fetch());
        list.setFilterPredicate(search);
        list.setSortDescriptors(sort);
        list.setSelectedObjects({ location(QStringLiteral("Kitchen")) });
        const QList<ManagedObject *> arranged = list.arrangedObjects();

        // The user's search does not hide objects from a look-up in the same list.
        const QList<ManagedObject *> found = fetchEntityNamed(
            QStringLiteral("Location"),
            *Predicate::parse(QStringLiteral("locationName ENDSWITH \"e\" OR locationName == \"attic\"")), list,
            { { QStringLiteral("locationName"), true } });
        QCOMPARE(names(found), (QStringList { "Garage", "attic" }));
        const QList<ManagedObject *> categories = fetchEntityNamed(
            QStringLiteral("Category"), Predicate::fromFormat(QStringLiteral("categoryName == %@"), { "Tools" }), list);
        QCOMPARE(categories.size(), 1);
        QCOMPARE(categories.first()->entityName(), QStringLiteral("Category"));

        QCOMPARE(list.entityName(), QStringLiteral("Location"));
        QCOMPARE(list.filterPredicate(), search);
        QVERIFY(list.fetchPredicate().isEmpty());
        QCOMPARE(list.sortDescriptors(), sort);
        QCOMPARE(list.arrangedObjects(), arranged);
        QCOMPARE(names(list.selectedObjects()), QStringList { "Kitchen" });
    }

    void preparesContentAutomatically()
    {
        ArrayController list(m_context.get(), QStringLiteral("Location"));
        list.setAutomaticallyPreparesContent(true);
        QVERIFY(list.fetch());
        m_context->insertNewObject(QStringLiteral("Location"))
            ->set(QStringLiteral("locationName"), QStringLiteral("Loft"));
        m_context->deleteObject(location(QStringLiteral("attic")));
        QTRY_VERIFY(names(list.arrangedObjects()).contains(QStringLiteral("Loft")));
        QCOMPARE(list.arrangedObjects().size(), 5);
        QVERIFY(!names(list.arrangedObjects()).contains(QStringLiteral("attic")));
    }

    void newAndRemove()
    {
        ArrayController list(m_context.get(), QStringLiteral("Location"));
        QVERIFY(list.fetch());
        ManagedObject *added = list.newObject();
        QVERIFY(added);
        QCOMPARE(list.selectedObjects(), QList<ManagedObject *> { added });
        QCOMPARE(list.arrangedObjects().size(), 6);
        QCoreApplication::processEvents();
        list.setSelectedObjects({ location(QStringLiteral("Garage")), location(QStringLiteral("Cellar")) });
        list.remove();
        QCOMPARE(names(list.arrangedObjects()), (QStringList { "Kitchen", "attic", "kitchen drawer", "" }));
        QCOMPARE(all(*m_context, QStringLiteral("Location")).size(), 4);
        // Removing deletes from the store, as one undoable change.
        m_context->undoManager()->undo();
        QCOMPARE(all(*m_context, QStringLiteral("Location")).size(), 6);
    }
};

QTEST_GUILESS_MAIN(TestArrayController)
#include "tst_arraycontroller.moc"
