#pragma once

#include "predicate/Predicate.h"

#include <QList>
#include <QString>

#include <vector>

// The rules of a smart folder as the rule editor shows them: a top-level match
// (any/all) over rows; a row is a rule (attribute, operator, value), a nested
// group with its own match, or a part of the predicate the editor does not
// offer, kept unchanged. Converting a predicate to rows and back gives the same
// predicate: every rule keeps the operator, options and kind of value it was
// read with until the user changes it.
class RuleEditorModel
{
public:
    enum class Attribute {
        Item,
        Manufacturer,
        Model,
        SerialNumber,
        Category,
        Location,
        VendorName,
        Tags,
        Notes,
        PurchasePrice,
        ReplacementCost,
        RecordQty,
        Condition,
        WarrantyLevel,
        PurchaseDate,
        LabelIndex,
        Insured
    };
    enum class Operator {
        Contains,
        BeginsWith,
        EndsWith,
        Is,
        EqualTo,
        LessThan,
        GreaterThan,
        HasNoValue,
        Before,
        After,
        IsYes,
        IsNo
    };
    enum class ValueKind { Text, Number, Date, Label, Boolean };
    enum class Match { Any, All };

    struct AttributeInfo
    {
        Attribute attribute;
        QString keyPath;
        QString title;
        ValueKind kind;
        QList<Operator> operators;
    };
    static const QList<AttributeInfo> &attributes();
    static const AttributeInfo &info(Attribute attribute);
    static QString operatorTitle(Operator op);
    static QString matchTitle(Match match);

    struct Row
    {
        enum class Kind { Rule, Group, Other };
        Kind kind = Kind::Rule;
        // A rule: the comparison it stands for.
        Attribute attribute = Attribute::Item;
        Predicate::Operator predicateOperator = Predicate::Operator::Contains;
        Predicate::Options options = Predicate::CaseInsensitive | Predicate::DiacriticInsensitive;
        PredicateValue value = PredicateValue::text(QString());
        // A group.
        Match match = Match::All;
        std::vector<Row> rows;
        // Anything else, kept as it was read.
        Predicate other;

        Operator editorOperator() const;
        Predicate toPredicate() const;
        // The value as the editor shows it (text, number, date, label digit).
        QString valueText() const;
    };

    Match match = Match::Any;
    std::vector<Row> rows;

    static RuleEditorModel fromPredicate(const Predicate &predicate);
    Predicate toPredicate() const;

    // A new rule: item contains "".
    static Row newRule();
    static Row newGroup();

    // Edits of one rule (false when the value does not fit its attribute).
    static void setAttribute(Row &row, Attribute attribute);
    static void setOperator(Row &row, Operator op);
    static bool setValueText(Row &row, const QString &text);
    static void setDateValue(Row &row, const QDate &date);
    static void setLabelValue(Row &row, int label);

private:
    static Row rowFromPredicate(const Predicate &predicate);
};
