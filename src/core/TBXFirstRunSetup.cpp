#include "core/TBXFirstRunSetup.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Log.h"
#include "base/Settings.h"
#include "base/SidebarFavorites.h"
#include "core/CurrencyLabel.h"
#include "core/Library.h"
#include "predicate/Predicate.h"
#include "store/ManagedObjectContext.h"
#include "store/ToManySet.h"

#include <QLocale>

namespace {

TBXFirstRunSetup::Locator &locator()
{
    static TBXFirstRunSetup::Locator theLocator;
    return theLocator;
}

TBXFirstRunSetup::Importer &importer()
{
    static TBXFirstRunSetup::Importer theImporter;
    return theImporter;
}

ManagedObject *insert(ManagedObjectContext &context, const QString &entity,
                      std::initializer_list<std::pair<QString, QVariant>> values)
{
    ManagedObject *object = context.insertNewObject(entity);
    for (const auto &[key, value] : values)
        object->setValue(key, value);
    return object;
}

// One shop: the same address serves as its referral address.
TBXFirstRunSetup::Website shop(const char *name, const char *url)
{
    return { QString::fromUtf8(name), QString::fromLatin1(url), QString::fromLatin1(url) };
}

} // namespace

const QList<TBXFirstRunSetup::CategoryDefault> &TBXFirstRunSetup::defaultCategories()
{
    static const QList<CategoryDefault> categories {
        { QStringLiteral("My Car"), QStringLiteral("Vehicle") },
        { QStringLiteral("My Home"), QStringLiteral("Building") },
        { QStringLiteral("Computer Hardware"), QStringLiteral("Stuff") },
        { QStringLiteral("Computer Software"), QStringLiteral("Stuff") },
        { QStringLiteral("Household"), QStringLiteral("Stuff") },
        { QStringLiteral("Kitchen"), QStringLiteral("Stuff") },
        { QStringLiteral("Tools"), QStringLiteral("Stuff") },
        { QStringLiteral("Toys"), QStringLiteral("Stuff") },
        { QStringLiteral("Home Electronics"), QStringLiteral("Stuff") },
        { QStringLiteral("Personal Electronics"), QStringLiteral("Stuff") },
        { QStringLiteral("Sporting Goods"), QStringLiteral("Stuff") },
        { QStringLiteral("Personal Articles"), QStringLiteral("Stuff") },
    };
    return categories;
}

