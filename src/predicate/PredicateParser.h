#pragma once

#include "predicate/Predicate.h"

#include <QVariantList>

#include <optional>

// Reads the text form of a predicate; with `arguments` it also fills the
// placeholders of a format (%K, %@, %d, %f), each from the next argument.
class PredicateParser
{
public:
    static std::optional<Predicate> parse(const QString &text, const QVariantList *arguments, QString *error);
};
