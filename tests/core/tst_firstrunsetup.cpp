#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Log.h"
#include "base/PlatformPaths.h"
#include "base/Settings.h"
#include "base/SidebarFavorites.h"
#include "core/Record.h"
#include "core/TBXFirstRunSetup.h"
#include "predicate/Predicate.h"
#include "store/ManagedObjectContext.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

// The defaults of a new library, exactly, and the welcome sheet's ways out.
class TestFirstRunSetup : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ManagedObjectContext> m_context;

    QList<ManagedObject *> all(const QString &entity)
    {
        return m_context->executeFetchRequest({ entity, Predicate(), {}, 0 });
    }

    QStringList names(const QString &entity, const QString &key)
    {
        QStringList list;
        for (ManagedObject *o : all(entity))
            list << o->valueForKey(key).toString();
        return list;
    }

    std::unique_ptr<ManagedObjectContext> open(ManagedObjectContext::OpenMode mode)
    {
        QString error;
        auto c = ManagedObjectContext::open(m_dir->filePath(QStringLiteral("sqldata")), mode, &error);
        if (!c)
            qWarning("%s", qPrintable(error));
        return c;
    }

    static QStringList logLines()
    {
        QFile f(PlatformPaths::logFilePath());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList lines;
        for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            lines << line.section(QStringLiteral("] "), 1); // without time and process
        return lines;
    }

