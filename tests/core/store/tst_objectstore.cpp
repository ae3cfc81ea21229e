#include "StoreTestSupport.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "store/Stashly2_DataModel.h"
#include "store/ToManySet.h"
#include "store/UndoManager.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace StoreTestSupport;

namespace {

// An entity class as Record will be one: it routes changes by name through its
// own setter and hears about its life through the hooks.
class HookedGroup : public ManagedObject
{
public:
    static inline QStringList log;

    bool setValue(const QString &key, const QVariant &value) override
    {
        log.append(QStringLiteral("setValue ") + key);
        return set(key, value.toString().trimmed());
    }

protected:
    void awakeFromInsert() override { log.append(QStringLiteral("insert")); }
    void awakeFromFetch() override
    {
        log.append(QStringLiteral("fetch ") + valueForKey(QStringLiteral("groupName")).toString());
    }
    void didChangeValueForKey(const QString &key, const QVariant &old) override
    {
        log.append(
            QStringLiteral("changed %1 from %2").arg(key, old.isValid() ? old.toString() : QStringLiteral("nil")));
    }
    void didChangeToManyKey(const QString &key, SetMutation mutation, ManagedObject *) override
    {
        log.append(QStringLiteral("%1 %2").arg(
            mutation == SetMutation::Add ? QStringLiteral("add") : QStringLiteral("remove"), key));
    }
    void prepareForDeletion() override { log.append(QStringLiteral("delete")); }
};

} // namespace

// The store keeps every attribute type through a save and a reopen, keeps
// to-many memberships on both sides, and identifies objects by URI.
class TestObjectStore : public QObject
{
    Q_OBJECT

    QString path() { return m_dir.filePath(QStringLiteral("sqldata%1").arg(++m_n)); }

private slots:
    void modelHasEveryEntity()
    {
        const ManagedObjectModel &model = Stashly2_DataModel::model();
        QCOMPARE(model.entities().size(), 17);
        QCOMPARE(model.entity(QStringLiteral("Record"))->attributes().size(), 34);
        QCOMPARE(model.entity(QStringLiteral("Category"))->attributeIndex(QStringLiteral("catAutoMfgWarranyMiles"))
                     >= 0,
                 true);
        QCOMPARE(model.entity(QStringLiteral("Group"))->relationships().first().destinationEntity,
                 QStringLiteral("Website"));
    }

    void entityClassesHookIn()
    {
        ManagedObject::registerEntityClass(QStringLiteral("Group"), [] { return std::make_unique<HookedGroup>(); });
        const QString file = path();
        {
            auto context = openStore(file);
            ManagedObject *group = context->insertNewObject(QStringLiteral("Group"));
            QVERIFY(dynamic_cast<HookedGroup *>(group));
            QVERIFY(group->setValue(QStringLiteral("groupName"), QStringLiteral("  Shops ")));
            group->set(QStringLiteral("groupName"), QStringLiteral("Shops")); // no change, no hook
            ManagedObject *site = context->insertNewObject(QStringLiteral("Website"));
            group->mutableSetValueForKey(QStringLiteral("website")).addObject(site);
            group->mutableSetValueForKey(QStringLiteral("website")).removeObject(site);
            QCoreApplication::processEvents();
            context->undoManager()->undo(); // the whole turn: the name goes back to none
            context->undoManager()->redo();
            QVERIFY(context->save());
        }
        auto context = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        context->deleteObject(all(*context, QStringLiteral("Group")).first());
        ManagedObject::registerEntityClass(QStringLiteral("Group"), nullptr);
        QCOMPARE(
            HookedGroup::log,
            (QStringList { "insert", "setValue groupName", "changed groupName from nil", "add website",
                           "remove website", "add website", "remove website", "changed groupName from Shops",
                           "changed groupName from nil", "add website", "remove website", "fetch Shops", "delete" }));
    }

