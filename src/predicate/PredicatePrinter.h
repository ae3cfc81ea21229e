#pragma once

#include <QString>

class Predicate;

// Writes the text form of a predicate (see Predicate::description).
class PredicatePrinter
{
public:
    static QString print(const Predicate &predicate);
};
