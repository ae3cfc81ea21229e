#include "base/Clock.h"
#include "base/EventBus.h"
#include "base/Events.h"
#include "core/Record.h"
#include "records/RecordController.h"
#include "records/RecordPackageFiles.h"
#include "store/ArrayController.h"
#include "store/ManagedObjectContext.h"
#include "store/ToManySet.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

// Record creation: addNewRecord for every source, its defaults, category and
// custom fields, its failures, and the handlers for files, web pages and barcodes.
class TestRecordController : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_package;
    std::unique_ptr<ManagedObjectContext> m_context;
    std::unique_ptr<RecordController> m_controller;
    QList<Event> m_events;

    QList<ManagedObject *> all(const QString &entity)
    {
        return m_context->executeFetchRequest({ entity, Predicate(), {}, 0 });
    }

    ManagedObject *insert(const QString &entity, const QVariantMap &values)
    {
        ManagedObject *o = m_context->insertNewObject(entity);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            o->setValue(it.key(), it.value());
        return o;
    }

    QStringList eventNames() const
    {
        QStringList names;
        for (const Event &e : m_events)
            names << e.name;
        return names;
    }

    QList<Event> eventsNamed(const QString &name) const
    {
        QList<Event> found;
        for (const Event &e : m_events)
            if (e.name == name)
                found << e;
        return found;
    }

    QString writeImage(const QString &name, const QColor &color, const char *format = "PNG")
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(color);
        const QString path = m_dir->filePath(name);
        image.save(path, format);
        return path;
    }

    static QByteArray contents(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString thumbnailOf(const Record *r) const
    {
        return RecordPackageFiles::thumbnailPath(m_package, r->recordIDText());
    }

    void selectRow(const QString &name, const QString &type)
    {
        EventBus::instance().post(Events::TBXSelectedSourceNameChanged, nullptr,
                                  { { EventKeys::rowName, name }, { EventKeys::rowType, type } });
    }

private slots:
    void initTestCase() { Record::registerClass(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_package = m_dir->filePath(QStringLiteral("Library.stashlyd"));
        QDir().mkpath(m_package);
        for (const char *folder : { "Files", "Thumbnails", "StashInbox", "Temp" })
            QDir(m_package).mkdir(QLatin1String(folder));
        QString error;
        m_context = ManagedObjectContext::open(QDir(m_package).filePath(QStringLiteral("sqldata")),
                                               ManagedObjectContext::OpenMode::CreateIfMissing, &error);
        QVERIFY2(m_context, qPrintable(error));
        m_controller = std::make_unique<RecordController>(m_context.get(), m_package);
        m_events.clear();
        for (const QString &name : Events::allProgramEvents)
            EventBus::instance().observe(this, name, [this](const Event &e) {
                if (e.object == m_controller.get()) // what the controller posts
                    m_events << e;
            });
        Clock::setNow(QDateTime(QDate(2024, 5, 10), QTime(9, 30), Qt::UTC));
    }

    void cleanup()
    {
        EventBus::instance().remove(this);
        RecordPackageFiles::setFetcher({});
        m_controller.reset();
        m_context.reset();
        Clock::reset();
    }

    void eachSource_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("withPicture");
        QTest::addColumn<QString>("thumbnail"); // camera, picture or none
        QTest::addColumn<bool>("fileDate");
        QTest::addColumn<bool>("refreshesSourceList");

        QTest::newRow("New Record command") << "UIClick" << false << "camera" << false << true;
        QTest::newRow("files") << "files" << false << "camera" << true << true;
        QTest::newRow("inbox") << "inbox" << false << "camera" << true << true;
        QTest::newRow("photo library") << "iphoto" << true << "picture" << true << true;
        QTest::newRow("barcode with picture") << "barcode" << true << "picture" << false << true;
        QTest::newRow("barcode without picture") << "barcode" << false << "none" << false << true;
        QTest::newRow("csv") << "csv" << false << "camera" << false << false;
        QTest::newRow("web page") << "webArchive" << false << "camera" << false << true;
        QTest::newRow("duplicate") << "Duplicate" << false << "camera" << false << true;
    }

    void eachSource()
    {
        QFETCH(QString, source);
        QFETCH(bool, withPicture);
        QFETCH(QString, thumbnail);
        QFETCH(bool, fileDate);
        QFETCH(bool, refreshesSourceList);

        const QString picture = writeImage(QStringLiteral("pic.png"), Qt::red);
        const QDateTime fileTime(QDate(2019, 3, 4), QTime(5, 6, 7), Qt::UTC);
        QVariantMap request { { EventKeys::source, source }, { RecordController::fileDateKey, fileTime } };
        if (withPicture)
            request.insert(EventKeys::filePathArray, QStringList { picture });
        Record *r = m_controller->addNewRecord(request);
        QVERIFY(r);

        QVERIFY(QFileInfo(RecordPackageFiles::filesFolder(m_package, r->recordIDText())).isDir());
        if (thumbnail == QLatin1String("camera"))
            QCOMPARE(contents(thumbnailOf(r)), RecordPackageFiles::placeholderImageData());
        else if (thumbnail == QLatin1String("picture"))
            QCOMPARE(contents(thumbnailOf(r)), contents(picture));
        else
            QVERIFY(!QFileInfo::exists(thumbnailOf(r)));
        QVERIFY(!RecordPackageFiles::placeholderImageData().isEmpty());
        QVERIFY(!QImage::fromData(RecordPackageFiles::placeholderImageData()).isNull());

        QCOMPARE(r->purchaseDate(), fileDate ? fileTime : Clock::now());
        QCOMPARE(r->photo(), source == QLatin1String("iphoto") ? picture : QString());
        QCOMPARE(r->item(), source == QLatin1String("barcode") ? QString() : QStringLiteral("New Item"));
        QCOMPARE(r->category(), QStringLiteral("Unfiled"));
        QVERIFY(!r->delayNotification());
        QVERIFY(!m_context->hasChanges());
        QCOMPARE(m_controller->selectedMOID(), r->objectID());

        QStringList expected { Events::TBXRecordControllerReqDelayUpdate, Events::TBXAddCategoryReqRefresh };
        if (refreshesSourceList)
            expected << Events::TBXRefreshRequestOfSourceColumn;
        expected << Events::TBXRecordControllerReqUpdate << Events::TBXRecordControllerNewRecordAdded;
        QCOMPARE(eventNames(), expected);
        const QVariantMap added = eventsNamed(Events::TBXRecordControllerNewRecordAdded).first().userInfo;
        QCOMPARE(added.value(EventKeys::recordCreationMethod).toString(), source);
        QCOMPARE(added.value(EventKeys::rowName).toString(), QStringLiteral("Unfiled"));
        QCOMPARE(added.value(EventKeys::selectedAssets).toList().first().value<ManagedObject *>(), r);
        if (refreshesSourceList) {
            const QVariantMap refresh = eventsNamed(Events::TBXRefreshRequestOfSourceColumn).first().userInfo;
            QCOMPARE(refresh.value(EventKeys::sender).toString(), QStringLiteral("RecordController"));
            QCOMPARE(refresh.value(EventKeys::method).toString(), QStringLiteral("addNewRecord"));
            QCOMPARE(refresh.value(EventKeys::newRecordMOID).value<ObjectID>(), r->objectID());
        }
    }

    void defaults_data()
    {
        QTest::addColumn<bool>("withDefaults");
        QTest::addColumn<QString>("payment");
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("currency");
        QTest::newRow("marked defaults") << true << "Cash"
                                         << "Home" << QString::fromUtf8("€ - EUR");
        QTest::newRow("no defaults") << false << ""
                                     << ""
                                     << "";
    }

    void defaults()
    {
        QFETCH(bool, withDefaults);
        QFETCH(QString, payment);
        QFETCH(QString, location);
        QFETCH(QString, currency);

        insert(QStringLiteral("Location"), { { "locationName", "Work" } });
        insert(QStringLiteral("Location"), { { "locationName", "Home" }, { "isDefault", withDefaults } });
        insert(QStringLiteral("PaymentMethod"), { { "methodName", "Card" }, { "isDefaultPayment", false } });
        insert(QStringLiteral("PaymentMethod"), { { "methodName", "Cash" }, { "isDefaultPayment", withDefaults } });
        insert(QStringLiteral("Currency"), { { "currencyName", "USD" }, { "currencySymbol", "$" } });
        insert(
            QStringLiteral("Currency"),
            { { "currencyName", "EUR" }, { "currencySymbol", QString::fromUtf8("€") }, { "isDefault", withDefaults } });
        m_controller->setSelectedCategoryName(QStringLiteral("Tools"));
        Record *r = m_controller->addNewRecordMenuButton();
        QVERIFY(r);
        QCOMPARE(r->paymentMethod(), payment);
        QCOMPARE(r->location(), location);
        QCOMPARE(r->currency(), currency);
        QCOMPARE(r->replacementCurrency(), currency);
        QCOMPARE(r->valueForKey(QStringLiteral("recordQty")).toLongLong(), 1);
        QCOMPARE(r->model(), QString());
        QCOMPARE(r->manufacturer(), QString());
        QVERIFY(r->valueForKey(QStringLiteral("model")).isValid()); // empty, not missing
        QCOMPARE(r->category(), QStringLiteral("Tools"));
        QCOMPARE(r->recordID(), r->recordIDText().toDouble());
    }

    void unfiledIsMadeOnce()
    {
        selectRow(QStringLiteral("ALL RECORDS"), QStringLiteral("All"));
        QVERIFY(m_controller->addNewRecordMenuButton());
        QVERIFY(m_controller->addNewRecordMenuButton());
        const QList<ManagedObject *> categories = all(QStringLiteral("Category"));
        QCOMPARE(categories.size(), 1);
        QCOMPARE(categories.first()->valueForKey(QStringLiteral("categoryName")).toString(), QStringLiteral("Unfiled"));
        QCOMPARE(categories.first()->valueForKey(QStringLiteral("categoryType")).toString(), QStringLiteral("Stuff"));
        const QList<Event> refresh = eventsNamed(Events::TBXAddCategoryReqRefresh);
        QCOMPARE(refresh.size(), 1);
        QCOMPARE(refresh.first().userInfo, (QVariantMap { { EventKeys::rowName, QStringLiteral("Unfiled") } }));
        for (ManagedObject *r : all(Record::Entity))
            QCOMPARE(Record::from(r)->category(), QStringLiteral("Unfiled"));
    }

    void selectedCategoryRules_data()
    {
        QTest::addColumn<QStringList>("rows"); // "name/type" in order of selection
        QTest::addColumn<QString>("category");
        QTest::newRow("category") << QStringList { "Tools/Category" } << "Tools";
        QTest::newRow("smart folder keeps the last category")
            << QStringList { "Tools/Category", "Warranty Warning/Smart" } << "Tools";
        QTest::newRow("web group keeps it too") << QStringList { "Toys/Category", "Office/WebGroup" } << "Toys";
        QTest::newRow("all records") << QStringList { "Tools/Category", "ALL RECORDS/All" } << "Unfiled";
    }

    void selectedCategoryRules()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, category);
        ArrayController list(m_context.get(), Record::Entity);
        list.setAutomaticallyPreparesContent(true);
        m_controller->setRecordArrayControllers(&list, nullptr);
        Record *existing = m_controller->addNewRecordMenuButton();
        QCOMPARE(list.selectedObjects(), QList<ManagedObject *> { existing });
        for (const QString &row : rows)
            selectRow(row.section(QLatin1Char('/'), 0, 0), row.section(QLatin1Char('/'), 1));
        if (rows.last().endsWith(QLatin1String("/Category")) || rows.last().endsWith(QLatin1String("/All")))
            QVERIFY(list.selectedObjects().isEmpty());
        Record *r = m_controller->addNewRecordMenuButton();
        QCOMPARE(r->category(), category);
        QCOMPARE(list.selectedObjects(), QList<ManagedObject *> { r });
        const QVariantMap added = eventsNamed(Events::TBXRecordControllerNewRecordAdded).last().userInfo;
        QCOMPARE(added.value(EventKeys::selectionIndexSet).toList(), QVariantList { list.selectionIndex() });
    }

    void customFieldTemplates()
    {
        ManagedObject *clothes
            = insert(QStringLiteral("Category"), { { "categoryName", "Clothes" }, { "categoryType", "Stuff" } });
        m_controller->setSelectedCategoryName(QStringLiteral("Clothes"));
        Record *before = m_controller->addNewRecordMenuButton();
        for (const char *name : { "Colour", "Size" })
            clothes->mutableSetValueForKey(QStringLiteral("customField"))
                .addObject(
                    insert(QStringLiteral("CustomField"),
                           { { "customFieldName", QString::fromLatin1(name) }, { "customFieldType", "Text Field" } }));
        Record *r = m_controller->addNewRecordMenuButton();
        const QList<ManagedObject *> fields
            = r->relatedObjects(r->entity().relationshipIndex(QStringLiteral("customField")));
        QCOMPARE(fields.size(), 2);
        QStringList names;
        for (ManagedObject *f : fields) {
            names << f->valueForKey(QStringLiteral("cfName")).toString();
            QCOMPARE(f->valueForKey(QStringLiteral("cfType")).toString(), QStringLiteral("Text Field"));
            QVERIFY(!f->valueForKey(QStringLiteral("cfTextField")).isValid());
        }
        QCOMPARE(names, (QStringList { "Colour", "Size" }));
        QCOMPARE(before->relatedObjects(before->entity().relationshipIndex(QStringLiteral("customField"))).size(), 0);
    }

    void failuresMakeNoRecord_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("removeFolder");
        QTest::addColumn<bool>("missingPicture");
        QTest::newRow("no Files folder") << "UIClick"
                                         << "Files" << false;
        QTest::newRow("no Thumbnails folder") << "UIClick"
                                              << "Thumbnails" << false;
        QTest::newRow("photo that cannot be read") << "iphoto"
                                                   << "" << true;
        QTest::newRow("barcode picture that cannot be read") << "barcode"
                                                             << "" << true;
    }

    void failuresMakeNoRecord()
    {
        QFETCH(QString, source);
        QFETCH(QString, removeFolder);
        QFETCH(bool, missingPicture);
        if (!removeFolder.isEmpty())
            QVERIFY(QDir(QDir(m_package).filePath(removeFolder)).removeRecursively());
        QVariantMap request { { EventKeys::source, source } };
        if (missingPicture)
            request.insert(EventKeys::filePathArray, QStringList { m_dir->filePath(QStringLiteral("gone.jpg")) });
        QVERIFY(!m_controller->addNewRecord(request));
        QVERIFY(all(Record::Entity).isEmpty());
        QVERIFY(all(QStringLiteral("Category")).isEmpty());
        if (removeFolder != QLatin1String("Files"))
            QVERIFY(QDir(QDir(m_package).filePath(QStringLiteral("Files")))
                        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                        .isEmpty());
        QCOMPARE(eventNames(), QStringList { Events::TBXRecordControllerReqDelayUpdate });
    }

    void recordsWithinOneClockTickGetTheirOwnNumbers()
    {
        // The next number is also taken when a folder of that number is left on disk.
        Clock::setNow(QDateTime(QDate(2031, 1, 1), QTime(0, 0), Qt::UTC));
        const double now = Clock::timeIntervalSinceReferenceDate();
        QSet<QString> texts;
        for (int i = 1; i <= 3; ++i)
            QDir(m_package).mkpath(QStringLiteral("Files/") + Record::recordIDText(now + i * 1e-6));
        for (int i = 0; i < 5; ++i) {
            Record *r = m_controller->addNewRecordMenuButton();
            QVERIFY(r);
            texts.insert(r->recordIDText());
            QCOMPARE(Record::recordIDText(r->recordID()), r->recordIDText());
            QVERIFY(QFileInfo(thumbnailOf(r)).isFile());
        }
        QCOMPARE(texts.size(), 5);
        for (int i = 1; i <= 3; ++i)
            QVERIFY(!texts.contains(Record::recordIDText(now + i * 1e-6)));
    }

    void twoControllersOnOnePackageWithinOneTick()
    {
        // Each controller keeps its own last number; the folders on disk keep
        // them apart, and one controller's silence is its own.
        Clock::setNow(QDateTime(QDate(2031, 1, 1), QTime(0, 0), Qt::UTC));
        RecordController other(m_context.get(), m_package);
        other.setSilentAddNewRecord(true);
        Record *a = m_controller->addNewRecordMenuButton();
        Record *b = other.addNewRecordMenuButton();
        Record *c = m_controller->addNewRecordMenuButton();
        QVERIFY(a && b && c);
        QCOMPARE((QSet<QString> { a->recordIDText(), b->recordIDText(), c->recordIDText() }).size(), 3);
        QVERIFY(!m_controller->silentAddNewRecord());
        QCOMPARE(eventsNamed(Events::TBXRecordControllerNewRecordAdded).size(), 2);
    }

    void knownBarcodeRaisesQuantity_data()
    {
        QTest::addColumn<QVariant>("quantity");
        QTest::addColumn<qlonglong>("afterOne");
        QTest::newRow("one") << QVariant(1) << 2LL;
        QTest::newRow("never counted counts as one") << QVariant() << 2LL;
        QTest::newRow("five") << QVariant(5) << 6LL;
    }

    void knownBarcodeRaisesQuantity()
    {
        QFETCH(QVariant, quantity);
        QFETCH(qlonglong, afterOne);
        Record *r = m_controller->addNewRecordMenuButton();
        r->setBarcode(QStringLiteral("0012345678905"));
        r->setRecordQty(quantity);
        m_events.clear();
        const QVariantMap scan { { "barcode", "0012345678905" }, { "title", "Other" }, { "category", "Books" } };
        QCOMPARE(m_controller->handleNewRecordFromBarcode(scan), r);
        QCOMPARE(r->recordQty(), afterOne);
        EventBus::instance().post(Events::TBXNewRecordFromBarcode, nullptr, scan);
        QCOMPARE(r->recordQty(), afterOne + 1);
        QCOMPARE(all(Record::Entity).size(), 1);
        QCOMPARE(r->item(), QStringLiteral("New Item"));
        QVERIFY(all(QStringLiteral("Category")).size() == 1); // only Unfiled
        QVERIFY(m_events.isEmpty());
        QVERIFY(!m_context->hasChanges());
    }

    void newRecordFromBarcode_data()
    {
        QTest::addColumn<bool>("withImage");
        QTest::addColumn<bool>("existingCategory");
        QTest::newRow("with picture, new category") << true << false;
        QTest::newRow("without picture, known category") << false << true;
    }

    void newRecordFromBarcode()
    {
        QFETCH(bool, withImage);
        QFETCH(bool, existingCategory);
        insert(QStringLiteral("Currency"),
               { { "currencyName", "USD" }, { "currencySymbol", "$" }, { "isDefault", true } });
        if (existingCategory)
            insert(QStringLiteral("Category"),
                   { { "categoryName", "Electronics (Audio)" }, { "categoryType", "Stuff" } });
        QVariantMap payload { { "barcode", "4006381333931" }, { "title", "Pen" },
                              { "brand", "Stabilo" },         { "model", "Point 88" },
                              { "listPrice", "19.99" },       { "category", "Electronics (Audio)" } };
        if (withImage)
            payload.insert(QStringLiteral("imagePath"), QUrl::fromLocalFile(writeImage("p.png", Qt::blue)).toString());
        Record *r = m_controller->handleNewRecordFromBarcode(payload);
        QVERIFY(r);
        QCOMPARE(r->item(), QStringLiteral("Pen"));
        QCOMPARE(r->manufacturer(), QStringLiteral("Stabilo"));
        QCOMPARE(r->model(), QStringLiteral("Point 88"));
        QCOMPARE(r->barcode(), QStringLiteral("4006381333931"));
        QCOMPARE(r->replacementCost(), 19.99);
        QCOMPARE(r->replacementCurrency(), QStringLiteral("$ - USD"));
        QCOMPARE(r->category(), QStringLiteral("Electronics (Audio)"));
        QCOMPARE(m_controller->selectedCategoryName(), QStringLiteral("Electronics (Audio)"));
        QCOMPARE(all(QStringLiteral("Category")).size(), 1);
        QCOMPARE(QFileInfo::exists(thumbnailOf(r)), withImage);
        if (withImage) {
            QImageReader reader(thumbnailOf(r));
            QCOMPARE(reader.format(), QByteArray("jpeg"));
            QVERIFY(QFileInfo::exists(QDir(m_package).filePath(QStringLiteral("Temp/AmazonThumbnail.jpg"))));
        }
        const QList<Event> refresh = eventsNamed(Events::TBXAddCategoryReqRefresh);
        QCOMPARE(refresh.size(), 1);
        const QList<Event> updates = eventsNamed(Events::TBXRecordControllerReqUpdate);
        QCOMPARE(updates.size(), 2); // addNewRecord's and the barcode path's own
        QCOMPARE(updates.last().userInfo.value(QStringLiteral("title")).toString(), QStringLiteral("Pen"));
    }

    void unreadableProductPictureLeavesNoThumbnail()
    {
        RecordPackageFiles::setFetcher([](const QUrl &) { return QByteArray("<html>not found</html>"); });
        Record *r = m_controller->handleNewRecordFromBarcode(
            { { "barcode", "123" }, { "title", "Thing" }, { "imagePath", "http://images.example.com/x.jpg" } });
        QVERIFY(r);
        QVERIFY(!QFileInfo::exists(thumbnailOf(r)));
    }

    void populateFromLookup()
    {
        Record *r = m_controller->addNewRecordMenuButton();
        r->setBarcode(QStringLiteral("036000291452"));
        const QByteArray camera = contents(thumbnailOf(r));
        m_events.clear();
        EventBus::instance().post(Events::TBXPopulateRecordWithBarcodeLookupData, nullptr,
                                  { { "barcode", "036000291452" },
                                    { "title", "Tissues" },
                                    { "listPrice", "3.5" },
                                    { "imagePath", writeImage("t.png", Qt::yellow) } });
        QCOMPARE(r->item(), QStringLiteral("Tissues"));
        QCOMPARE(r->replacementCost(), 3.5);
        QCOMPARE(r->model(), QString()); // not in the payload: left alone
        QVERIFY(contents(thumbnailOf(r)) != camera);
        QCOMPARE(QImageReader(thumbnailOf(r)).format(), QByteArray("jpeg"));
        QCOMPARE(eventNames(), QStringList { Events::TBXRecordControllerReqUpdate });
        QVERIFY(m_context->hasChanges()); // saved with the next save
    }

    void filesDroppedOnACategory_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("dropped files") << "external";
        QTest::newRow("inbox") << "inbox";
        QTest::newRow("photo library") << "iphoto";
    }

    void filesDroppedOnACategory()
    {
        QFETCH(QString, source);
        QStringList paths;
        for (const char *name : { "a.png", "b.png", "c.png" }) {
            paths << writeImage(QString::fromLatin1(name), Qt::gray);
            QTest::qWait(20);
        }
        EventBus::instance().post(
            Events::TBXFilesDraggedToCategory, nullptr,
            { { EventKeys::filePathArray, paths }, { EventKeys::rowName, "Toys" }, { "source", source } });
        const QList<ManagedObject *> records = all(Record::Entity);
        QCOMPARE(records.size(), 3);
        const QList<Event> handedOn = eventsNamed(Events::TBXFilesDraggedToRecordTable);
        const bool photos = source == QLatin1String("iphoto");
        QCOMPARE(handedOn.size(), photos ? 0 : 3);
        for (int i = 0; i < 3; ++i) {
            const Record *r = Record::from(records.at(i));
            QCOMPARE(r->category(), QStringLiteral("Toys"));
            QCOMPARE(r->purchaseDate(), RecordPackageFiles::creationDate(paths.at(i)));
            QCOMPARE(contents(thumbnailOf(r)) == contents(paths.at(i)), photos);
            QVERIFY(QDir(RecordPackageFiles::filesFolder(m_package, r->recordIDText()))
                        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                        .isEmpty());
            if (!photos) {
                QCOMPARE(handedOn.at(i).userInfo.value(EventKeys::filePathArray).toStringList(),
                         QStringList { paths.at(i) });
                QCOMPARE(handedOn.at(i).userInfo.value(EventKeys::source).toString(),
                         source == QLatin1String("inbox") ? QStringLiteral("inbox") : QStringLiteral("files"));
            }
        }
        QCOMPARE(m_controller->selectedCategoryName(), QStringLiteral("Toys"));
    }

    void filesDroppedOnAllRecordsAreUnfiled()
    {
        const QString path = writeImage(QStringLiteral("x.png"), Qt::gray);
        const QList<Record *> made = m_controller->makeNewRecordsFromFiles(
            { { EventKeys::filePathArray, QStringList { path, m_dir->filePath(QStringLiteral("missing.pdf")) } },
              { EventKeys::rowName, "ALL RECORDS" } });
        QCOMPARE(made.size(), 2);
        QCOMPARE(made.first()->category(), QStringLiteral("Unfiled"));
        QCOMPARE(made.last()->purchaseDate(), Clock::now()); // unreadable file: now
    }

    void recordFromWebArchive()
    {
        m_controller->setSelectedCategoryName(QStringLiteral("Kitchen"));
        const QVariantMap page { { "category", "Garden" },
                                 { "item", "Hose" },
                                 { "model", "H2" },
                                 { "mfg", "Gardena" },
                                 { "location", "Shed" },
                                 { "condition", 5 },
                                 { "qty", 2 },
                                 { "labelIndex", 3 },
                                 { "vendor", "Garden Shop" },
                                 { "filePath", "/tmp/page.webarchive" } };
        EventBus::instance().post(Events::TBXNewRecordFromWebArchive, nullptr, page);
        const QList<ManagedObject *> records = all(Record::Entity);
        QCOMPARE(records.size(), 1);
        const Record *r = Record::from(records.first());
        QCOMPARE(r->item(), QStringLiteral("Hose"));
        QCOMPARE(r->manufacturer(), QStringLiteral("Gardena"));
        QCOMPARE(r->category(), QStringLiteral("Garden"));
        QCOMPARE(r->location(), QStringLiteral("Shed"));
        QCOMPARE(r->condition(), 5LL);
        QCOMPARE(r->recordQty(), 2LL);
        QCOMPARE(r->labelIndex(), 3LL);
        QCOMPARE(r->vendorName(), QStringLiteral("Garden Shop"));
        QCOMPARE(all(QStringLiteral("Vendor")).size(), 1);
        QCOMPARE(m_controller->selectedCategoryName(), QStringLiteral("Kitchen"));
        const QList<Event> attach = eventsNamed(Events::TBXAddWebArchiveToNewRecord);
        QCOMPARE(attach.size(), 1);
        QCOMPARE(attach.first().userInfo.value(EventKeys::filePathArray).toStringList(),
                 QStringList { "/tmp/page.webarchive" });
        QCOMPARE(attach.first().userInfo.value(EventKeys::source).toString(), QStringLiteral("webArchive"));
        QVERIFY(!m_context->hasChanges());
    }

    void silentAddPostsNoPerRecordEvents()
    {
        m_controller->setSilentAddNewRecord(true);
        QVERIFY(m_controller->addNewRecord({ { EventKeys::source, "csv" } }));
        QCOMPARE(eventNames(),
                 (QStringList { Events::TBXRecordControllerReqDelayUpdate, Events::TBXAddCategoryReqRefresh }));
    }

    void identifiers()
    {
        Record *a = m_controller->addNewRecordMenuButton();
        Record *b = m_controller->addNewRecordMenuButton();
        const QList<ManagedObject *> objects { a, nullptr, b };
        QCOMPARE(RecordController::IDsOfManagedObjects(objects), (QList<ObjectID> { a->objectID(), b->objectID() }));
        const QStringList uris = RecordController::URIRepresentationsOfManagedObjects(objects);
        QCOMPARE(uris.size(), 2);
        QCOMPARE(m_context->objectWithID(*m_context->managedObjectIDForURIRepresentation(uris.last())), b);
    }
};

QTEST_GUILESS_MAIN(TestRecordController)
#include "tst_recordcontroller.moc"
