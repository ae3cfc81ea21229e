#pragma once

#include "base/EventBus.h"
#include "core/Record.h"
#include "navigation/SmartFolder.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/ToManySet.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QVariantMap>

#include <memory>

namespace NavigationTestSupport {

// A library package in a temporary folder with an open store.
struct TestLibrary
{
    QTemporaryDir dir;
    QString package;
    std::unique_ptr<ManagedObjectContext> context;
    double nextRecordID = 420000000.0;

    TestLibrary()
    {
        Record::registerClass();
        package = dir.filePath(QStringLiteral("Test.stashlyd"));
        QDir().mkpath(package + QStringLiteral("/Thumbnails"));
        QString error;
        context = ManagedObjectContext::open(package + QStringLiteral("/sqldata"),
                                             ManagedObjectContext::OpenMode::CreateIfMissing, &error);
        if (!context)
            qFatal("cannot open the test store: %s", qPrintable(error));
    }

    ManagedObject *insert(const QString &entity, const QVariantMap &values)
    {
        ManagedObject *object = context->insertNewObject(entity);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            if (!object->setValue(it.key(), it.value()))
                qFatal("cannot set %s", qPrintable(it.key()));
        return object;
    }
    ManagedObject *category(const QString &name)
    {
        return insert(
            QStringLiteral("Category"),
            { { QStringLiteral("categoryName"), name }, { QStringLiteral("categoryType"), QStringLiteral("Stuff") } });
    }
    ManagedObject *location(const QString &name)
    {
        return insert(QStringLiteral("Location"), { { QStringLiteral("locationName"), name } });
    }
    ManagedObject *webGroup(const QString &name)
    {
        return insert(QStringLiteral("Group"), { { QStringLiteral("groupName"), name } });
    }
    ManagedObject *smartFolder(const QString &name, const Predicate &predicate)
    {
        ManagedObject *folder = insert(SmartFolder::entityName, { { SmartFolder::smartFolderNameKey, name } });
        SmartFolder::setPredicate(folder, predicate);
        return folder;
    }
    // The two folders every new library has.
    void defaultSmartFolders()
    {
        smartFolder(QStringLiteral("Warranty Warning"),
                    Predicate::orPredicate({ Predicate::fromFormat(
                        QStringLiteral("((%K > 1) AND (%K < 31))"),
                        { QStringLiteral("warrantyLevel"), QStringLiteral("warrantyLevel") }) }));
        smartFolder(QStringLiteral("Warranty Expired"),
                    Predicate::orPredicate({ Predicate::fromFormat(
                        QStringLiteral("((%K == 0) || (%K == nil))"),
                        { QStringLiteral("warrantyLevel"), QStringLiteral("warrantyLevel") }) }));
    }
    // A record with a fresh recordID.
    ManagedObject *record(QVariantMap values)
    {
        if (!values.contains(QStringLiteral("recordID")))
            values.insert(QStringLiteral("recordID"), nextRecordID);
        nextRecordID += 1.5;
        return insert(QStringLiteral("Record"), values);
    }
    ManagedObject *customField(ManagedObject *record, const QString &value)
    {
        ManagedObject *field = insert(
            QStringLiteral("RecordCustomField"),
            { { QStringLiteral("cfName"), QStringLiteral("Custom") }, { QStringLiteral("cfTextField"), value } });
        record->mutableSetValueForKey(QStringLiteral("customField")).addObject(field);
        return field;
    }
    bool save() { return context->save(); }
};

// Records the events of the given names, in order.
class EventSpy
{
public:
    explicit EventSpy(const QStringList &names)
    {
        for (const QString &name : names)
            EventBus::instance().observe(this, name, [this](const Event &e) { events.append(e); });
    }
    ~EventSpy() { EventBus::instance().remove(this); }
    EventSpy(const EventSpy &) = delete;
    EventSpy &operator=(const EventSpy &) = delete;

    QList<Event> events;
    QList<Event> named(const QString &name) const
    {
        QList<Event> found;
        for (const Event &e : events)
            if (e.name == name)
                found.append(e);
        return found;
    }
    void clear() { events.clear(); }
};

inline QStringList valuesOf(const QList<ManagedObject *> &objects, const QString &key)
{
    QStringList values;
    for (const ManagedObject *o : objects)
        values.append(o->valueForKey(key).toString());
    return values;
}

} // namespace NavigationTestSupport
