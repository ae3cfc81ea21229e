#include "base/Clock.h"
#include "base/EventBus.h"
#include "base/Events.h"
#include "core/Record.h"
#include "core/RecordNotes.h"
#include "predicate/SearchPredicate.h"
#include "store/ManagedObjectContext.h"
#include "store/ToManySet.h"
#include "store/UndoManager.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

// The record object: its setters' events (held back or not), the hold-back
// itself, recomputation on fetch, notes, tags and thumbnail paths.
class TestRecord : public QObject
{
    Q_OBJECT

    struct Posted
    {
        QString name;
        const void *object;
        QVariantMap userInfo;
    };

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ManagedObjectContext> m_context;
    QList<Posted> m_posted;

    Record *newRecord() { return Record::from(m_context->insertNewObject(Record::Entity)); }

    void watch()
    {
        for (const QString &name : { Events::TBXRecordReqUpdate, Events::TBXRecordInsuranceUpdated })
            EventBus::instance().observe(this, name, [this](const Event &e) {
                m_posted.append({ e.name, e.object, e.userInfo });
            });
    }

    // "Event(accessor)" or "Event()" for each event posted, in order.
    QStringList postedSummary() const
    {
        QStringList out;
        for (const Posted &p : m_posted)
            out << QStringLiteral("%1(%2)").arg(p.name, p.userInfo.value(EventKeys::recAccessorName).toString());
        return out;
    }

private slots:
    void initTestCase() { Record::registerClass(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QString error;
        m_context = ManagedObjectContext::open(m_dir->filePath(QStringLiteral("sqldata")),
                                               ManagedObjectContext::OpenMode::CreateIfMissing, &error);
        QVERIFY2(m_context, qPrintable(error));
        Clock::setNow(QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC));
        m_posted.clear();
    }

    void cleanup()
    {
        EventBus::instance().remove(this);
        m_context.reset();
        Clock::reset();
    }

    void setterEvents_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("held");
        QTest::addColumn<QStringList>("events");