const QList<TBXFirstRunSetup::WebGroup> &TBXFirstRunSetup::defaultWebGroups()
{
    static const QList<WebGroup> groups {
        { QStringLiteral("General Shopping"),
          { shop("Amazon", "https://www.amazon.com/"), shop("Overstock", "https://www.overstock.com/"),
            shop("Walmart.com", "https://www.walmart.com/") } },
        { QStringLiteral("Deals & Steals"),
          { shop("Woot", "https://www.woot.com/"), shop("Slickdeals.net", "https://slickdeals.net/"),
            shop("DealMac", "https://www.dealmac.com/") } },
        { QStringLiteral("Fashion, Jewelry & Watches"),
          { shop("Forzieri", "https://www.forzieri.com/"), shop("Swell", "https://www.swell.com/"),
            shop("Amazon Watches", "https://www.amazon.com/s?k=watches"), shop("Zappos.com", "https://www.zappos.com/"),
            shop("Ashford", "https://www.ashford.com/"), shop("Nordstrom.com", "https://www.nordstrom.com/"),
            shop("Ralph Lauren", "https://www.ralphlauren.com/") } },
        { QStringLiteral("Gifts & Collectables"),
          { shop("Red Envelope", "https://www.redenvelope.com/"),
            shop("Uncommon Goods", "https://www.uncommongoods.com/"), shop("Signals", "https://www.signals.com/"),
            shop("Betty's Attic", "https://www.bettysattic.com/") } },
        { QStringLiteral("Computers & Electronics"),
          { shop("Apple Store", "https://www.apple.com/store"), shop("OWC", "https://eshop.macsales.com/"),
            shop("MacMall", "https://www.macmall.com/"), shop("TransIntl", "https://www.transintl.com/"),
            shop("MegaMacs", "https://www.megamacs.com/"), shop("Griffin", "https://www.griffintechnology.com/"),
            shop("Scosche", "https://www.scosche.com/"), shop("Cowboom", "https://www.cowboom.com/"),
            shop("Newegg", "https://www.newegg.com/"),
            shop("Amazon Electronics", "https://www.amazon.com/s?k=electronics") } },
        { QStringLiteral("Sporting Goods & Outdoors"),
          { shop("Campmor", "https://www.campmor.com/"),
            shop("The Sportsman's Guide", "https://www.sportsmansguide.com/"),
            shop("Cabela's", "https://www.cabelas.com/"), shop("REI", "https://www.rei.com/"),
            shop("Bass Pro Shops", "https://www.basspro.com/"),
            shop("Smoky Mountain Knife Works", "https://www.smkw.com/"), shop("Altrec", "https://www.altrec.com/"),
            shop("Sierra Trading Post", "https://www.sierra.com/"),
            shop("Columbia Sportswear", "https://www.columbia.com/"), shop("U.S. Cavalry", "https://www.uscav.com/"),
            shop("Duluth Trading Company", "https://www.duluthtrading.com/"),
            shop("Amazon Outdoors", "https://www.amazon.com/s?k=outdoor+gear") } },
        { QString::fromUtf8("Home Décor"),
          { shop("Design Toscano", "https://www.designtoscano.com/"),
            shop("Lumen Light + Living", "https://www.lumens.com/"), shop("Y Lighting", "https://www.ylighting.com/"),
            shop("Ballard Designs", "https://www.ballarddesigns.com/"),
            shop("Amazon Home", "https://www.amazon.com/s?k=home+decor"), shop("Rugs USA", "https://www.rugsusa.com/"),
            shop("Bombay Company", "https://www.bombaycompany.com/"), shop("Z Gallerie", "https://www.zgallerie.com/"),
            shop("Hayneedle", "https://www.hayneedle.com/") } },
        { QStringLiteral("Office"),
          { shop("Amazon Office", "https://www.amazon.com/s?k=office+supplies"),
            shop("Concord Supplies", "https://www.concordsupplies.com/"),
            shop("Staples", "https://www.staples.com/") } },
    };
    return groups;
}

Predicate TBXFirstRunSetup::warrantyWarningPredicate()
{
    const QString level = QStringLiteral("warrantyLevel");
    return Predicate::orPredicate(
        { Predicate::fromFormat(QStringLiteral("((%K > 1) AND (%K < 31))"), { level, level }) });
}

Predicate TBXFirstRunSetup::warrantyExpiredPredicate()
{
    const QString level = QStringLiteral("warrantyLevel");
    return Predicate::orPredicate(
        { Predicate::fromFormat(QStringLiteral("((%K == 0) || (%K == nil))"), { level, level }) });
}

void TBXFirstRunSetup::setOldLibraryLocator(Locator l)
{
    locator() = std::move(l);
}

void TBXFirstRunSetup::setOldLibraryImporter(Importer i)
{
    importer() = std::move(i);
}

TBXFirstRunSetup::TBXFirstRunSetup(ManagedObjectContext *context, QObject *parent)
    : QObject(parent)
    , m_context(context)
{
}

TBXFirstRunSetup::~TBXFirstRunSetup() = default;

std::optional<QString> TBXFirstRunSetup::commitChanges()
{
    QString error;
    if (!m_context)
        return QStringLiteral("The library is not open.");
    if (m_context->save(&error))
        return std::nullopt;
    return error;
}

