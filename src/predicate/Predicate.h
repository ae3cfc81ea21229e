#pragma once

#include "predicate/KeyValueSource.h"
#include "predicate/PredicateValue.h"

#include <QFlags>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantList>

#include <memory>
#include <optional>

struct PredicateNode;

// A predicate of the program's model: a comparison or an AND/OR/NOT compound.
// An empty (default-constructed) predicate has the empty text form and
// matches everything. Predicates are immutable values; copies share their tree.
//
// A comparison tests the value(s) at a key path against a constant:
//   [ANY|ALL|NONE] keyPath OPERATOR[options] value
// A key path through a to-many relationship (customField.cfTextField) is tested
// over the related objects, with ANY unless ALL or NONE is written.
//
// Evaluation rules worth knowing:
// - a missing value never passes ==, <, >, <=, >=, IN or a text test; it passes
//   "== nil" and "!= x";
// - text tests (CONTAINS, BEGINSWITH, ENDSWITH, MATCHES) read non-text values in
//   their text forms: numbers as plain decimals (12.5, 100), dates in UTC as
//   2014-05-02 04:00:00 +0000; bytes never match;
// - an empty text is contained in (begins, ends) every present text;
// - a number compared with a text compares with the text's number when the text
//   is one ("3" equals 3), and never matches otherwise;
// - MATCHES is a regular expression over the whole text; an invalid pattern
//   matches nothing.
class Predicate
{
public:
    enum class Type { Empty, Comparison, Compound };
    enum class CompoundType { And, Or, Not };
    enum class Operator {
        EqualTo,
        NotEqualTo,
        LessThan,
        LessThanOrEqualTo,
        GreaterThan,
        GreaterThanOrEqualTo,
        Contains,
        BeginsWith,
        EndsWith,
        Matches,
        In
    };
    enum class Modifier { Direct, Any, All, None };
    enum Option { NoOptions = 0, CaseInsensitive = 1, DiacriticInsensitive = 2 };
    Q_DECLARE_FLAGS(Options, Option)

    Predicate();

    // Builds from a format with %K (key path), %@ (value), %d (whole number) and %f
    // (number) placeholders, e.g. fromFormat("%K == %@", {"categoryName", name}).
    // Arguments become values by PredicateValue::fromVariant; a scalar given for
    // IN becomes a one-element list. Placeholders inside quotes are plain text.
    // A malformed format, or arguments that do not fit it, logs the reason and
    // gives falsePredicate(): a broken look-up must select nothing rather than
    // everything. tryFromFormat reports the reason instead.
    static Predicate fromFormat(const QString &format, const QVariantList &arguments = {});
    static std::optional<Predicate> tryFromFormat(const QString &format, const QVariantList &arguments,
                                                  QString *error = nullptr);
    // Reads the text form (the same syntax without placeholders). The empty or
    // blank text gives the empty predicate.
    static std::optional<Predicate> parse(const QString &text, QString *error = nullptr);

    // Construction for the rule editor and the builders. The key path should be
    // attribute names joined by dots (PredicateText::isValidKeyPath).
    static Predicate comparison(const QString &keyPath, Operator op, const PredicateValue &value,
                                Options options = NoOptions, Modifier modifier = Modifier::Direct);
    // Empty members are left out (they would match everything anyway).
    static Predicate andPredicate(const QList<Predicate> &members);
    static Predicate orPredicate(const QList<Predicate> &members);
    static Predicate notPredicate(const Predicate &member);
    // Not with other than one member negates the AND of the members.
    static Predicate compound(CompoundType type, const QList<Predicate> &members);
    // TRUEPREDICATE (an AND without members) and FALSEPREDICATE (an OR without members).
    static Predicate truePredicate();
    static Predicate falsePredicate();

    Type type() const;
    bool isEmpty() const;
    bool isComparison() const { return type() == Type::Comparison; }
    bool isCompound() const { return type() == Type::Compound; }

    // Compound parts (meaningful when isCompound()).
    CompoundType compoundType() const;
    QList<Predicate> members() const;

    // Comparison parts (meaningful when isComparison()).
    QString keyPath() const;
    Operator operatorType() const;
    Options options() const;
    Modifier modifier() const;
    PredicateValue value() const;

    bool evaluate(const KeyValueSource &object) const;

    // The text form in the customary notation, e.g. `item CONTAINS[cd] "lamp"` or
    // `warrantyLevel > 1 AND warrantyLevel < 31`; parse() reads it back to an equal
    // predicate. One exception: an AND or OR with a single member is written as
    // that member, and reads back as the member alone (the stored form keeps it).
    QString description() const;

    // The stored form: a leading format byte, then the tree. Keeps every compound's
    // type and member order, every key path, operator, option, modifier and the kind
    // of every value. fromData gives nullopt for bytes it cannot read completely.
    QByteArray toData() const;
    static std::optional<Predicate> fromData(const QByteArray &data);

    // Structural equality (kinds of values included: "3" is not 3).
    bool operator==(const Predicate &other) const;
    bool operator!=(const Predicate &other) const { return !(*this == other); }

    static QString operatorText(Operator op);

private:
    explicit Predicate(std::shared_ptr<const PredicateNode> node);
    friend class PredicateEvaluator;
    std::shared_ptr<const PredicateNode> m_root;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Predicate::Options)
Q_DECLARE_METATYPE(Predicate)
