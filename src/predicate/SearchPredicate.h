#pragma once

#include "predicate/Predicate.h"

// The predicate of the library's search field: one OR of sixteen case- and
// diacritic-insensitive "contains" tests of the text as typed, over barcode,
// category, currency, item, location, manufacturer, model, the plain text of the
// notes, payment method, purchase date, purchase price, replacement cost, serial
// number, tags, vendor and any custom field value, in that order.
class SearchPredicate
{
public:
    static Predicate forSearchText(const QString &text);
};
