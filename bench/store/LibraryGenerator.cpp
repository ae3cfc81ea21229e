#include "LibraryGenerator.h"

#include "core/Library.h"
#include "core/RecordNotes.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/ToManySet.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QStringList>
#include <QTimeZone>

namespace {

const QStringList kAdjectives { "Cordless", "Vintage", "Stainless", "Portable", "Wireless",
                                "Ceramic",  "Folding", "Electric",  "Oak",      "Cast Iron",
                                "Compact",  "Digital", "Leather",   "Smart",    "Outdoor" };
const QStringList kNouns { "Drill",   "Lamp",    "Chair", "Kettle", "Camera",     "Guitar",  "Bicycle",
                           "Blender", "Laptop",  "Desk",  "Vacuum", "Headphones", "Toaster", "Ladder",
                           "Grill",   "Monitor", "Sofa",  "Watch",  "Printer",    "Speaker", "Mixer",
                           "Saw",     "Tent",    "Rug",   "Mirror" };
const QStringList kMakers { "Northwind", "Acmeworks",      "Brightline", "Hollow Oak",  "Kestrel",
                            "Lumina",    "Marlow & Finch", "Nordvik",    "Orbis",       "Pinecrest",
                            "Quillon",   "Redfern",        "Solberg",    "Tamarack",    "Umbra",
                            "Vantage",   "Westmark",       "Yarrow",     "Zephyr Labs", "Ironbark" };
const QStringList kCategories { "Tools",    "Kitchen", "Electronics", "Furniture",  "Music",
                                "Sports",   "Garden",  "Office",      "Books",      "Jewellery",
                                "Clothing", "Art",     "Toys",        "Appliances", "Camping" };
const QStringList kLocations { "Kitchen", "Garage", "Attic",   "Basement", "Living Room", "Bedroom",
                               "Study",   "Shed",   "Hallway", "Bathroom", "Office",      "Storage Unit" };
const QStringList kPayments { "Visa", "Mastercard", "Cash", "Debit Card", "Gift Card", "Store Credit" };
const QStringList kVendors { "Corner Hardware", "Main Street Music", "Online Mart",     "Big Box Store", "Flea Market",
                             "Outlet Centre",   "Camera Shop",       "Furniture Depot", "Garden Centre", "Book Nook" };
const QStringList kIncrements { "Days", "Weeks", "Months", "Years", "Lifetime" };
const QStringList kCurrencies { "$ - USD", "€ - EUR", "£ - GBP" };
const QStringList kWords { "brass",    "matte",    "blue",     "walnut", "spare", "gift",  "boxed",    "scratched",
                           "serviced", "original", "repaired", "second", "large", "small", "engraved", "signed" };

QString pick(QRandomGenerator &g, const QStringList &list)
{
    return list.at(int(g.bounded(quint32(list.size()))));
}

QString digits(QRandomGenerator &g, int count)
{
    QString s;
    for (int i = 0; i < count; ++i)
        s.append(QLatin1Char(char('0' + g.bounded(10))));
    return s;
}

QString sentence(QRandomGenerator &g, int words)
{
    QStringList parts;
    for (int i = 0; i < words; ++i)
        parts.append(pick(g, kWords));
    return parts.join(QLatin1Char(' '));
}

void fillRecord(ManagedObject *r, int i, QRandomGenerator &g)
{
    const double recordID = 400000000.0 + i * 613.25 + g.bounded(1000) / 1000.0;
    const QDateTime bought
        = QDateTime(QDate(2005, 1, 1), QTime(0, 0), QTimeZone::utc()).addSecs(qint64(g.bounded(600000000)));
    r->set(QStringLiteral("recordID"), recordID);
    r->set(QStringLiteral("item"), pick(g, kAdjectives) + QLatin1Char(' ') + pick(g, kNouns));
    r->set(QStringLiteral("manufacturer"), pick(g, kMakers));
    r->set(QStringLiteral("model"), QStringLiteral("%1-%2").arg(QChar(u'A' + g.bounded(26))).arg(digits(g, 4)));
    r->set(QStringLiteral("serialNumber"), QStringLiteral("SN") + digits(g, 10));
    r->set(QStringLiteral("barcode"), digits(g, 13));
    r->set(QStringLiteral("category"), pick(g, kCategories));
    r->set(QStringLiteral("location"), pick(g, kLocations));
    r->set(QStringLiteral("paymentMethod"), pick(g, kPayments));
    r->set(QStringLiteral("vendorName"), pick(g, kVendors));
    r->set(QStringLiteral("purchaseDate"), bought);
    r->set(QStringLiteral("purchasePrice"), g.bounded(500000) / 100.0);
    r->set(QStringLiteral("currency"), pick(g, kCurrencies));
    r->set(QStringLiteral("replacementCost"), g.bounded(600000) / 100.0);
    r->set(QStringLiteral("replacementCurrency"), pick(g, kCurrencies));
    r->set(QStringLiteral("recordQty"), 1 + int(g.bounded(4)));
    r->set(QStringLiteral("condition"), int(g.bounded(6)));
    r->set(QStringLiteral("labelIndex"), int(g.bounded(8)));
    r->set(QStringLiteral("insured"), g.bounded(2) == 1);
    r->set(QStringLiteral("insurancePolicyName"), QStringLiteral("Home Policy"));
    r->set(QStringLiteral("insuranceCoverageName"), pick(g, { "Contents", "Jewellery", "Electronics" }));
    r->set(QStringLiteral("warrantyLengthNumber"), 1 + int(g.bounded(5)));
    r->set(QStringLiteral("warrantyLengthIncrement"), pick(g, kIncrements));
    r->set(QStringLiteral("xWarrantyLengthNumber"), int(g.bounded(3)));
    r->set(QStringLiteral("xWarrantyLengthIncrement"), pick(g, kIncrements));
    r->set(QStringLiteral("addon"), g.bounded(4) == 0);
    r->set(QStringLiteral("warrantyLevel"), double(float(g.bounded(10000) / 100.0)));
    r->set(QStringLiteral("warrantyUsed"), g.bounded(100) / 1.0);
    r->set(QStringLiteral("expirationDate"), QStringLiteral("%1 Days").arg(g.bounded(2000)));
    r->set(QStringLiteral("dateAdded"), bought.addDays(g.bounded(30)));
    r->set(QStringLiteral("photo"), QString::number(recordID, 'f', 3));
    r->set(QStringLiteral("imageUID"), QStringLiteral("IMG-") + digits(g, 8));
    r->set(QStringLiteral("notes"), RecordNotes::fromPlainText(sentence(g, 12 + int(g.bounded(20)))));
    r->set(QStringLiteral("tags"), pick(g, kWords) + QLatin1Char(',') + pick(g, kWords));
}

} // namespace

