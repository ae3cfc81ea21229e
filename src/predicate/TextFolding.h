#pragma once

#include "predicate/Predicate.h"

#include <QStringView>

// Case and diacritic folding for the [c], [d] and [cd] options. Each UTF-16 unit
// maps to at most one unit (diacritics are dropped), through tables made once, so
// that folding needs no allocation. ASCII maps to ASCII.
class TextFolding
{
public:
    // Writes the folded `text` to `out` (room for text.size() units) and returns
    // the folded length. Without options the text is copied unchanged.
    static qsizetype fold(QStringView text, Predicate::Options options, char16_t *out);
    static QString fold(QStringView text, Predicate::Options options);
};
