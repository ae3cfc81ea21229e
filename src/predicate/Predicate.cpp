#include "predicate/Predicate.h"

#include "base/Log.h"
#include "predicate/PredicateCodec.h"
#include "predicate/PredicateEvaluator.h"
#include "predicate/PredicateNode.h"
#include "predicate/PredicateParser.h"
#include "predicate/PredicatePrinter.h"
#include "predicate/PredicateText.h"

Predicate::Predicate() = default;

Predicate::Predicate(std::shared_ptr<const PredicateNode> node)
    : m_root(std::move(node))
{
}

Predicate Predicate::fromFormat(const QString &format, const QVariantList &arguments)
{
    QString error;
    if (std::optional<Predicate> p = tryFromFormat(format, arguments, &error))
        return *p;
    Log::always(QStringLiteral("Predicate-fromFormat: %1 in \"%2\"").arg(error, format));
    return falsePredicate();
}

std::optional<Predicate> Predicate::tryFromFormat(const QString &format, const QVariantList &arguments, QString *error)
{
    return PredicateParser::parse(format, &arguments, error);
}

std::optional<Predicate> Predicate::parse(const QString &text, QString *error)
{
    return PredicateParser::parse(text, nullptr, error);
}

Predicate Predicate::comparison(const QString &keyPath, Operator op, const PredicateValue &value, Options options,
                                Modifier modifier)
{
    // Other key paths would not survive the text form or the stored form.
    Q_ASSERT_X(PredicateText::isValidKeyPath(keyPath), "Predicate::comparison", qPrintable(keyPath));
    auto node = std::make_shared<PredicateNode>();
    node->type = Type::Comparison;
    node->keyPath = keyPath;
    node->op = op;
    node->options = options;
    node->modifier = modifier;
    // IN tests membership in a list; a single value stands for a list of one.
    node->value
        = op == Operator::In && value.kind() != PredicateValue::Kind::List ? PredicateValue::list({ value }) : value;
    node->prepared = PredicateEvaluator::prepare(*node);
    return Predicate(std::move(node));
}

Predicate Predicate::andPredicate(const QList<Predicate> &members)
{
    return compound(CompoundType::And, members);
}

Predicate Predicate::orPredicate(const QList<Predicate> &members)
{
    return compound(CompoundType::Or, members);
}

Predicate Predicate::notPredicate(const Predicate &member)
{
    return compound(CompoundType::Not, { member });
}

Predicate Predicate::compound(CompoundType type, const QList<Predicate> &members)
{
    QList<Predicate> kept;
    kept.reserve(members.size());
    for (const Predicate &m : members)
        if (!m.isEmpty())
            kept.append(m);
    if (type == CompoundType::Not && kept.size() != 1)
        kept = { compound(CompoundType::And, kept) };
    auto node = std::make_shared<PredicateNode>();
    node->type = Type::Compound;
    node->compoundType = type;
    node->members = kept;
    return Predicate(std::move(node));
}

Predicate Predicate::truePredicate()
{
    return compound(CompoundType::And, {});
}

Predicate Predicate::falsePredicate()
{
    return compound(CompoundType::Or, {});
}

Predicate::Type Predicate::type() const
{
    return m_root ? m_root->type : Type::Empty;
}

bool Predicate::isEmpty() const
{
    return !m_root;
}

Predicate::CompoundType Predicate::compoundType() const
{
    return m_root ? m_root->compoundType : CompoundType::And;
}

QList<Predicate> Predicate::members() const
{
    return m_root ? m_root->members : QList<Predicate>();
}

QString Predicate::keyPath() const
{
    return m_root ? m_root->keyPath : QString();
}

Predicate::Operator Predicate::operatorType() const
{
    return m_root ? m_root->op : Operator::EqualTo;
}

Predicate::Options Predicate::options() const
{
    return m_root ? m_root->options : Options();
}

Predicate::Modifier Predicate::modifier() const
{
    return m_root ? m_root->modifier : Modifier::Direct;
}

PredicateValue Predicate::value() const
{
    return m_root ? m_root->value : PredicateValue();
}

bool Predicate::evaluate(const KeyValueSource &object) const
{
    return !m_root || PredicateEvaluator::evaluate(*m_root, object);
}

QString Predicate::description() const
{
    return PredicatePrinter::print(*this);
}

QByteArray Predicate::toData() const
{
    return PredicateCodec::encode(*this);
}

std::optional<Predicate> Predicate::fromData(const QByteArray &data)
{
    return PredicateCodec::decode(data);
}

bool Predicate::operator==(const Predicate &other) const
{
    if (m_root == other.m_root)
        return true;
    if (!m_root || !other.m_root)
        return false;
    const PredicateNode &a = *m_root;
    const PredicateNode &b = *other.m_root;
    if (a.type != b.type)
        return false;
    if (a.type == Type::Comparison)
        return a.keyPath == b.keyPath && a.op == b.op && a.options == b.options && a.modifier == b.modifier
            && a.value == b.value;
    return a.compoundType == b.compoundType && a.members == b.members;
}

QString Predicate::operatorText(Operator op)
{
    switch (op) {
    case Operator::EqualTo:
        return QStringLiteral("==");
    case Operator::NotEqualTo:
        return QStringLiteral("!=");
    case Operator::LessThan:
        return QStringLiteral("<");
    case Operator::LessThanOrEqualTo:
        return QStringLiteral("<=");
    case Operator::GreaterThan:
        return QStringLiteral(">");
    case Operator::GreaterThanOrEqualTo:
        return QStringLiteral(">=");
    case Operator::Contains:
        return QStringLiteral("CONTAINS");
    case Operator::BeginsWith:
        return QStringLiteral("BEGINSWITH");
    case Operator::EndsWith:
        return QStringLiteral("ENDSWITH");
    case Operator::Matches:
        return QStringLiteral("MATCHES");
    case Operator::In:
        return QStringLiteral("IN");
    }
    return QString();
}