namespace LibraryGenerator {

bool generate(const QString &packagePath, int records, QString *error)
{
    // Made the way every library is opened for changing.
    std::unique_ptr<Library> library = Library::open({ packagePath, Library::Access::Change, 0, {} }, error);
    if (!library)
        return false;
    ManagedObjectContext *context = &library->context();
    context->setUndoManager(nullptr);
    QRandomGenerator g(20240501);
    for (const QString &name : kCategories)
        context->insertNewObject(QStringLiteral("Category"))->set(QStringLiteral("categoryName"), name);
    for (const QString &name : kLocations)
        context->insertNewObject(QStringLiteral("Location"))->set(QStringLiteral("locationName"), name);
    for (const QString &name : kPayments)
        context->insertNewObject(QStringLiteral("PaymentMethod"))->set(QStringLiteral("methodName"), name);
    for (const QString &name : kVendors)
        context->insertNewObject(QStringLiteral("Vendor"))->set(QStringLiteral("vendorName"), name);
    for (const QString &name : kMakers)
        context->insertNewObject(QStringLiteral("Manufacturer"))->set(QStringLiteral("manufacturerName"), name);
    for (int i = 0; i < records; ++i) {
        ManagedObject *r = context->insertNewObject(QStringLiteral("Record"));
        fillRecord(r, i, g);
        ToManySet fields = r->mutableSetValueForKey(QStringLiteral("customField"));
        for (const char *label : { "Colour", "Size", "Notes" }) {
            ManagedObject *f = context->insertNewObject(QStringLiteral("RecordCustomField"));
            f->set(QStringLiteral("cfName"), QString::fromLatin1(label));
            f->set(QStringLiteral("cfType"), QStringLiteral("Text Field"));
            f->set(QStringLiteral("cfTextField"), sentence(g, 2));
            fields.addObject(f);
        }
        ManagedObject *file = context->insertNewObject(QStringLiteral("FileData"));
        file->set(QStringLiteral("fileName"), QStringLiteral("receipt-%1.pdf").arg(i));
        file->set(QStringLiteral("fileType"), QStringLiteral("PDF document"));
        file->set(QStringLiteral("displayName"), QStringLiteral("Receipt %1").arg(i));
        r->mutableSetValueForKey(QStringLiteral("fileData")).addObject(file);
    }
    return context->save(error);
}

} // namespace LibraryGenerator