        const QString upd = QStringLiteral("TBXRecordReqUpdate(%1)");
        const QString ins = QStringLiteral("TBXRecordInsuranceUpdated(%1)");
        QTest::newRow("item") << "item" << QVariant("Lamp") << false << QStringList { upd.arg("setItem") };
        QTest::newRow("item held back") << "item" << QVariant("Lamp") << true << QStringList {};
        QTest::newRow("clearing a value") << "model" << QVariant() << false << QStringList { upd.arg("setModel") };
        QTest::newRow("recordID") << "recordID" << QVariant(7.5) << false << QStringList { upd.arg("setRecordID") };
        QTest::newRow("x warranty number") << "xWarrantyLengthNumber" << QVariant(2) << false
                                           << QStringList { upd.arg("setWarrantyLevel"), upd.arg("setExpirationDate"),
                                                            upd.arg(""), upd.arg("setXWarrantyLengthNumber") };
        QTest::newRow("purchase date") << "purchaseDate" << QVariant(QDateTime(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC))
                                       << false
                                       << QStringList { upd.arg("setWarrantyLevel"), upd.arg("setExpirationDate"),
                                                        upd.arg(""), upd.arg("setPurchaseDate") };
        QTest::newRow("purchase date held back") << "purchaseDate" << QVariant() << true << QStringList {};
        QTest::newRow("addon") << "addon" << QVariant(true) << false
                               << QStringList { upd.arg("setWarrantyLevel"), upd.arg("setExpirationDate"), upd.arg(""),
                                                upd.arg("setAddon") };
        QTest::newRow("level does not recompute")
            << "warrantyLevel" << QVariant(12.0) << false << QStringList { upd.arg("setWarrantyLevel") };
        QTest::newRow("insured") << "insured" << QVariant(true) << false
                                 << QStringList { upd.arg("setInsured"), ins.arg("setInsured") };
        QTest::newRow("insured held back")
            << "insured" << QVariant(true) << true << QStringList { ins.arg("setInsured") };
        QTest::newRow("policy held back")
            << "insurancePolicyName" << QVariant("Home") << true << QStringList { ins.arg("setInsurancePolicyName") };
        QTest::newRow("coverage") << "insuranceCoverageName" << QVariant("Jewelry") << false
                                  << QStringList { upd.arg("setInsuranceCoverageName"),
                                                   ins.arg("setInsuranceCoverageName") };
        QTest::newRow("notes") << "notes" << QVariant(QByteArray("<b>hi</b>")) << false
                               << QStringList { upd.arg("setNotes") };
        QTest::newRow("unfit value posts nothing") << "recordQty" << QVariant("many") << false << QStringList {};
        QTest::newRow("unknown key posts nothing") << "colour" << QVariant("red") << false << QStringList {};
    }

    void setterEvents()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(bool, held);
        QFETCH(QStringList, events);

        Record *r = newRecord();
        r->setWarrantyLengthNumber(1);
        r->setWarrantyLengthIncrement(QStringLiteral("Years"));
        r->setDelayNotification(held);
        watch();
        const bool accepted = r->setValue(key, value);
        QCOMPARE(accepted, !events.isEmpty() || held);
        QCOMPARE(postedSummary(), events);
        for (const Posted &p : m_posted)
            QCOMPARE(p.object, static_cast<const void *>(static_cast<const ManagedObject *>(r)));
    }

    void coveragePayload_data()
    {
        QTest::addColumn<QVariant>("oldName");
        QTest::addColumn<QVariant>("newName");
        QTest::addColumn<QVariant>("cost");
        QTest::addColumn<QVariantMap>("payload");

        const QString acc = QStringLiteral("setInsuranceCoverageName");
        QTest::newRow("change") << QVariant("Jewelry") << QVariant("Art") << QVariant(250.0)
                                << QVariantMap { { "recAccessorName", acc },
                                                 { "oldCoverageName", "Jewelry" },
                                                 { "newCoverageName", "Art" },
                                                 { "replacementCost", 250.0 } };
        QTest::newRow("first coverage, no cost")
            << QVariant() << QVariant("Art") << QVariant()
            << QVariantMap { { "recAccessorName", acc }, { "newCoverageName", "Art" } };
        QTest::newRow("cleared") << QVariant("Art") << QVariant() << QVariant(10.0)
                                 << QVariantMap { { "recAccessorName", acc },
                                                  { "oldCoverageName", "Art" },
                                                  { "replacementCost", 10.0 } };
    }

    void coveragePayload()
    {
        QFETCH(QVariant, oldName);
        QFETCH(QVariant, newName);
        QFETCH(QVariant, cost);
        QFETCH(QVariantMap, payload);

        Record *r = newRecord();
        r->setInsuranceCoverageName(oldName);
        r->setReplacementCost(cost);
        // Held back: the insurance event is posted all the same.
        QVERIFY(r->delayNotification());
        watch();
        r->setInsuranceCoverageName(newName);
        QCOMPARE(m_posted.size(), 1);
        QCOMPARE(m_posted.first().name, Events::TBXRecordInsuranceUpdated);
        QCOMPARE(m_posted.first().userInfo, payload);
    }

    void holdBack_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<bool>("startHeld");
        QTest::addColumn<bool>("held");

        QTest::newRow("field editing begins") << Events::ControlTextDidBeginEditing << false << true;
        QTest::newRow("text view editing begins") << Events::TextDidBeginEditing << false << true;
        QTest::newRow("category asks to delay") << Events::TBXCategoryReqDelayRecordUpdate << false << true;
        QTest::newRow("field editing ends") << Events::ControlTextDidEndEditing << true << false;
        QTest::newRow("text view editing ends") << Events::TextDidEndEditing << true << false;
        QTest::newRow("category updated") << Events::TBXCategoryUpdated << true << false;
        QTest::newRow("other events change nothing") << Events::ControlTextDidChange << true << true;
    }

    void holdBack()
    {
        QFETCH(QString, event);
        QFETCH(bool, startHeld);
        QFETCH(bool, held);

        QList<Record *> records;
        for (int i = 0; i < 3; ++i) {
            records << newRecord();
            records.last()->setDelayNotification(startHeld);
        }
        watch();
        int sender = 0;
        EventBus::instance().post(event, &sender);
        for (Record *r : records)
            QCOMPARE(r->delayNotification(), held);
        QVERIFY(m_posted.isEmpty()); // changing the flag posts nothing
    }

    void newRecordStaysSilentUntilReleased()
    {
        Record *r = newRecord();
        QVERIFY(r->delayNotification());
        QVERIFY(r->purchaseDate().isValid());
        QCOMPARE(r->purchaseDate(), Clock::now());
        watch();
        r->setItem(QStringLiteral("Chair"));
        EventBus::instance().post(Events::ControlTextDidBeginEditing);
        r->setModel(QStringLiteral("X1"));
        QVERIFY(m_posted.isEmpty());
        EventBus::instance().post(Events::ControlTextDidEndEditing);
        r->setModel(QStringLiteral("X2"));
        QCOMPARE(postedSummary(), QStringList { QStringLiteral("TBXRecordReqUpdate(setModel)") });
    }

    void oneBusRegistrationForAllRecords()
    {
        const int before = EventBus::instance().observerCount(Events::TextDidEndEditing);
        for (int i = 0; i < 500; ++i)
            newRecord();
        QCOMPARE(EventBus::instance().observerCount(Events::TextDidEndEditing), qMax(before, 1));
        QVERIFY(Record::registeredRecordCount() >= 500);
        const int live = Record::registeredRecordCount();
        m_context.reset(); // releasing the records unregisters them
        QCOMPARE(Record::registeredRecordCount(), live - 500);
    }

    void toManyEvents_data()
    {
        QTest::addColumn<QString>("relationship");
        QTest::addColumn<QString>("member");
        QTest::addColumn<bool>("add");
        QTest::addColumn<int>("events");

        QTest::newRow("adding a custom field") << "customField"
                                               << "RecordCustomField" << true << 0;
        QTest::newRow("removing a custom field") << "customField"
                                                 << "RecordCustomField" << false << 1;
        QTest::newRow("adding an attachment") << "fileData"
                                              << "FileData" << true << 1;
        QTest::newRow("removing an attachment") << "fileData"
                                                << "FileData" << false << 0;
    }

    void toManyEvents()
    {
        QFETCH(QString, relationship);
        QFETCH(QString, member);
        QFETCH(bool, add);
        QFETCH(int, events);

        Record *r = newRecord();
        ManagedObject *m = m_context->insertNewObject(member);
        r->setDelayNotification(false);
        if (!add)
            r->mutableSetValueForKey(relationship).addObject(m);
        watch();
        if (add)
            r->mutableSetValueForKey(relationship).addObject(m);
        else
            r->mutableSetValueForKey(relationship).removeObject(m);
        QCOMPARE(m_posted.size(), events);
        for (const Posted &p : m_posted)
            QVERIFY(p.userInfo.isEmpty());
        m_posted.clear();
        // Held back, and when the record itself goes, nothing is posted.
        r->setDelayNotification(true);
        r->mutableSetValueForKey(relationship).removeObject(m);
        r->mutableSetValueForKey(relationship).addObject(m);
        r->setDelayNotification(false);
        m_posted.clear();
        m_context->deleteObject(r);
        QVERIFY(m_posted.isEmpty());
    }

    void fetchedRecordsRecomputeQuietly()
    {
        const QString path = m_dir->filePath(QStringLiteral("sqldata"));
        Clock::setNow(QDateTime(QDate(2024, 1, 1), QTime(12, 0), Qt::UTC));
        Record *r = newRecord();
        r->setWarrantyLengthNumber(10);
        r->setWarrantyLengthIncrement(QStringLiteral("Days"));
        QCOMPARE(r->expirationDate(), QStringLiteral("10 Days"));
        QVERIFY(m_context->save());
        m_context.reset();

        Clock::setNow(QDateTime(QDate(2024, 1, 5), QTime(12, 0), Qt::UTC));
        QString error;
        m_context = ManagedObjectContext::open(path, ManagedObjectContext::OpenMode::CreateIfMissing, &error);
        QVERIFY(m_context);
        const QList<ManagedObject *> all = m_context->executeFetchRequest({ Record::Entity, {}, {}, 0 });
        QCOMPARE(all.size(), 1);
        Record *fetched = Record::from(all.first());
        QVERIFY(fetched);
        QCOMPARE(fetched->expirationDate(), QStringLiteral("6 Days"));
        QCOMPARE(fetched->warrantyLevel(), double(60.0f));
        QVERIFY(!fetched->delayNotification());
        // A cache of what was read: no unsaved change, no undo step.
        QVERIFY(!m_context->hasChanges());
        QVERIFY(!m_context->undoManager()->canUndo());
        QVERIFY(Record::registeredRecordCount() >= 1);
    }

    void bulkRecalculationIsQuiet()
    {
        QList<ManagedObject *> records;
        for (int i = 0; i < 3; ++i) {
            Record *r = newRecord();
            r->setWarrantyLengthNumber(10);
            r->setWarrantyLengthIncrement(QStringLiteral("Days"));
            r->setDelayNotification(i != 1);
            records << r;
        }
        m_context->undoManager()->removeAllActions();
        Clock::setNow(Clock::now().addDays(4));
        watch();
        Record::recalculateWarranties(records);
        QVERIFY(m_posted.isEmpty());
        QVERIFY(!m_context->undoManager()->canUndo());
        QCOMPARE(Record::from(records.at(1))->expirationDate(), QStringLiteral("6 Days"));
        QVERIFY(!Record::from(records.at(1))->delayNotification());
        QVERIFY(Record::from(records.at(0))->delayNotification());
    }

    void notesAreNormalised_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("plain");

        QTest::newRow("several fonts") << QByteArray(
            "<html><body><p style='font-family:Courier; font-size:20pt; color:red; "
            "margin-left:30px; text-align:right'>Bought <b>2019</b></p>"
            "<p style='line-height:300%'><span style='font-family:Times'>Receipt</span> "
            "&amp; <i>box</i></p></body></html>")
                                       << "Bought 2019\nReceipt & box";
        QTest::newRow("plain text with spacing")
            << QByteArray("  two  spaces\n\n\ttab <5>") << "  two  spaces\n\n\ttab <5>";
        QTest::newRow("unicode") << QByteArray("<p>Ærø – naïve 🙂</p>")
                                 << QString::fromUtf8("Ærø – naïve 🙂");
        // The markers of lists stay as text, nested lists one tab further in.
        QTest::newRow("numbered list") << QByteArray("<ol><li>first</li><li><b>second</b></li></ol>")
                                       << "1. first\n2. second";
        QTest::newRow("bulleted list after a paragraph")
            << QByteArray("<p>In the box:</p><ul><li>cable</li><li>remote</li></ul><p>Kept</p>")
            << QString::fromUtf8("In the box:\n• cable\n• remote\nKept");
        QTest::newRow("nested lists") << QByteArray(
            "<ol><li>Set up<ul><li>stand</li><li>feet<ol type='a'><li>left</li><li>right</li></ol></li>"
            "</ul></li><li>Use</li></ol>")
                                      << QString::fromUtf8(
                                             "1. Set up\n\t• stand\n\t• feet\n\t\ta. left\n\t\tb. right\n2. Use");
        // An empty item, as a text editor writes it, keeps its marker.
        QTest::newRow("square bullets and an empty item")
            << QByteArray("<ul style=\"list-style-type: square\"><li>spare</li>"
                          "<li style=\"-qt-paragraph-type:empty;\"><br /></li></ul><p>End</p>")
            << QString::fromUtf8("▪ spare\n▪\nEnd");
    }

    void notesAreNormalised()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, plain);

        Record *r = newRecord();
        QVERIFY(r->setNotes(input));
        const QByteArray stored = r->notes();
        QCOMPARE(stored, RecordNotes::fromPlainText(plain));
        QCOMPARE(r->notesPlainText(), plain);
        QCOMPARE(r->valueForKey(KeyValueSource::notesPlainTextKey).toString(), plain);
        QCOMPARE(RecordNotes::normalized(stored), stored); // normalising is idempotent

        QTextDocument document;
        document.setHtml(QString::fromUtf8(stored));
        QCOMPARE(document.toPlainText(), plain);
        for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
            const QTextBlockFormat f = b.blockFormat();
            QCOMPARE(f.lineHeight(), 175.0);
            QCOMPARE(f.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
            QCOMPARE(f.leftMargin(), 0.0);
            QCOMPARE(f.textIndent(), 0.0);
            QCOMPARE(f.topMargin(), 0.0);
            QCOMPARE(f.bottomMargin(), 0.0);
            QVERIFY(f.alignment() & Qt::AlignLeft);
            for (QTextBlock::iterator it = b.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat c = it.fragment().charFormat();
                QVERIFY(!c.hasProperty(QTextFormat::FontFamilies));
                QVERIFY(!c.hasProperty(QTextFormat::FontWeight));
                QVERIFY(!c.hasProperty(QTextFormat::ForegroundBrush));
            }
        }
    }

    void notesSearchAndClearing()
    {
        Record *r = newRecord();
        QVERIFY(!r->valueForKey(KeyValueSource::notesPlainTextKey).isValid());
        r->setNotes(QByteArray("<p>Warranty card in the <i>blue</i> folder</p>"));
        QVERIFY(SearchPredicate::forSearchText(QStringLiteral("blue folder")).evaluate(*r));
        QVERIFY(!SearchPredicate::forSearchText(QStringLiteral("green")).evaluate(*r));
        r->setNotes(QVariant());
        QVERIFY(!r->valueForKey(QStringLiteral("notes")).isValid());
        QVERIFY(!r->valueForKey(KeyValueSource::notesPlainTextKey).isValid());
        r->setNotes(QByteArray());
        QVERIFY(!r->valueForKey(QStringLiteral("notes")).isValid());
        // Undo of a notes change refreshes the plain text too.
        r->setNotes(QByteArray("first"));
        m_context->undoManager()->removeAllActions();
        m_context->undoManager()->beginUndoGrouping();
        r->setNotes(QByteArray("second"));
        m_context->undoManager()->endUndoGrouping();
        m_context->undoManager()->undo();
        QCOMPARE(r->notesPlainText(), QStringLiteral("first"));
    }

    void tagArray_data()
    {
        QTest::addColumn<QVariant>("tags");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("missing") << QVariant() << QStringList {};
        QTest::newRow("empty") << QVariant("") << QStringList {};
        QTest::newRow("two") << QVariant("red,big") << QStringList { "red", "big" };
        QTest::newRow("not trimmed") << QVariant("a, b") << QStringList { "a", " b" };
        QTest::newRow("a lone comma") << QVariant(",") << QStringList { "", "" };
    }

    void tagArray()
    {
        QFETCH(QVariant, tags);
        QFETCH(QStringList, expected);
        Record *r = newRecord();
        r->setTags(tags);
        QCOMPARE(r->tagArray(), expected);
    }

    void thumbnailPaths()
    {
        Record *r = newRecord();
        r->setRecordID(740000000.123456);
        QCOMPARE(r->recordIDText(), QStringLiteral("740000000.123456"));
        const QString expected = QDir(m_dir->path()).filePath(QStringLiteral("Thumbnails/740000000.123456"));
        QCOMPARE(r->photoURL(), QUrl::fromLocalFile(expected));
        QVERIFY(r->photoImg().isNull());
        QDir(m_dir->path()).mkpath(QStringLiteral("Thumbnails"));
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::green);
        QVERIFY(image.save(expected, "JPEG")); // no extension, as the package stores it
        QCOMPARE(r->photoImg().size(), QSize(8, 6));
        QFile::remove(expected);
        QFile garbage(expected);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("not a picture");
        garbage.close();
        QVERIFY(r->photoImg().isNull());
    }

    void recordIDTextIsStable_data()
    {
        QTest::addColumn<double>("id");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 740000000.0 << "740000000.000000";
        QTest::newRow("milliseconds") << 740000000.125 << "740000000.125000";
        QTest::newRow("microseconds") << 740000000.000001 << "740000000.000001";
        QTest::newRow("before 2001") << -12.5 << "-12.500000";
    }

    void recordIDTextIsStable()
    {
        QFETCH(double, id);
        QFETCH(QString, text);
        QCOMPARE(Record::recordIDText(id), text);
    }
};

QTEST_GUILESS_MAIN(TestRecord)
#include "tst_record.moc"
