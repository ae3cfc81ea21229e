#include "StoreTestSupport.h"

#include "store/ToManySet.h"
#include "store/UndoManager.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace StoreTestSupport;

// Every kind of change is one undo step that undo takes back and redo repeats
// exactly, in memory and in the file, also across saves.
class TestStoreUndo : public QObject
{
    Q_OBJECT

    ManagedObject *first(ManagedObjectContext &c, const QString &entity, int index = 0)
    {
        return all(c, entity).value(index);
    }

    void fill(ManagedObjectContext &c)
    {
        ManagedObject *record = c.insertNewObject(QStringLiteral("Record"));
        record->set(QStringLiteral("item"), QStringLiteral("Drill"));
        record->set(QStringLiteral("purchaseDate"), QDateTime(QDate(2020, 3, 4), QTime(5, 6), QTimeZone::utc()));
        for (const char *value : { "18 V", "blue" }) {
            ManagedObject *field = c.insertNewObject(QStringLiteral("RecordCustomField"));
            field->set(QStringLiteral("cfTextField"), QString::fromLatin1(value));
            record->mutableSetValueForKey(QStringLiteral("customField")).addObject(field);
        }
        ManagedObject *file = c.insertNewObject(QStringLiteral("FileData"));
        file->set(QStringLiteral("fileName"), QStringLiteral("receipt.pdf"));
        record->mutableSetValueForKey(QStringLiteral("fileData")).addObject(file);
        ManagedObject *site = c.insertNewObject(QStringLiteral("Website"));
        site->set(QStringLiteral("websiteName"), QStringLiteral("Hardware"));
        for (const char *name : { "Shops", "Tools" }) {
            ManagedObject *group = c.insertNewObject(QStringLiteral("Group"));
            group->set(QStringLiteral("groupName"), QString::fromLatin1(name));
            group->mutableSetValueForKey(QStringLiteral("website")).addObject(site);
        }
        c.insertNewObject(QStringLiteral("Location"))->set(QStringLiteral("locationName"), QStringLiteral("Attic"));
    }

    void change(ManagedObjectContext &c, const QString &kind)
    {
        if (kind == QLatin1String("insert")) {
            c.insertNewObject(QStringLiteral("Location"))
                ->set(QStringLiteral("locationName"), QStringLiteral("Cellar"));
            ManagedObject *record = c.insertNewObject(QStringLiteral("Record"));
            ManagedObject *field = c.insertNewObject(QStringLiteral("RecordCustomField"));
            record->mutableSetValueForKey(QStringLiteral("customField")).addObject(field);
        } else if (kind == QLatin1String("update")) {
            ManagedObject *record = first(c, QStringLiteral("Record"));
            record->set(QStringLiteral("item"), QStringLiteral("Hammer drill"));
            record->set(QStringLiteral("purchaseDate"), QVariant());
            record->set(QStringLiteral("insured"), true);
            first(c, QStringLiteral("Location"))->set(QStringLiteral("locationName"), QStringLiteral("Loft"));
        } else if (kind == QLatin1String("delete record")) {
            c.deleteObject(first(c, QStringLiteral("Record")));
        } else if (kind == QLatin1String("delete group")) {
            c.deleteObject(first(c, QStringLiteral("Group")));
        } else if (kind == QLatin1String("delete shared member")) {
            c.deleteObject(first(c, QStringLiteral("Website")));
        } else if (kind == QLatin1String("to-many add")) {
            ManagedObject *site = c.insertNewObject(QStringLiteral("Website"));
            first(c, QStringLiteral("Group"))->mutableSetValueForKey(QStringLiteral("website")).addObject(site);
            ManagedObject *field = c.insertNewObject(QStringLiteral("RecordCustomField"));
            first(c, QStringLiteral("Record"))->mutableSetValueForKey(QStringLiteral("customField")).addObject(field);
        } else if (kind == QLatin1String("to-many remove")) {
            ManagedObject *record = first(c, QStringLiteral("Record"));
            ToManySet fields = record->mutableSetValueForKey(QStringLiteral("customField"));
            fields.removeObject(fields.allObjects().first());
            first(c, QStringLiteral("Group"), 1)->mutableSetValueForKey(QStringLiteral("website")).removeAllObjects();
        } else if (kind == QLatin1String("mixed")) {
            change(c, QStringLiteral("update"));
            change(c, QStringLiteral("to-many remove"));
            change(c, QStringLiteral("delete group"));
            change(c, QStringLiteral("insert"));
        }
    }

private slots:
    void undoRedo_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char *kind : { "insert", "update", "delete record", "delete group", "delete shared member",
                                  "to-many add", "to-many remove", "mixed" })
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    void undoRedo()
    {
        QFETCH(QString, kind);
        const QString file = m_dir.filePath(kind);
        auto c = openStore(file);
        fill(*c);
        QVERIFY(c->save());
        UndoManager *undo = c->undoManager();
        undo->removeAllActions();
        const QStringList before = snapshot(*c);

        undo->beginUndoGrouping();
        change(*c, kind);
        undo->endUndoGrouping();
        const QStringList after = snapshot(*c);
        QVERIFY(after != before);
        QCOMPARE(undo->undoLevels(), 1);

        // In memory.
        undo->undo();
        QCOMPARE(snapshot(*c), before);
        undo->redo();
        QCOMPARE(snapshot(*c), after);

        // Across saves: the changed file, undone in the file, redone in the file.
        QVERIFY(c->save());
        QCOMPARE(snapshot(*openStore(file, ManagedObjectContext::OpenMode::ReadOnly)), after);
        undo->undo();
        QVERIFY(c->save());
        QCOMPARE(snapshot(*openStore(file, ManagedObjectContext::OpenMode::ReadOnly)), before);
        undo->redo();
        QVERIFY(c->save());
        QCOMPARE(snapshot(*openStore(file, ManagedObjectContext::OpenMode::ReadOnly)), after);
        QVERIFY(!c->hasChanges());
    }

    void changesOfOneTurnAreOneStep()
    {
        auto c = openStore(m_dir.filePath(QStringLiteral("turns")));
        c->undoManager()->removeAllActions();
        ManagedObject *location = c->insertNewObject(QStringLiteral("Location"));
        location->set(QStringLiteral("locationName"), QStringLiteral("Shed"));
        QCoreApplication::processEvents();
        location->set(QStringLiteral("locationName"), QStringLiteral("Barn"));
        QCoreApplication::processEvents();
        QCOMPARE(c->undoManager()->undoLevels(), 2);
        c->undoManager()->undo();
        QCOMPARE(location->valueForKey(QStringLiteral("locationName")).toString(), QStringLiteral("Shed"));
        c->undoManager()->undo();
        QVERIFY(location->isDeleted());
        QVERIFY(all(*c, QStringLiteral("Location")).isEmpty());
    }

    void registrationOffMakesNoStep()
    {
        auto c = openStore(m_dir.filePath(QStringLiteral("off")));
        c->undoManager()->removeAllActions();
        c->undoManager()->disableUndoRegistration();
        c->insertNewObject(QStringLiteral("Tag"));
        c->undoManager()->enableUndoRegistration();
        QCoreApplication::processEvents();
        QVERIFY(!c->undoManager()->canUndo());
        QVERIFY(c->hasChanges());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestStoreUndo)
#include "tst_storeundo.moc"
