#include "store/Stashly2_DataModel.h"

namespace {

using T = AttributeDescription::Type;
using Rule = RelationshipDescription::DeleteRule;

AttributeDescription text(const char *name, int since = 1)
{
    return { QString::fromLatin1(name), T::Text, since };
}
AttributeDescription integer(const char *name)
{
    return { QString::fromLatin1(name), T::Integer, 1 };
}
AttributeDescription number(const char *name)
{
    return { QString::fromLatin1(name), T::Number, 1 };
}
AttributeDescription boolean(const char *name)
{
    return { QString::fromLatin1(name), T::Boolean, 1 };
}
AttributeDescription date(const char *name)
{
    return { QString::fromLatin1(name), T::Date, 1 };
}
AttributeDescription bytes(const char *name)
{
    return { QString::fromLatin1(name), T::Bytes, 1 };
}
RelationshipDescription toMany(const char *name, const char *destination, Rule rule)
{
    return { QString::fromLatin1(name), QString::fromLatin1(destination), rule, 1 };
}

ManagedObjectModel build()
{
    QList<EntityDescription> entities;
    entities << EntityDescription(
        QStringLiteral("Record"),
        { number("recordID"),
          text("item"),
          text("manufacturer"),
          text("model"),
          text("serialNumber"),
          text("barcode"),
          text("category"),
          text("location"),
          text("paymentMethod"),
          text("vendorName"),
          date("purchaseDate"),
          number("purchasePrice"),
          text("currency"),
          number("replacementCost"),
          text("replacementCurrency"),
          integer("recordQty"),
          integer("condition"),
          integer("labelIndex"),
          boolean("insured"),
          text("insurancePolicyName"),
          text("insuranceCoverageName"),
          integer("warrantyLengthNumber"),
          text("warrantyLengthIncrement"),
          integer("xWarrantyLengthNumber"),
          text("xWarrantyLengthIncrement"),
          boolean("addon"),
          number("warrantyLevel"),
          number("warrantyUsed"),
          text("expirationDate"),
          date("dateAdded"),
          text("photo"),
          text("imageUID", 2),
          bytes("notes"),
          text("tags") },
        { toMany("customField", "RecordCustomField", Rule::Cascade), toMany("fileData", "FileData", Rule::Cascade) });
    entities << EntityDescription(QStringLiteral("RecordCustomField"),
                                  { text("cfName"), text("cfType"), text("cfTextField") });
    entities << EntityDescription(QStringLiteral("FileData"),
                                  { text("fileName"), text("fileType"), text("displayName") });
    entities << EntityDescription(
        QStringLiteral("Category"),
        { text("categoryName"), text("categoryType"), text("catPhotoFilename"), boolean("catInsureAll"),
          text("catInsurancePolicyName"), text("catInsuranceCoverage"), date("catAutoPurchDate"),
          integer("catAutoCurrentMileage"), integer("catAutoMfgWarrantyMonths"), integer("catAutoMfgWarranyMiles"),
          text("catLeaseLoanPaid"), number("catLeaseLoanPayment"), integer("catLeaseLoanTermMonths"),
          integer("catLeaseLoanTermYears"), date("catBuildingPurchDate"), number("catBuildingPurchPrice"),
          integer("catBuildingWarrantyMonths") },
        { toMany("customField", "CustomField", Rule::Cascade) });
    entities << EntityDescription(QStringLiteral("CustomField"), { text("customFieldName"), text("customFieldType") });
    entities << EntityDescription(QStringLiteral("SmartFolder"), { text("smartFolderName"), bytes("predicateData") });
    entities << EntityDescription(QStringLiteral("Location"), { text("locationName"), boolean("isDefault") });
    entities << EntityDescription(QStringLiteral("PaymentMethod"),
                                  { text("methodName"), boolean("isDefaultPayment"), text("accountNumber"),
                                    text("bank"), text("bankPhoneNumber"), text("notes"),
                                    integer("automaticWarrantyNumber"), text("automaticWarrantyIncrement"),
                                    boolean("warrantyAddon") });
    entities << EntityDescription(QStringLiteral("Currency"),
                                  { text("currencyName"), text("currencySymbol"), boolean("isDefault") });
    entities << EntityDescription(QStringLiteral("Tag"), { text("tagName") });
    entities << EntityDescription(QStringLiteral("Item"), { text("itemName") });
    entities << EntityDescription(QStringLiteral("Vendor"),
                                  { text("vendorName"), text("vendorEmail"), text("vendorWebsite") });
    entities << EntityDescription(QStringLiteral("Manufacturer"),
                                  { text("manufacturerName"), text("manufacturerEmail"), text("manufacturerWebsite") });
    entities << EntityDescription(QStringLiteral("InsurancePolicy"), { text("policyName") },
                                  { toMany("coverage", "InsuranceCoverage", Rule::Cascade) });
    entities << EntityDescription(QStringLiteral("InsuranceCoverage"),
                                  { text("coverageName"), text("coverageType"), number("coverageAmount"),
                                    number("coverageCurrentTotal"), boolean("coverageOK") });
    // A website may be in several groups, so deleting a group leaves its websites.
    entities << EntityDescription(QStringLiteral("Group"), { text("groupName", 2) },
                                  { { QStringLiteral("website"), QStringLiteral("Website"), Rule::Nullify, 2 } }, 2);
    entities << EntityDescription(QStringLiteral("Website"),
                                  { text("websiteName", 2), text("websiteURL", 2), text("websiteReferralURL", 2) }, {},
                                  2);
    return ManagedObjectModel(Stashly2_DataModel::currentVersion, entities);
}

} // namespace

namespace Stashly2_DataModel {

const ManagedObjectModel &model()
{
    static const ManagedObjectModel theModel = build();
    return theModel;
}

} // namespace Stashly2_DataModel