    void attributeRoundTrip_data()
    {
        QTest::addColumn<QString>("entity");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("expected");
        const QDateTime moment(QDate(2014, 5, 2), QTime(4, 0, 0, 250), QTimeZone::utc());
        const QDateTime offset(QDate(2014, 5, 2), QTime(6, 0, 0, 250), QTimeZone(7200));
        QTest::newRow("text") << "Record"
                              << "item" << QVariant("Lamp") << QVariant("Lamp");
        QTest::newRow("text unicode") << "Record"
                                      << "notes" << QVariant(QByteArray("x")) << QVariant(QByteArray("x"));
        QTest::newRow("text accents") << "Location"
                                      << "locationName" << QVariant("Küche – Ø") << QVariant("Küche – Ø");
        QTest::newRow("text empty stays empty") << "Record"
                                                << "model" << QVariant(QString()) << QVariant(QString(""));
        QTest::newRow("text missing") << "Record"
                                      << "model" << QVariant() << QVariant();
        QTest::newRow("integer") << "Record"
                                 << "recordQty" << QVariant(3) << QVariant(qlonglong(3));
        QTest::newRow("integer large negative")
            << "Category"
            << "catAutoCurrentMileage" << QVariant(qlonglong(-1) << 40) << QVariant(qlonglong(-1) << 40);
        QTest::newRow("integer zero") << "Record"
                                      << "labelIndex" << QVariant(0) << QVariant(qlonglong(0));
        QTest::newRow("integer missing") << "Record"
                                         << "condition" << QVariant() << QVariant();
        QTest::newRow("number") << "Record"
                                << "recordID" << QVariant(421234567.125) << QVariant(421234567.125);
        QTest::newRow("number negative") << "Record"
                                         << "purchasePrice" << QVariant(-0.5) << QVariant(-0.5);
        QTest::newRow("number from float") << "Record"
                                           << "warrantyLevel" << QVariant(float(12.5)) << QVariant(12.5);
        QTest::newRow("boolean true") << "Record"
                                      << "insured" << QVariant(true) << QVariant(true);
        QTest::newRow("boolean false") << "Location"
                                       << "isDefault" << QVariant(false) << QVariant(false);
        QTest::newRow("boolean missing") << "Record"
                                         << "addon" << QVariant() << QVariant();
        QTest::newRow("date") << "Record"
                              << "purchaseDate" << QVariant(moment) << QVariant(moment);
        QTest::newRow("date with offset") << "Record"
                                          << "dateAdded" << QVariant(offset) << QVariant(moment);
        QTest::newRow("date before 1970")
            << "Category"
            << "catBuildingPurchDate" << QVariant(QDateTime(QDate(1931, 1, 1), QTime(0, 0), QTimeZone::utc()))
            << QVariant(QDateTime(QDate(1931, 1, 1), QTime(0, 0), QTimeZone::utc()));
        QTest::newRow("date missing") << "Record"
                                      << "purchaseDate" << QVariant() << QVariant();
        QTest::newRow("bytes binary") << "SmartFolder"
                                      << "predicateData" << QVariant(QByteArray("\x00\x01\xff", 3))
                                      << QVariant(QByteArray("\x00\x01\xff", 3));
        QTest::newRow("bytes empty stays empty") << "Record"
                                                 << "notes" << QVariant(QByteArray()) << QVariant(QByteArray(""));
        QTest::newRow("bytes missing") << "Record"
                                       << "notes" << QVariant() << QVariant();
    }

