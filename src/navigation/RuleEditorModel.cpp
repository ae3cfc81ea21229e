#include "navigation/RuleEditorModel.h"

#include "core/AttributeLimits.h"
#include "core/Record.h"
#include "predicate/KeyValueSource.h"

#include <QCoreApplication>
#include <QDate>
#include <QTimeZone>

namespace {

using Op = RuleEditorModel::Operator;
using VK = RuleEditorModel::ValueKind;
using POp = Predicate::Operator;

QString tr(const char *text)
{
    return QCoreApplication::translate("RuleEditorModel", text);
}

const Predicate::Options kTextOptions = Predicate::CaseInsensitive | Predicate::DiacriticInsensitive;

} // namespace

const QList<RuleEditorModel::AttributeInfo> &RuleEditorModel::attributes()
{
    using A = Attribute;
    const QList<Op> text { Op::Contains, Op::BeginsWith, Op::EndsWith, Op::Is };
    const QList<Op> number { Op::EqualTo, Op::LessThan, Op::GreaterThan, Op::HasNoValue };
    static const QList<AttributeInfo> list = {
        { A::Item, QStringLiteral("item"), tr("Item"), VK::Text, text },
        { A::Manufacturer, QStringLiteral("manufacturer"), tr("Manufacturer"), VK::Text, text },
        { A::Model, QStringLiteral("model"), tr("Model"), VK::Text, text },
        { A::SerialNumber, QStringLiteral("serialNumber"), tr("Serial Number"), VK::Text, text },
        { A::Category, QStringLiteral("category"), tr("Category"), VK::Text, text },
        { A::Location, QStringLiteral("location"), tr("Location"), VK::Text, text },
        { A::VendorName, QStringLiteral("vendorName"), tr("Vendor"), VK::Text, text },
        { A::Tags, QStringLiteral("tags"), tr("Tags"), VK::Text, text },
        { A::Notes, KeyValueSource::notesPlainTextKey, tr("Notes"), VK::Text, text },
        { A::PurchasePrice, QStringLiteral("purchasePrice"), tr("Price"), VK::Number, number },
        { A::ReplacementCost, QStringLiteral("replacementCost"), tr("Replacement Cost"), VK::Number, number },
        { A::RecordQty, QStringLiteral("recordQty"), tr("Quantity"), VK::Number, number },
        { A::Condition, QStringLiteral("condition"), tr("Condition"), VK::Number, number },
        { A::WarrantyLevel, QStringLiteral("warrantyLevel"), tr("Warranty Level"), VK::Number, number },
        { A::PurchaseDate, QStringLiteral("purchaseDate"), tr("Purchase Date"), VK::Date, { Op::Before, Op::After } },
        { A::LabelIndex, QStringLiteral("labelIndex"), tr("Label"), VK::Label, { Op::Is } },
        { A::Insured, QStringLiteral("insured"), tr("Insured"), VK::Boolean, { Op::IsYes, Op::IsNo } },
    };
    return list;
}

const RuleEditorModel::AttributeInfo &RuleEditorModel::info(Attribute attribute)
{
    for (const AttributeInfo &i : attributes())
        if (i.attribute == attribute)
            return i;
    return attributes().first();
}

QString RuleEditorModel::operatorTitle(Operator op)
{
    switch (op) {
    case Op::Contains:
        return tr("contains");
    case Op::BeginsWith:
        return tr("begins with");
    case Op::EndsWith:
        return tr("ends with");
    case Op::Is:
        return tr("is");
    case Op::EqualTo:
        return QStringLiteral("=");
    case Op::LessThan:
        return QStringLiteral("<");
    case Op::GreaterThan:
        return QStringLiteral(">");
    case Op::HasNoValue:
        return tr("has no value");
    case Op::Before:
        return tr("is before");
    case Op::After:
        return tr("is after");
    case Op::IsYes:
        return tr("is Yes");
    case Op::IsNo:
        return tr("is No");
    }
    return QString();
}

QString RuleEditorModel::matchTitle(Match match)
{
    return match == Match::Any ? tr("any") : tr("all");
}