private slots:
    void initTestCase()
    {
        Record::registerClass();
        QVERIFY(Log::writeToLogFile());
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        Settings::setFilePath(m_dir->filePath(QStringLiteral("settings.ini")));
        QFile::remove(PlatformPaths::logFilePath());
        QVERIFY(Log::writeToLogFile());
        m_context = open(ManagedObjectContext::OpenMode::CreateIfMissing);
        QVERIFY(m_context);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void cleanup()
    {
        EventBus::instance().remove(this);
        TBXFirstRunSetup::setOldLibraryLocator({});
        TBXFirstRunSetup::setOldLibraryImporter({});
        m_context.reset();
        QLocale::setDefault(QLocale::c());
    }

    void defaultsExactly()
    {
        Settings::setValue(Settings::logLevel, 2);
        TBXFirstRunSetup setup(m_context.get());
        QVERIFY(setup.setUpDefaults());
        QVERIFY(!m_context->hasChanges());
        QCOMPARE(Settings::integer(Settings::logLevel), 0);

        QCOMPARE(names(QStringLiteral("Location"), QStringLiteral("locationName")), (QStringList { "Home", "Work" }));
        const QList<ManagedObject *> locations = all(QStringLiteral("Location"));
        QCOMPARE(locations.at(0)->valueForKey(QStringLiteral("isDefault")), QVariant(true));
        QVERIFY(!locations.at(1)->valueForKey(QStringLiteral("isDefault")).isValid());

        const QList<ManagedObject *> currencies = all(QStringLiteral("Currency"));
        QCOMPARE(currencies.size(), 1);
        QCOMPARE(currencies.first()->valueForKey(QStringLiteral("currencyName")).toString(), QStringLiteral("EUR"));
        QCOMPARE(currencies.first()->valueForKey(QStringLiteral("currencySymbol")).toString(), QString::fromUtf8("€"));
        QCOMPARE(currencies.first()->valueForKey(QStringLiteral("isDefault")), QVariant(true));
        QCOMPARE(Settings::text(Settings::defaultCurrencySymbol), QString::fromUtf8("€ - EUR"));

        QCOMPARE(names(QStringLiteral("PaymentMethod"), QStringLiteral("methodName")),
                 (QStringList { "Cash", "Debit Card", "Credit Card" }));
        QVariantList flags;
        for (ManagedObject *m : all(QStringLiteral("PaymentMethod")))
            flags << m->valueForKey(QStringLiteral("isDefaultPayment"));
        QCOMPARE(flags, (QVariantList { true, false, false }));

        QCOMPARE(names(QStringLiteral("SmartFolder"), QStringLiteral("smartFolderName")),
                 (QStringList { "Warranty Warning", "Warranty Expired" }));
        const QList<ManagedObject *> folders = all(QStringLiteral("SmartFolder"));
        const std::optional<Predicate> warning
            = Predicate::fromData(folders.at(0)->valueForKey(QStringLiteral("predicateData")).toByteArray());
        const std::optional<Predicate> expired
            = Predicate::fromData(folders.at(1)->valueForKey(QStringLiteral("predicateData")).toByteArray());
        QVERIFY(warning && expired);
        QVERIFY(warning->isCompound() && warning->compoundType() == Predicate::CompoundType::Or);
        QCOMPARE(warning->members().size(), 1);
        QCOMPARE(warning->members().first().description(), QStringLiteral("warrantyLevel > 1 AND warrantyLevel < 31"));
        QVERIFY(expired->isCompound() && expired->compoundType() == Predicate::CompoundType::Or);
        QCOMPARE(expired->members().size(), 1);
        QCOMPARE(expired->members().first().description(),
                 QStringLiteral("warrantyLevel == 0 OR warrantyLevel == nil"));

        QStringList categoryRows;
        for (ManagedObject *c : all(QStringLiteral("Category")))
            categoryRows << c->valueForKey(QStringLiteral("categoryName")).toString() + QLatin1Char('/')
                    + c->valueForKey(QStringLiteral("categoryType")).toString();
        QCOMPARE(
            categoryRows,
            (QStringList { "My Car/Vehicle", "My Home/Building", "Computer Hardware/Stuff", "Computer Software/Stuff",
                           "Household/Stuff", "Kitchen/Stuff", "Tools/Stuff", "Toys/Stuff", "Home Electronics/Stuff",
                           "Personal Electronics/Stuff", "Sporting Goods/Stuff", "Personal Articles/Stuff" }));

        for (const char *none :
             { "Tag", "Vendor", "Manufacturer", "InsurancePolicy", "InsuranceCoverage", "Record", "Item" })
            QVERIFY2(all(QString::fromLatin1(none)).isEmpty(), none);

        QCOMPARE(logLines(),
                 (QStringList { "Stashly2: Setting up default locations...", "Stashly2: Setting up default currency...",
                                "Stashly2: Setting up default payment methods...",
                                "Stashly2: Setting up default smart folders...",
                                "Stashly2: Setting up default categories...",
                                "Stashly2: Setting up default shopping websites..." }));
    }

    void webGroups_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("named"); // the shops the names of which are fixed; "" for a free one

        QTest::newRow("1") << 0 << "General Shopping" << QStringList { "Amazon", "Overstock", "" };
        QTest::newRow("2") << 1 << "Deals & Steals" << QStringList { "Woot", "", "DealMac" };
        QTest::newRow("3") << 2 << "Fashion, Jewelry & Watches"
                           << QStringList { "Forzieri", "Swell", "Amazon Watches", "", "Ashford", "", "" };
        QTest::newRow("4") << 3 << "Gifts & Collectables"
                           << QStringList { "Red Envelope", "Uncommon Goods", "Signals", "Betty's Attic" };
        QTest::newRow("5") << 4 << "Computers & Electronics"
                           << QStringList { "Apple Store", "OWC",     "MacMall", "TransIntl", "MegaMacs",
                                            "Griffin",     "Scosche", "Cowboom", "Newegg",    "Amazon Electronics" };
        QTest::newRow("6") << 5 << "Sporting Goods & Outdoors"
                           << QStringList { "Campmor",      "The Sportsman's Guide",  "Cabela's",
                                            "REI",          "Bass Pro Shops",         "Smoky Mountain Knife Works",
                                            "Altrec",       "Sierra Trading Post",    "Columbia Sportswear",
                                            "U.S. Cavalry", "Duluth Trading Company", "Amazon Outdoors" };
        QTest::newRow("7") << 6 << QString::fromUtf8("Home Décor")
                           << QStringList { "Design Toscano",  "Lumen Light + Living", "Y Lighting",
                                            "Ballard Designs", "Amazon Home",          "Rugs USA",
                                            "Bombay Company",  "Z Gallerie",           "Hayneedle" };
        QTest::newRow("8") << 7 << "Office" << QStringList { "Amazon Office", "Concord Supplies", "Staples" };
    }

    void webGroups()
    {
        QFETCH(int, index);
        QFETCH(QString, group);
        QFETCH(QStringList, named);

        TBXFirstRunSetup setup(m_context.get());
        QVERIFY(setup.setUpDefaults());
        const QList<ManagedObject *> groups = all(QStringLiteral("Group"));
        QCOMPARE(groups.size(), 8);
        ManagedObject *g = groups.at(index);
        QCOMPARE(g->valueForKey(QStringLiteral("groupName")).toString(), group);
        const QList<ManagedObject *> sites
            = g->relatedObjects(g->entity().relationshipIndex(QStringLiteral("website")));
        QCOMPARE(sites.size(), named.size());
        for (int i = 0; i < sites.size(); ++i) {
            const QString name = sites.at(i)->valueForKey(QStringLiteral("websiteName")).toString();
            if (!named.at(i).isEmpty())
                QCOMPARE(name, named.at(i));
            QVERIFY(!name.isEmpty());
            for (const char *key : { "websiteURL", "websiteReferralURL" }) {
                const QUrl url(sites.at(i)->valueForKey(QString::fromLatin1(key)).toString(), QUrl::StrictMode);
                QVERIFY2(url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty(),
                         qPrintable(name));
            }
        }
        // Websites are made in group order, so the store lists them in that order too.
        int total = 0;
        for (const TBXFirstRunSetup::WebGroup &wg : TBXFirstRunSetup::defaultWebGroups())
            total += int(wg.websites.size());
        QCOMPARE(all(QStringLiteral("Website")).size(), total);
    }

    void warrantyFoldersSplitRecords_data()
    {
        QTest::addColumn<QVariant>("level");
        QTest::addColumn<bool>("warning");
        QTest::addColumn<bool>("expired");
        QTest::newRow("missing") << QVariant() << false << true;
        QTest::newRow("0") << QVariant(0.0) << false << true;
        QTest::newRow("0.11 (hours left)") << QVariant(0.11) << false << false;
        QTest::newRow("1") << QVariant(1.0) << false << false;
        QTest::newRow("1.5") << QVariant(1.5) << true << false;
        QTest::newRow("22.2") << QVariant(22.2) << true << false;
        QTest::newRow("31") << QVariant(31.0) << false << false;
        QTest::newRow("100") << QVariant(100.0) << false << false;
    }

    void warrantyFoldersSplitRecords()
    {
        QFETCH(QVariant, level);
        QFETCH(bool, warning);
        QFETCH(bool, expired);
        Record *r = Record::from(m_context->insertNewObject(Record::Entity));
        r->setWarrantyLevel(level);
        QCOMPARE(TBXFirstRunSetup::warrantyWarningPredicate().evaluate(*r), warning);
        QCOMPARE(TBXFirstRunSetup::warrantyExpiredPredicate().evaluate(*r), expired);
    }

    void localeWithoutCurrencyFallsBackToDollars()
    {
        QLocale::setDefault(QLocale::c());
        TBXFirstRunSetup setup(m_context.get());
        QVERIFY(setup.setUpDefaults());
        const QList<ManagedObject *> currencies = all(QStringLiteral("Currency"));
        QCOMPARE(currencies.first()->valueForKey(QStringLiteral("currencyName")).toString(), QStringLiteral("USD"));
        QCOMPARE(Settings::text(Settings::defaultCurrencySymbol), QStringLiteral("$ - USD"));
    }

    // One save for every default: a failure is logged once, and the defaults
    // stay in the context for the next save.
    void failedSaveIsLoggedAndTheDefaultsStay()
    {
        m_context.reset();
        m_context = open(ManagedObjectContext::OpenMode::ReadOnly);
        QVERIFY(m_context);
        TBXFirstRunSetup setup(m_context.get());
        QVERIFY(!setup.setUpDefaults());
        QCOMPARE(all(QStringLiteral("Category")).size(), 12);
        QCOMPARE(all(QStringLiteral("Group")).size(), 8);
        QVERIFY(m_context->hasChanges());
        QStringList failures;
        for (const QString &line : logLines())
            if (line.contains(QLatin1String("Error during first run")))
                failures << line;
        QCOMPARE(failures, QStringList { "Stashly2: Error during first run, saving the defaults" });
        QCOMPARE(logLines().filter(QRegularExpression(QStringLiteral("^Error: .*read-only"))).size(), 1);
    }

    void inboxFavouriteIsRemoved()
    {
        const QString other = m_dir->filePath(QStringLiteral("Documents"));
        const QString inbox1 = m_dir->filePath(QStringLiteral("Old.stashlyd/StashInbox"));
        const QString inbox2 = m_dir->filePath(QStringLiteral("Other.stashlyd/StashInbox"));
        QFile::remove(SidebarFavorites::bookmarksPath());
        for (const QString &p : { other, inbox1, inbox2 })
            QVERIFY(SidebarFavorites::add(p));
        TBXFirstRunSetup setup(m_context.get());
        setup.setUpDefaults();
        QCOMPARE(SidebarFavorites::paths(), (QStringList { other, inbox2 }));
    }

    void welcomeSheet_data()
    {
        QTest::addColumn<QString>("found");
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("steps"); // what happened, in order

        QTest::newRow("nothing found: Finish ends at once")
            << "" << QStringList { "main" } << QStringList { "ended", "posted" };
        QTest::newRow("found: Next, then decline")
            << "/home/u/Stashly" << QStringList { "main", "decline" } << QStringList { "page 1", "ended", "posted" };
        QTest::newRow("found: Next, then import")
            << "/home/u/Stashly" << QStringList { "main", "import" }
            << QStringList { "page 1", "ended", "import /home/u/Stashly", "posted" };
        QTest::newRow("buttons after the end do nothing")
            << "" << QStringList { "main", "main", "import" } << QStringList { "ended", "posted" };
    }

    void welcomeSheet()
    {
        QFETCH(QString, found);
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, steps);

        QStringList happened;
        TBXFirstRunSetup::setOldLibraryLocator([found] { return found; });
        TBXFirstRunSetup::setOldLibraryImporter(
            [&](const QString &path) { happened << QStringLiteral("import ") + path; });
        EventBus::instance().observe(this, Events::TBXDidEndFirstRunSetupSheet, [&](const Event &e) {
            QVERIFY(!e.object);
            happened << QStringLiteral("posted");
        });
        TBXFirstRunSetup setup(m_context.get());
        connect(&setup, &TBXFirstRunSetup::pageChanged, this,
                [&](int page) { happened << QStringLiteral("page %1").arg(page); });
        connect(&setup, &TBXFirstRunSetup::sheetEnded, this, [&] { happened << QStringLiteral("ended"); });
        setup.sheetDidLoad();
        QCOMPARE(setup.mainButtonTitle(), found.isEmpty() ? QStringLiteral("Finish") : QStringLiteral("Next"));
        QCOMPARE(setup.mainButtonHasArrow(), !found.isEmpty());
        if (!found.isEmpty())
            QCOMPARE(setup.importPathTextString(),
                     QStringLiteral("An old database from Stashly 1 has been detected at: \n\n%1\n\n Would you like to "
                                    "import it now? Your old data will not be deleted.")
                         .arg(found));
        for (const QString &click : clicks) {
            if (click == QLatin1String("main"))
                setup.nextOrFinishButtonAction();
            else if (click == QLatin1String("decline"))
                setup.dontImportButtonAction();
            else
                setup.importButtonAction();
        }
        QCOMPARE(happened, steps);
        QVERIFY(setup.hasEnded());
    }
};

QTEST_GUILESS_MAIN(TestFirstRunSetup)
#include "tst_firstrunsetup.moc"
