#include "predicate/SearchPredicate.h"

Predicate SearchPredicate::forSearchText(const QString &text)
{
    static const char *const keys[] = { "barcode",       "category",     "currency",      "item",
                                        "location",      "manufacturer", "model",         nullptr,
                                        "paymentMethod", "purchaseDate", "purchasePrice", "replacementCost",
                                        "serialNumber",  "tags",         "vendorName",    "customField.cfTextField" };
    const PredicateValue value = PredicateValue::text(text);
    const Predicate::Options options = Predicate::CaseInsensitive | Predicate::DiacriticInsensitive;
    QList<Predicate> terms;
    for (const char *key : keys) {
        const QString keyPath = key ? QString::fromLatin1(key) : KeyValueSource::notesPlainTextKey;
        const Predicate::Modifier modifier
            = keyPath.contains(u'.') ? Predicate::Modifier::Any : Predicate::Modifier::Direct;
        terms.append(Predicate::comparison(keyPath, Predicate::Operator::Contains, value, options, modifier));
    }
    return Predicate::orPredicate(terms);
}