RuleEditorModel::Operator RuleEditorModel::Row::editorOperator() const
{
    switch (info(attribute).kind) {
    case VK::Text:
        return predicateOperator == POp::Contains  ? Op::Contains
            : predicateOperator == POp::BeginsWith ? Op::BeginsWith
            : predicateOperator == POp::EndsWith   ? Op::EndsWith
                                                   : Op::Is;
    case VK::Number:
        if (value.isNil())
            return Op::HasNoValue;
        return predicateOperator == POp::LessThan   ? Op::LessThan
            : predicateOperator == POp::GreaterThan ? Op::GreaterThan
                                                    : Op::EqualTo;
    case VK::Date:
        return predicateOperator == POp::GreaterThan ? Op::After : Op::Before;
    case VK::Label:
        return Op::Is;
    case VK::Boolean:
        return predicateOperator == POp::NotEqualTo ? Op::IsNo : Op::IsYes;
    }
    return Op::Is;
}

Predicate RuleEditorModel::Row::toPredicate() const
{
    switch (kind) {
    case Kind::Other:
        return other;
    case Kind::Group: {
        QList<Predicate> members;
        for (const Row &r : rows)
            if (!(r.kind == Kind::Group && r.rows.empty()))
                members.append(r.toPredicate());
        return Predicate::compound(match == Match::Any ? Predicate::CompoundType::Or : Predicate::CompoundType::And,
                                   members);
    }
    case Kind::Rule:
        break;
    }
    return Predicate::comparison(info(attribute).keyPath, predicateOperator, value, options);
}

QString RuleEditorModel::Row::valueText() const
{
    switch (value.kind()) {
    case PredicateValue::Kind::Text:
        return value.toText();
    case PredicateValue::Kind::Integer:
        return QString::number(value.toInteger());
    case PredicateValue::Kind::Number:
        return QString::number(value.toNumber(), 'g', 15);
    case PredicateValue::Kind::Date:
        return value.toDate().toLocalTime().date().toString(Qt::ISODate);
    default:
        return QString();
    }
}

RuleEditorModel::Row RuleEditorModel::newRule()
{
    return Row();
}

RuleEditorModel::Row RuleEditorModel::newGroup()
{
    Row group;
    group.kind = Row::Kind::Group;
    group.match = Match::All;
    group.rows.push_back(newRule());
    return group;
}

RuleEditorModel::Row RuleEditorModel::rowFromPredicate(const Predicate &predicate)
{
    Row row;
    if (predicate.isCompound() && predicate.compoundType() != Predicate::CompoundType::Not) {
        row.kind = Row::Kind::Group;
        row.match = predicate.compoundType() == Predicate::CompoundType::Or ? Match::Any : Match::All;
        for (const Predicate &member : predicate.members())
            row.rows.push_back(rowFromPredicate(member));
        return row;
    }
    row.kind = Row::Kind::Other;
    row.other = predicate;
    if (!predicate.isComparison() || predicate.modifier() != Predicate::Modifier::Direct)
        return row;
    const AttributeInfo *found = nullptr;
    for (const AttributeInfo &i : attributes())
        if (i.keyPath == predicate.keyPath())
            found = &i;
    if (!found)
        return row;
    const POp op = predicate.operatorType();
    const PredicateValue value = predicate.value();
    const PredicateValue::Kind vk = value.kind();
    const bool isNumber = vk == PredicateValue::Kind::Integer || vk == PredicateValue::Kind::Number;
    bool fits = false;
    switch (found->kind) {
    case VK::Text:
        fits = vk == PredicateValue::Kind::Text
            && (op == POp::Contains || op == POp::BeginsWith || op == POp::EndsWith || op == POp::EqualTo);
        break;
    case VK::Number:
        fits = (isNumber && (op == POp::EqualTo || op == POp::LessThan || op == POp::GreaterThan))
            || (value.isNil() && op == POp::EqualTo);
        break;
    case VK::Date:
        fits = vk == PredicateValue::Kind::Date && (op == POp::LessThan || op == POp::GreaterThan);
        break;
    case VK::Label:
        // Any operator: the folder's correction tests labels for equality anyway.
        fits = vk == PredicateValue::Kind::Text || vk == PredicateValue::Kind::Integer;
        break;
    case VK::Boolean:
        fits = vk == PredicateValue::Kind::Boolean && value.toBool() && (op == POp::EqualTo || op == POp::NotEqualTo);
        break;
    }
    if (!fits)
        return row;
    row.kind = Row::Kind::Rule;
    row.attribute = found->attribute;
    row.predicateOperator = op;
    row.options = predicate.options();
    row.value = value;
    row.other = Predicate();
    return row;
}

