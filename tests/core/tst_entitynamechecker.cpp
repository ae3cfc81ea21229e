#include "core/EntityNameChecker.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QTemporaryDir>
#include <QTest>

// The unique-name rule over a list of locations.
class TestEntityNameChecker : public QObject
{
    Q_OBJECT

    std::unique_ptr<ManagedObjectContext> m_context;
    QTemporaryDir m_dir;
    int m_n = 0;
    const QString m_key = QStringLiteral("locationName");

    QList<ManagedObject *> fill(const QStringList &names)
    {
        QString error;
        m_context = ManagedObjectContext::open(m_dir.filePath(QString::number(++m_n)),
                                               ManagedObjectContext::OpenMode::CreateIfMissing, &error);
        QList<ManagedObject *> objects;
        for (const QString &name : names) {
            objects.append(m_context->insertNewObject(QStringLiteral("Location")));
            objects.last()->set(m_key, name);
        }
        return objects;
    }

private slots:
    void names_data()
    {
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("name"); // for "object": the index of the object in the list
        QTest::addColumn<QString>("expected");
        using L = QStringList;
        QTest::newRow("free name") << L { "Garage" } << "check"
                                   << "Kitchen"
                                   << "Kitchen";
        QTest::newRow("taken name gets 1") << L { "New Location" } << "check"
                                           << "New Location"
                                           << "New Location 1";
        QTest::newRow("then 2") << L { "New Location", "New Location 1" } << "check"
                                << "New Location"
                                << "New Location 2";
        QTest::newRow("gap is not filled") << L { "Tools", "Tools 2" } << "check"
                                           << "Tools"
                                           << "Tools 1";
        QTest::newRow("numbered name") << L { "Tools 1" } << "check"
                                       << "Tools 1"
                                       << "Tools 1 1";
        QTest::newRow("numbered name, next") << L { "Tools 1", "Tools 1 1" } << "check"
                                             << "Tools 1"
                                             << "Tools 1 2";
        QTest::newRow("case counts") << L { "tools" } << "check"
                                     << "Tools"
                                     << "Tools";
        QTest::newRow("whole name only") << L { "Tools Box", "My Tools" } << "check"
                                         << "Tools"
                                         << "Tools";
        QTest::newRow("brackets match themselves") << L { "Tools (garage)" } << "check"
                                                   << "Tools (garage)"
                                                   << "Tools (garage) 1";
        QTest::newRow("plus signs match themselves") << L { "C++", "C++ 1" } << "check"
                                                     << "C++"
                                                     << "C++ 2";
        QTest::newRow("a dot is no wildcard") << L { "Cab" } << "check"
                                              << "C.b"
                                              << "C.b";
        QTest::newRow("star is no wildcard") << L { "Shed" } << "check"
                                             << ".*"
                                             << ".*";
        QTest::newRow("backslash") << L { "A\\B" } << "check"
                                   << "A\\B"
                                   << "A\\B 1";
        QTest::newRow("double blank") << L { "Big  Box", "Big  Box 1" } << "check"
                                      << "Big  Box"
                                      << "Big  Box 2";
        QTest::newRow("kvo: own name") << L { "Kitchen", "Garage" } << "kvo"
                                       << "Kitchen"
                                       << "Kitchen";
        QTest::newRow("kvo: free name") << L { "Garage" } << "kvo"
                                        << "Kitchen"
                                        << "Kitchen";
        QTest::newRow("kvo: twice") << L { "Kitchen", "Kitchen" } << "kvo"
                                    << "Kitchen"
                                    << "Kitchen 1";
        QTest::newRow("kvo: twice, 1 taken") << L { "Kitchen", "Kitchen", "Kitchen 1" } << "kvo"
                                             << "Kitchen"
                                             << "Kitchen 2";
        QTest::newRow("object: unique") << L { "Kitchen", "Garage" } << "object"
                                        << "1"
                                        << "Garage";
        QTest::newRow("object: first of twins keeps") << L { "Smart Folder", "Smart Folder" } << "object"
                                                      << "0"
                                                      << "Smart Folder";
        QTest::newRow("object: second of twins") << L { "Smart Folder", "Smart Folder" } << "object"
                                                 << "1"
                                                 << "Smart Folder 1";
        QTest::newRow("object: second of twins, 1 taken")
            << L { "Smart Folder", "Smart Folder 1", "Smart Folder" } << "object"
            << "2"
            << "Smart Folder 2";
        QTest::newRow("object: pattern characters") << L { "C++", "C++" } << "object"
                                                    << "1"
                                                    << "C++ 1";
        QTest::newRow("no object") << L { "Kitchen" } << "object"
                                   << "-1"
                                   << "";
    }

    void names()
    {
        QFETCH(QStringList, list);
        QFETCH(QString, operation);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        const QList<ManagedObject *> objects = fill(list);
        ArrayController controller(m_context.get(), QStringLiteral("Location"));
        QString result;
        if (operation == QLatin1String("check"))
            result = EntityNameChecker::checkName(name, controller, m_key);
        else if (operation == QLatin1String("kvo"))
            result = EntityNameChecker::kvoCheckName(name, controller, m_key);
        else
            result = EntityNameChecker::checkNameOfManagedObject(objects.value(name.toInt()), controller, m_key);
        QCOMPARE(result, expected);
        // The list was refetched for the comparisons.
        if (!expected.isEmpty())
            QCOMPARE(controller.arrangedObjects().size(), list.size());
    }

    void emptyKeyGivesEmptyName()
    {
        const QList<ManagedObject *> objects = fill({ QStringLiteral("Kitchen") });
        ArrayController controller(m_context.get(), QStringLiteral("Location"));
        QCOMPARE(EntityNameChecker::checkNameOfManagedObject(objects.first(), controller, QString()), QString());
    }

    void addingTwoNewObjects()
    {
        fill({});
        ArrayController controller(m_context.get(), QStringLiteral("Location"));
        QStringList given;
        for (int i = 0; i < 3; ++i) {
            const QString name = EntityNameChecker::checkName(QStringLiteral("New Location"), controller, m_key);
            m_context->insertNewObject(QStringLiteral("Location"))->set(m_key, name);
            given.append(name);
        }
        QCOMPARE(given, (QStringList { "New Location", "New Location 1", "New Location 2" }));
    }
};

QTEST_GUILESS_MAIN(TestEntityNameChecker)
#include "tst_entitynamechecker.moc"