bool TBXFirstRunSetup::setUpDefaults()
{
    if (!m_context)
        return false;
    ManagedObjectContext &c = *m_context;

    Settings::setValue(Settings::logLevel, 0);

    Log::always(QStringLiteral("Stashly2: Setting up default locations..."));
    insert(c, QStringLiteral("Location"),
           { { QStringLiteral("locationName"), QStringLiteral("Home") }, { QStringLiteral("isDefault"), true } });
    insert(c, QStringLiteral("Location"), { { QStringLiteral("locationName"), QStringLiteral("Work") } });

    Log::always(QStringLiteral("Stashly2: Setting up default currency..."));
    QLocale locale;
    // A locale without a currency of its own (the C locale of a bare system)
    // would leave the library with a nameless currency: take US dollars then.
    if (locale.currencySymbol(QLocale::CurrencyIsoCode).isEmpty())
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    const QString code = locale.currencySymbol(QLocale::CurrencyIsoCode);
    const QString symbol = locale.currencySymbol(QLocale::CurrencySymbol);
    insert(c, QStringLiteral("Currency"),
           { { QStringLiteral("currencyName"), code },
             { QStringLiteral("currencySymbol"), symbol },
             { QStringLiteral("isDefault"), true } });
    Settings::setValue(Settings::defaultCurrencySymbol, CurrencyLabel::longCurrency(symbol, code));

    Log::always(QStringLiteral("Stashly2: Setting up default payment methods..."));
    for (const char *method : { "Cash", "Debit Card", "Credit Card" })
        insert(c, QStringLiteral("PaymentMethod"),
               { { QStringLiteral("methodName"), QString::fromLatin1(method) },
                 { QStringLiteral("isDefaultPayment"), qstrcmp(method, "Cash") == 0 } });

    Log::always(QStringLiteral("Stashly2: Setting up default smart folders..."));
    insert(c, QStringLiteral("SmartFolder"),
           { { QStringLiteral("smartFolderName"), QStringLiteral("Warranty Warning") },
             { QStringLiteral("predicateData"), warrantyWarningPredicate().toData() } });
    insert(c, QStringLiteral("SmartFolder"),
           { { QStringLiteral("smartFolderName"), QStringLiteral("Warranty Expired") },
             { QStringLiteral("predicateData"), warrantyExpiredPredicate().toData() } });

    Log::always(QStringLiteral("Stashly2: Setting up default categories..."));
    for (const CategoryDefault &category : defaultCategories())
        insert(
            c, QStringLiteral("Category"),
            { { QStringLiteral("categoryName"), category.name }, { QStringLiteral("categoryType"), category.type } });

    Log::always(QStringLiteral("Stashly2: Setting up default shopping websites..."));
    for (const WebGroup &group : defaultWebGroups()) {
        ManagedObject *g = insert(c, QStringLiteral("Group"), { { QStringLiteral("groupName"), group.name } });
        ToManySet websites = g->mutableSetValueForKey(QStringLiteral("website"));
        for (const Website &site : group.websites)
            websites.addObject(insert(c, QStringLiteral("Website"),
                                      { { QStringLiteral("websiteName"), site.name },
                                        { QStringLiteral("websiteURL"), site.url },
                                        { QStringLiteral("websiteReferralURL"), site.referralURL } }));
    }

    // An earlier installation may have left the inbox in the file manager's
    // sidebar; there is no print-to-PDF service folder to clean on this platform.
    SidebarFavorites::removeFirstNamed(QStringLiteral("StashInbox"));

    // All the defaults land in one save together with the mark that they did:
    // a first run cut short leaves no half-made library, and the next open
    // makes them again.
    c.setStoreMetadata(Library::DefaultsMarkerKey, QStringLiteral("1"));
    if (const std::optional<QString> error = commitChanges()) {
        Log::always(QStringLiteral("Stashly2: Error during first run, saving the defaults"));
        Log::always(QStringLiteral("Error: %1").arg(*error));
        return false;
    }
    return true;
}

void TBXFirstRunSetup::sheetDidLoad()
{
    m_oldLibrary = locator() ? locator()() : QString();
    m_page = WelcomePage;
    m_ended = false;
    if (!m_oldLibrary.isEmpty())
        m_importPathTextString = QStringLiteral("An old database from Stashly 1 has been detected at: \n\n%1\n\n Would "
                                                "you like to import it now? Your old data will not be deleted.")
                                     .arg(m_oldLibrary);
}

void TBXFirstRunSetup::nextOrFinishButtonAction()
{
    if (m_ended)
        return;
    if (!m_oldLibrary.isEmpty() && m_page == WelcomePage) {
        m_page = ImportPage;
        emit pageChanged(m_page);
        return;
    }
    endSheet(true);
}

void TBXFirstRunSetup::dontImportButtonAction()
{
    endSheet(true);
}

void TBXFirstRunSetup::importButtonAction()
{
    if (m_ended)
        return;
    endSheet(false);
    if (importer() && !m_oldLibrary.isEmpty())
        importer()(m_oldLibrary);
    EventBus::instance().post(Events::TBXDidEndFirstRunSetupSheet);
}

void TBXFirstRunSetup::endSheet(bool post)
{
    if (m_ended)
        return;
    m_ended = true;
    emit sheetEnded();
    if (post)
        EventBus::instance().post(Events::TBXDidEndFirstRunSetupSheet);
}