RuleEditorModel RuleEditorModel::fromPredicate(const Predicate &predicate)
{
    RuleEditorModel model;
    if (predicate.isEmpty()) {
        model.rows.push_back(newRule());
        return model;
    }
    const Row root = rowFromPredicate(predicate);
    if (root.kind == Row::Kind::Group) {
        model.match = root.match;
        model.rows = root.rows;
    } else {
        model.rows.push_back(root);
    }
    return model;
}

Predicate RuleEditorModel::toPredicate() const
{
    Row root;
    root.kind = Row::Kind::Group;
    root.match = match;
    root.rows = rows;
    return root.toPredicate();
}

void RuleEditorModel::setAttribute(Row &row, Attribute attribute)
{
    const VK before = info(row.attribute).kind;
    row.kind = Row::Kind::Rule;
    row.attribute = attribute;
    const VK kind = info(attribute).kind;
    if (kind == before)
        return;
    row.options = kind == VK::Text ? kTextOptions : Predicate::NoOptions;
    switch (kind) {
    case VK::Text:
        row.predicateOperator = POp::Contains;
        row.value = PredicateValue::text(QString());
        break;
    case VK::Number:
        row.predicateOperator = POp::EqualTo;
        row.value = PredicateValue::integer(0);
        break;
    case VK::Date:
        row.predicateOperator = POp::LessThan;
        row.value = PredicateValue::date(QDateTime(QDate::currentDate(), QTime(0, 0)));
        break;
    case VK::Label:
        row.predicateOperator = POp::EqualTo;
        row.value = PredicateValue::text(QStringLiteral("1"));
        break;
    case VK::Boolean:
        row.predicateOperator = POp::EqualTo;
        row.value = PredicateValue::boolean(true);
        break;
    }
}

void RuleEditorModel::setOperator(Row &row, Operator op)
{
    switch (op) {
    case Op::Contains:
        row.predicateOperator = POp::Contains;
        break;
    case Op::BeginsWith:
        row.predicateOperator = POp::BeginsWith;
        break;
    case Op::EndsWith:
        row.predicateOperator = POp::EndsWith;
        break;
    case Op::Is:
    case Op::EqualTo:
        row.predicateOperator = POp::EqualTo;
        break;
    case Op::LessThan:
    case Op::Before:
        row.predicateOperator = POp::LessThan;
        break;
    case Op::GreaterThan:
    case Op::After:
        row.predicateOperator = POp::GreaterThan;
        break;
    case Op::HasNoValue:
        row.predicateOperator = POp::EqualTo;
        row.value = PredicateValue::nil();
        return;
    case Op::IsYes:
        row.predicateOperator = POp::EqualTo;
        row.value = PredicateValue::boolean(true);
        return;
    case Op::IsNo:
        row.predicateOperator = POp::NotEqualTo;
        row.value = PredicateValue::boolean(true);
        return;
    }
    if (row.value.isNil())
        row.value = PredicateValue::integer(0);
}

bool RuleEditorModel::setValueText(Row &row, const QString &text)
{
    switch (info(row.attribute).kind) {
    case VK::Text:
        // Text the user types is matched as a person reads it: ignoring case and accents.
        row.value = PredicateValue::text(text);
        row.options = kTextOptions;
        return true;
    case VK::Number: {
        if (row.value.isNil())
            return true;
        bool ok = false;
        const qint64 i = text.trimmed().toLongLong(&ok);
        if (ok) {
            row.value = PredicateValue::integer(i);
            return true;
        }
        const double d = text.trimmed().toDouble(&ok);
        if (ok)
            row.value = PredicateValue::number(d);
        return ok;
    }
    case VK::Date: {
        const QDate date = QDate::fromString(text.trimmed(), Qt::ISODate);
        if (date.isValid())
            setDateValue(row, date);
        return date.isValid();
    }
    case VK::Label: {
        bool ok = false;
        const int label = text.trimmed().toInt(&ok);
        ok = ok && AttributeLimits::check(Record::Entity, QStringLiteral("labelIndex"), label).isEmpty();
        if (ok)
            setLabelValue(row, label);
        return ok;
    }
    case VK::Boolean:
        return false;
    }
    return false;
}

void RuleEditorModel::setDateValue(Row &row, const QDate &date)
{
    // The start of that day where the user is.
    row.value = PredicateValue::date(QDateTime(date, QTime(0, 0)));
}

void RuleEditorModel::setLabelValue(Row &row, int label)
{
    // Labels chosen here are stored as text digits.
    row.value = PredicateValue::text(QString::number(label));
}