    void attributeRoundTrip()
    {
        QFETCH(QString, entity);
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QVariant, expected);
        const QString file = path();
        QString uri;
        {
            auto context = openStore(file);
            QVERIFY(context);
            ManagedObject *object = context->insertNewObject(entity);
            QVERIFY(object);
            // Start from another value so that a missing value is a real change.
            const auto type = object->entity().attributes().at(object->entity().attributeIndex(key)).type;
            object->set(key,
                        type == AttributeDescription::Type::Date ? QVariant(QDateTime::currentDateTimeUtc())
                                                                 : QVariant(QStringLiteral("1")));
            QVERIFY(object->set(key, value));
            QCOMPARE(object->valueForKey(key), expected);
            QVERIFY(context->save());
            uri = object->objectID().uriRepresentation();
        }
        auto context = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        QVERIFY(context);
        ManagedObject *object = context->objectWithID(*context->managedObjectIDForURIRepresentation(uri));
        QVERIFY(object);
        const QVariant read = object->valueForKey(key);
        QCOMPARE(read.isValid(), expected.isValid());
        if (expected.isValid()) {
            QCOMPARE(read.typeId(), expected.typeId());
            QCOMPARE(read, expected);
        }
        if (expected.typeId() == QMetaType::QString)
            QVERIFY(!read.toString().isNull());
    }

    void coercion_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("text for integer") << "recordQty" << QVariant("12") << true << QVariant(qlonglong(12));
        QTest::newRow("word for integer") << "recordQty" << QVariant("many") << false << QVariant(qlonglong(7));
        QTest::newRow("number for integer") << "recordQty" << QVariant(2.6) << true << QVariant(qlonglong(3));
        QTest::newRow("integer for text") << "item" << QVariant(5) << true << QVariant("5");
        QTest::newRow("1 for boolean") << "insured" << QVariant(1) << true << QVariant(true);
        QTest::newRow("YES for boolean") << "insured" << QVariant("YES") << true << QVariant(true);
        QTest::newRow("word for boolean") << "insured" << QVariant("maybe") << false << QVariant();
        QTest::newRow("day for date") << "purchaseDate" << QVariant(QDate(2020, 1, 2)) << true
                                      << QVariant(QDate(2020, 1, 2).startOfDay().toUTC());
        QTest::newRow("bad text for date") << "purchaseDate" << QVariant("yesterday") << false << QVariant();
        QTest::newRow("unknown key") << "colour" << QVariant("red") << false << QVariant();
    }

    void coercion()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(bool, accepted);
        QFETCH(QVariant, stored);
        auto context = openStore(path());
        ManagedObject *record = context->insertNewObject(QStringLiteral("Record"));
        record->set(QStringLiteral("recordQty"), 7);
        QCOMPARE(record->setValue(key, value), accepted);
        QCOMPARE(record->valueForKey(key), stored);
    }

    void onlyRealChangesAreAnnounced()
    {
        auto context = openStore(path());
        ManagedObject *record = context->insertNewObject(QStringLiteral("Record"));
        record->set(QStringLiteral("item"), QStringLiteral("Lamp"));
        QVERIFY(context->save());
        context->processPendingChanges();
        context->undoManager()->removeAllActions();
        int events = 0;
        EventBus::instance().observe(this, Events::ManagedObjectContextObjectsDidChange,
                                     [&](const Event &) { ++events; });
        bool changed = true;
        QVERIFY(record->set(QStringLiteral("item"), QStringLiteral("Lamp"), &changed));
        QVERIFY(!changed);
        context->processPendingChanges();
        QCOMPARE(events, 0);
        QVERIFY(!context->hasChanges());
        QVERIFY(!context->undoManager()->canUndo());
        EventBus::instance().remove(this);
    }

    void toManyRoundTrip()
    {
        const QString file = path();
        {
            auto context = openStore(file);
            ManagedObject *shops = context->insertNewObject(QStringLiteral("Group"));
            ManagedObject *tools = context->insertNewObject(QStringLiteral("Group"));
            ManagedObject *site = context->insertNewObject(QStringLiteral("Website"));
            site->set(QStringLiteral("websiteName"), QStringLiteral("Hardware"));
            QVERIFY(shops->mutableSetValueForKey(QStringLiteral("website")).addObject(site));
            QVERIFY(tools->mutableSetValueForKey(QStringLiteral("website")).addObject(site));
            // A member of the wrong entity is refused.
            QVERIFY(!tools->mutableSetValueForKey(QStringLiteral("website")).addObject(shops));
            ManagedObject *record = context->insertNewObject(QStringLiteral("Record"));
            for (int i = 0; i < 3; ++i) {
                ManagedObject *field = context->insertNewObject(QStringLiteral("RecordCustomField"));
                field->set(QStringLiteral("cfTextField"), QStringLiteral("value %1").arg(i));
                record->mutableSetValueForKey(QStringLiteral("customField")).addObject(field);
            }
            QVERIFY(context->save());
        }
        auto context = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        QVERIFY(context);
        const QList<ManagedObject *> groups = all(*context, QStringLiteral("Group"));
        QCOMPARE(groups.size(), 2);
        ManagedObject *site = all(*context, QStringLiteral("Website")).value(0);
        for (ManagedObject *g : groups)
            QVERIFY(g->mutableSetValueForKey(QStringLiteral("website")).contains(site));
        ManagedObject *record = all(*context, QStringLiteral("Record")).value(0);
        QCOMPARE(record->mutableSetValueForKey(QStringLiteral("customField")).count(), 3);
        QCOMPARE(record->valueForKey(QStringLiteral("customField")).toList().size(), 3);
        QVERIFY(Predicate::fromFormat(QStringLiteral("ANY customField.cfTextField CONTAINS %@"), { "value 2" })
                    .evaluate(*record));

        // Deleting a group leaves its website in the other group; deleting a
        // record takes its custom field values with it.
        context->deleteObject(groups.first());
        context->deleteObject(record);
        QVERIFY(context->save());
        context.reset();
        context = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        QCOMPARE(all(*context, QStringLiteral("Group")).size(), 1);
        QCOMPARE(all(*context, QStringLiteral("Website")).size(), 1);
        QCOMPARE(all(*context, QStringLiteral("Group")).first()->relatedObjects(0).size(), 1);
        QCOMPARE(all(*context, QStringLiteral("RecordCustomField")).size(), 0);
    }

    void uriRoundTrip()
    {
        const QString file = path();
        QString uri, uuid;
        {
            auto context = openStore(file);
            ManagedObject *location = context->insertNewObject(QStringLiteral("Location"));
            uri = location->objectID().uriRepresentation();
            uuid = context->storeUUID();
            QCOMPARE(uri, QStringLiteral("x-stashly://%1/Location/p1").arg(uuid));
            QCOMPARE(context->objectWithID(*context->managedObjectIDForURIRepresentation(uri)), location);
            QVERIFY(context->save());
        }
        auto context = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        QCOMPARE(context->storeUUID(), uuid);
        const std::optional<ObjectID> id = context->managedObjectIDForURIRepresentation(uri);
        QVERIFY(id);
        ManagedObject *location = context->objectWithID(*id);
        QVERIFY(location);
        QCOMPARE(location->objectID().uriRepresentation(), uri);
        QCOMPARE(location->objectID(), *id);
    }

    void badUris_data()
    {
        QTest::addColumn<QString>("uri");
        QTest::newRow("other store") << "x-stashly://00000000-0000-0000-0000-000000000001/Location/p1";
        QTest::newRow("unknown entity") << "x-stashly://STORE/Planet/p1";
        QTest::newRow("key zero") << "x-stashly://STORE/Location/p0";
        QTest::newRow("other scheme") << "x-other://STORE/Location/p1";
        QTest::newRow("no key") << "x-stashly://STORE/Location/";
        QTest::newRow("text") << "Kitchen";
    }

    void badUris()
    {
        QFETCH(QString, uri);
        auto context = openStore(path());
        context->insertNewObject(QStringLiteral("Location"));
        uri.replace(QLatin1String("STORE"), context->storeUUID());
        QVERIFY(!context->managedObjectIDForURIRepresentation(uri));
    }

    void deletedObjectsAreNotFound()
    {
        auto context = openStore(path());
        ManagedObject *location = context->insertNewObject(QStringLiteral("Location"));
        const ObjectID id = location->objectID();
        context->deleteObject(location);
        QVERIFY(!context->objectWithID(id));
        QVERIFY(location->isDeleted());
        QVERIFY(all(*context, QStringLiteral("Location")).isEmpty());
    }

    void primaryKeysAreNeverReused()
    {
        const QString file = path();
        {
            auto context = openStore(file);
            for (int i = 0; i < 3; ++i)
                context->insertNewObject(QStringLiteral("Tag"));
            QVERIFY(context->save());
            context->deleteObject(all(*context, QStringLiteral("Tag")).last());
            QVERIFY(context->save());
        }
        auto context = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        QCOMPARE(context->insertNewObject(QStringLiteral("Tag"))->primaryKey(), qint64(4));
    }

    // Two contexts that read the same file both hand out the next key: the
    // second save must fail and lose nothing, never write over the first.
    void aKeyTakenSinceOpeningFailsTheSave()
    {
        const QString file = path();
        openStore(file)->save();
        auto first = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        auto second = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        first->insertNewObject(QStringLiteral("Tag"))->setValue(QStringLiteral("tagName"), QStringLiteral("first"));
        ManagedObject *late = second->insertNewObject(QStringLiteral("Tag"));
        late->setValue(QStringLiteral("tagName"), QStringLiteral("second"));
        QCOMPARE(late->primaryKey(), qint64(1));
        QVERIFY(first->save());
        QString error;
        QVERIFY(!second->save(&error));
        QVERIFY2(error.contains(QLatin1String("another program has added Tag objects")), qPrintable(error));
        QVERIFY(second->hasChanges()); // still there to save elsewhere
        first.reset();
        second.reset();
        auto reread = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        const QList<ManagedObject *> tags = all(*reread, QStringLiteral("Tag"));
        QCOMPARE(tags.size(), 1);
        QCOMPARE(tags.first()->valueForKey(QStringLiteral("tagName")).toString(), QStringLiteral("first"));
    }

    // A change to an object that another context has since deleted fails the
    // save instead of writing nothing and reporting success.
    void anUpdateOfAVanishedRowFailsTheSave()
    {
        const QString file = path();
        {
            auto context = openStore(file);
            context->insertNewObject(QStringLiteral("Tag"))->setValue(QStringLiteral("tagName"), QStringLiteral("old"));
            QVERIFY(context->save());
        }
        auto deleting = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        auto changing = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        deleting->deleteObject(all(*deleting, QStringLiteral("Tag")).first());
        QVERIFY(deleting->save());
        all(*changing, QStringLiteral("Tag")).first()->setValue(QStringLiteral("tagName"), QStringLiteral("new"));
        QString error;
        QVERIFY(!changing->save(&error));
        QVERIFY2(error.contains(QLatin1String("no longer in the file")), qPrintable(error));
        QVERIFY(changing->hasChanges());
    }

    void fetchFiltersAndSorts_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QList<SortDescriptor>>("sort");
        QTest::addColumn<QStringList>("items");
        using C = SortDescriptor::Comparison;
        QTest::newRow("all, store order") << "" << QVariantList {} << QList<SortDescriptor> {}
                                          << QStringList { "lamp", "Chair", "Lamp", "", "(none)" };
        QTest::newRow("case-insensitive, missing first")
            << "" << QVariantList {} << QList<SortDescriptor> { { "item", true, C::CaseInsensitive } }
            << QStringList { "(none)", "", "Chair", "lamp", "Lamp" };
        QTest::newRow("descending, then quantity")
            << "" << QVariantList {}
            << QList<SortDescriptor> { { "item", false, C::CaseInsensitive }, { "recordQty", true } }
            << QStringList { "lamp", "Lamp", "Chair", "", "(none)" };
        QTest::newRow("predicate") << "%K BEGINSWITH[c] %@" << QVariantList { "item", "l" }
                                   << QList<SortDescriptor> { { "recordQty", false } }
                                   << QStringList { "Lamp", "lamp" };
    }

    void fetchFiltersAndSorts()
    {
        QFETCH(QString, format);
        QFETCH(QVariantList, arguments);
        QFETCH(QList<SortDescriptor>, sort);
        QFETCH(QStringList, items);
        auto context = openStore(path());
        const QList<QVariant> values { "lamp", "Chair", "Lamp", QString(""), QVariant() };
        const QList<int> quantities { 1, 2, 3, 4, 5 };
        for (int i = 0; i < values.size(); ++i) {
            ManagedObject *r = context->insertNewObject(QStringLiteral("Record"));
            r->set(QStringLiteral("item"), values.at(i));
            r->set(QStringLiteral("recordQty"), quantities.at(i));
        }
        const Predicate predicate = format.isEmpty() ? Predicate() : Predicate::fromFormat(format, arguments);
        QStringList found;
        for (ManagedObject *r : context->executeFetchRequest({ QStringLiteral("Record"), predicate, sort, 0 })) {
            const QVariant v = r->valueForKey(QStringLiteral("item"));
            found.append(v.isValid() ? v.toString() : QStringLiteral("(none)"));
        }
        QCOMPARE(found, items);
    }

    void changeNotificationsCoalescePerTurn()
    {
        auto context = openStore(path());
        ManagedObject *kept = context->insertNewObject(QStringLiteral("Location"));
        ManagedObject *gone = context->insertNewObject(QStringLiteral("Location"));
        QVERIFY(context->save());
        QList<QVariantMap> events;
        EventBus::instance().observe(
            this, Events::ManagedObjectContextObjectsDidChange, [&](const Event &e) { events.append(e.userInfo); },
            context.get());
        ManagedObject *added = context->insertNewObject(QStringLiteral("Location"));
        added->set(QStringLiteral("locationName"), QStringLiteral("Attic")); // still only "inserted"
        ManagedObject *fleeting = context->insertNewObject(QStringLiteral("Location"));
        context->deleteObject(fleeting); // inserted and deleted: not reported
        kept->set(QStringLiteral("locationName"), QStringLiteral("Garage"));
        context->deleteObject(gone);
        QCOMPARE(events.size(), 0);
        QTRY_COMPARE(events.size(), 1);
        auto objects = [](const QVariant &list) {
            QList<ManagedObject *> result;
            for (const QVariant &v : list.toList())
                result.append(v.value<ManagedObject *>());
            return result;
        };
        QCOMPARE(objects(events.first().value(QStringLiteral("inserted"))), QList<ManagedObject *> { added });
        QCOMPARE(objects(events.first().value(QStringLiteral("updated"))), QList<ManagedObject *> { kept });
        QCOMPARE(objects(events.first().value(QStringLiteral("deleted"))), QList<ManagedObject *> { gone });
        QTest::qWait(10);
        QCOMPARE(events.size(), 1);
        EventBus::instance().remove(this);
    }

    // A large store is read by two threads, its biggest tables in halves.
    void largeStoreLoadsWhole()
    {
        const QString file = path();
        QStringList before;
        {
            auto context = openStore(file);
            context->setUndoManager(nullptr);
            for (int i = 0; i < 12000; ++i) {
                ManagedObject *r = context->insertNewObject(QStringLiteral("Record"));
                r->set(QStringLiteral("item"), QStringLiteral("Item %1").arg(i % 97));
                r->set(QStringLiteral("serialNumber"), QStringLiteral("SN%1").arg(i));
                r->set(QStringLiteral("recordQty"), i);
                ManagedObject *f = context->insertNewObject(QStringLiteral("RecordCustomField"));
                f->set(QStringLiteral("cfTextField"), QString::number(i));
                r->mutableSetValueForKey(QStringLiteral("customField")).addObject(f);
                if (i % 1000 == 0)
                    context->deleteObject(r); // leaves gaps in the keys
            }
            QVERIFY(context->save());
            before = snapshot(*context);
        }
        auto context = openStore(file, ManagedObjectContext::OpenMode::OpenExisting);
        QVERIFY(context);
        QCOMPARE(snapshot(*context), before);
    }

private:
    QTemporaryDir m_dir;
    int m_n = 0;
};

QTEST_GUILESS_MAIN(TestObjectStore)
#include "tst_objectstore.moc"
