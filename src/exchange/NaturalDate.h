#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// Reads the dates people type or spreadsheets write: ISO 8601 first (it is
// unambiguous), then the locale's short date and its numeric orders with
// two-digit years (below 70: 20xx), then month names in the locale and in
// English ("Dec 25, 2010", "25 December 2010"), then "today", "yesterday" and
// "tomorrow" counted from `today`. An invalid date when nothing fits: a guess
// would store a wrong date without a word.
namespace NaturalDate {

QDate read(const QString &text, const QLocale &locale, const QDate &today);

} // namespace NaturalDate
