#include "predicate/PredicateEvaluator.h"

#include "predicate/PredicateNode.h"
#include "predicate/PredicateText.h"
#include "predicate/PreparedComparison.h"
#include "predicate/TextFolding.h"

#include <QDateTime>
#include <QVarLengthArray>

#include <cmath>
#include <string_view>

namespace {

using Op = Predicate::Operator;
using Kind = PredicateValue::Kind;
using u16view = std::u16string_view;

u16view view(const QString &s)
{
    return u16view(reinterpret_cast<const char16_t *>(s.utf16()), size_t(s.size()));
}

PreparedScalar prepareScalar(const PredicateValue &v, Predicate::Options options)
{
    PreparedScalar s;
    s.kind = v.kind();
    switch (v.kind()) {
    case Kind::Boolean:
    case Kind::Integer:
        s.isInteger = true;
        s.integer = v.toInteger();
        s.number = double(s.integer);
        break;
    case Kind::Number:
        s.number = v.toNumber();
        break;
    case Kind::Date:
        s.integer = v.dateMSecs();
        break;
    case Kind::Text: {
        s.folded = TextFolding::fold(v.toText(), options);
        bool ok = false;
        const qint64 i = v.toText().toLongLong(&ok);
        if (ok) {
            s.textIsNumber = s.isInteger = true;
            s.integer = i;
            s.number = double(i);
        } else {
            s.number = v.toText().toDouble(&ok);
            s.textIsNumber = ok;
        }
        break;
    }
    case Kind::Nil:
    case Kind::List:
        break;
    }
    return s;
}

bool allCharsIn(const QString &text, const char *allowed)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80 || !std::strchr(allowed, char(c.unicode())))
            return false;
    return true;
}

// A pattern whose only special characters are escaped reads as its plain text.
bool literalOfPattern(const QString &pattern, QString *literal)
{
    static const char special[] = "\\^$.[]|()?*+{}";
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == u'\\') {
            if (i + 1 >= pattern.size())
                return false;
            const QChar e = pattern.at(++i);
            if (e.unicode() >= 0x80 || e.isLetterOrNumber() || e.unicode() < 0x20)
                return false;
            out += e;
        } else if (c.unicode() < 0x80 && c.unicode() != 0 && std::strchr(special, char(c.unicode()))) {
            return false;
        } else {
            out += c;
        }
    }
    *literal = out;
    return true;
}

// A value read from an object, classified once for the comparison.
struct Subject
{
    enum class Type { Missing, Text, Integer, Number, Date, Other } type = Type::Missing;
    QStringView text;
    qint64 integer = 0;
    double number = 0.0;

    bool isNumeric() const { return type == Type::Integer || type == Type::Number; }
};

Subject classify(const QVariant &v)
{
    Subject s;
    switch (v.metaType().id()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        break;
    case QMetaType::QString:
        s.type = Subject::Type::Text;
        s.text = *static_cast<const QString *>(v.constData());
        break;
    case QMetaType::Bool:
        s.type = Subject::Type::Integer;
        s.integer = *static_cast<const bool *>(v.constData()) ? 1 : 0;
        s.number = double(s.integer);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        s.type = Subject::Type::Integer;
        s.integer = v.toLongLong();
        s.number = double(s.integer);
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        s.type = Subject::Type::Number;
        s.number = v.toDouble();
        break;
    case QMetaType::QDateTime: {
        const QDateTime &d = *static_cast<const QDateTime *>(v.constData());
        if (d.isValid()) {
            s.type = Subject::Type::Date;
            s.integer = d.toMSecsSinceEpoch();
        }
        break;
    }
    case QMetaType::QDate: {
        const QDate d = v.toDate();
        if (d.isValid()) {
            s.type = Subject::Type::Date;
            s.integer = d.startOfDay(Qt::UTC).toMSecsSinceEpoch();
        }
        break;
    }
    default:
        s.type = Subject::Type::Other;
    }
    return s;
}

// -1, 0, 1, or 2 when the two do not compare.
int compareNumbers(bool aInt, qint64 ai, double ad, bool bInt, qint64 bi, double bd)
{
    if (aInt && bInt)
        return ai < bi ? -1 : (ai > bi ? 1 : 0);
    if (std::isnan(ad) || std::isnan(bd))
        return 2;
    return ad < bd ? -1 : (ad > bd ? 1 : 0);
}

// Folds `text` into `buffer` when there are options to fold for.
QStringView folded(QStringView text, Predicate::Options options, QVarLengthArray<char16_t, 256> &buffer)
{
    if (!options)
        return text;
    buffer.resize(text.size());
    const qsizetype n = TextFolding::fold(text, options, buffer.data());
    return QStringView(buffer.data(), n);
}

// Orders a subject against a constant; 2 when they do not compare.
int order(const Subject &s, const PreparedScalar &c, Predicate::Options options)
{
    switch (c.kind) {
    case Kind::Nil:
    case Kind::List:
        return 2;
    case Kind::Boolean:
    case Kind::Integer:
    case Kind::Number:
        if (s.isNumeric())
            return compareNumbers(s.type == Subject::Type::Integer, s.integer, s.number, c.isInteger, c.integer,
                                  c.number);
        if (s.type == Subject::Type::Text) {
            bool ok = false;
            const double d = s.text.toDouble(&ok);
            return ok ? compareNumbers(false, 0, d, false, 0, c.number) : 2;
        }
        return 2;
    case Kind::Text:
        if (s.type == Subject::Type::Text) {
            QVarLengthArray<char16_t, 256> buffer;
            const QStringView a = folded(s.text, options, buffer);
            const int r = u16view(a.utf16(), size_t(a.size())).compare(view(c.folded));
            return r < 0 ? -1 : (r > 0 ? 1 : 0);
        }
        if (s.isNumeric() && c.textIsNumber)
            return compareNumbers(s.type == Subject::Type::Integer, s.integer, s.number, c.isInteger, c.integer,
                                  c.number);
        return 2;
    case Kind::Date:
        if (s.type == Subject::Type::Date)
            return s.integer < c.integer ? -1 : (s.integer > c.integer ? 1 : 0);
        return 2;
    }
    return 2;
}

bool equals(const Subject &s, const PreparedScalar &c, Predicate::Options options)
{
    if (c.kind == Kind::Nil)
        return s.type == Subject::Type::Missing;
    if (s.type == Subject::Type::Missing)
        return false;
    if (c.kind == Kind::Text && s.type == Subject::Type::Text && !options)
        return s.text == c.folded;
    return order(s, c, options) == 0;
}

// The text a text test reads: texts as they are, numbers and dates in their text forms.
bool subjectText(const Subject &s, const PreparedComparison &pc, char16_t *buffer, QStringView *text, bool filter)
{
    switch (s.type) {
    case Subject::Type::Text:
        *text = s.text;
        return true;
    case Subject::Type::Integer:
        if (filter && !pc.needleFitsNumber)
            return false;
        *text = QStringView(buffer, PredicateText::plainInteger(s.integer, buffer));
        return true;
    case Subject::Type::Number:
        if (filter && !pc.needleFitsNumber && std::isfinite(s.number))
            return false;
        *text = QStringView(buffer, PredicateText::plainDecimal(s.number, buffer));
        return true;
    case Subject::Type::Date:
        if (filter && !pc.needleFitsDate)
            return false;
        *text = QStringView(buffer, PredicateText::utcDate(s.integer, buffer));
        return true;
    case Subject::Type::Missing:
    case Subject::Type::Other:
        return false;
    }
    return false;
}

bool textTest(const PredicateNode &node, const PreparedComparison &pc, const Subject &s)
{
    char16_t formBuffer[PredicateText::BufferSize];
    QStringView text;
    if (node.op == Op::Matches) {
        if (!subjectText(s, pc, formBuffer, &text, false))
            return false;
        QVarLengthArray<char16_t, 256> buffer;
        if (pc.isLiteral)
            return folded(text, node.options, buffer) == pc.literal;
        if (!pc.regexValid)
            return false;
        const QStringView subject = folded(text, node.options & Predicate::DiacriticInsensitive, buffer);
        return pc.regex.match(QString::fromRawData(subject.data(), subject.size())).hasMatch();
    }
    if (!pc.hasNeedle || !subjectText(s, pc, formBuffer, &text, true))
        return false;
    QVarLengthArray<char16_t, 256> buffer;
    // Number and date forms are digits and signs: folding would not change them.
    const QStringView f = s.type == Subject::Type::Text ? folded(text, node.options, buffer) : text;
    const u16view hay(f.utf16(), size_t(f.size()));
    const u16view needle = view(pc.needle);
    switch (node.op) {
    case Op::Contains:
        return hay.find(needle) != u16view::npos;
    case Op::BeginsWith:
        return hay.substr(0, needle.size()) == needle;
    case Op::EndsWith:
        return hay.size() >= needle.size() && hay.substr(hay.size() - needle.size()) == needle;
    default:
        return false;
    }
}

bool test(const PredicateNode &node, const PreparedComparison &pc, const QVariant &value)
{
    const Subject s = classify(value);
    switch (node.op) {
    case Op::EqualTo:
        return equals(s, pc.scalar, node.options);
    case Op::NotEqualTo:
        return !equals(s, pc.scalar, node.options);
    case Op::LessThan:
        return s.type != Subject::Type::Missing && order(s, pc.scalar, node.options) == -1;
    case Op::LessThanOrEqualTo: {
        const int r = s.type == Subject::Type::Missing ? 2 : order(s, pc.scalar, node.options);
        return r == -1 || r == 0;
    }
    case Op::GreaterThan:
        return s.type != Subject::Type::Missing && order(s, pc.scalar, node.options) == 1;
    case Op::GreaterThanOrEqualTo: {
        const int r = s.type == Subject::Type::Missing ? 2 : order(s, pc.scalar, node.options);
        return r == 1 || r == 0;
    }
    case Op::In:
        for (const PreparedScalar &c : pc.list)
            if (equals(s, c, node.options))
                return true;
        return false;
    case Op::Contains:
    case Op::BeginsWith:
    case Op::EndsWith:
    case Op::Matches:
        return textTest(node, pc, s);
    }
    return false;
}

// Reads the last key of a comparison's path from `object`, through the object's
// slots when it has them, and tests it.
bool testObject(const PredicateNode &node, const PreparedComparison &pc, const KeyValueSource &object)
{
    const QString &key = pc.keys.constLast();
    const quint32 layout = object.layoutId();
    if (layout) {
        quint64 cached = pc.slotCache.load(std::memory_order_relaxed);
        if (quint32(cached >> 32) != layout) {
            cached = quint64(layout) << 32 | quint32(object.slotForKey(key) + 1);
            pc.slotCache.store(cached, std::memory_order_relaxed);
        }
        const int slot = int(quint32(cached)) - 1;
        if (slot >= 0) {
            static const QVariant none;
            const QVariant *value = object.valueInSlot(slot);
            return test(node, pc, value ? *value : none);
        }
    }
    return test(node, pc, object.valueForKey(key));
}

// Walks a key path through to-many relationships and stops as soon as the
// answer is known.
struct Walk
{
    const PredicateNode &node;
    const PreparedComparison &pc;
    Predicate::Modifier modifier;
    bool decided = false;
    bool answer = false;

    void visit(const KeyValueSource &object, qsizetype depth)
    {
        if (depth + 1 == pc.keys.size()) {
            const bool passed = testObject(node, pc, object);
            if (modifier == Predicate::Modifier::All ? !passed : passed) {
                decided = true;
                answer = modifier == Predicate::Modifier::None ? false : passed;
            }
            return;
        }
        // Held const: iterating a shared list must not copy it.
        const QList<const KeyValueSource *> members = object.relatedObjectsForKey(pc.keys.at(depth));
        for (const KeyValueSource *related : members) {
            if (related)
                visit(*related, depth + 1);
            if (decided)
                return;
        }
    }
};

} // namespace

std::shared_ptr<const PreparedComparison> PredicateEvaluator::prepare(const PredicateNode &node)
{
    auto pc = std::make_shared<PreparedComparison>();
    pc->keys = node.keyPath.split(u'.');
    const PredicateValue &v = node.value;
    if (v.kind() == Kind::List) {
        for (const PredicateValue &element : v.toList())
            pc->list.append(prepareScalar(element, node.options));
    } else {
        pc->scalar = prepareScalar(v, node.options);
    }

    QString needle;
    switch (v.kind()) {
    case Kind::Text:
        needle = v.toText();
        break;
    case Kind::Integer:
        needle = QString::number(v.toInteger());
        break;
    case Kind::Number:
        needle = PredicateText::plainDecimal(v.toNumber());
        break;
    default:
        break;
    }
    pc->hasNeedle = v.kind() == Kind::Text || v.kind() == Kind::Integer || v.kind() == Kind::Number;
    if (pc->hasNeedle) {
        pc->needle = TextFolding::fold(needle, node.options);
        pc->needleFitsNumber = allCharsIn(pc->needle, "0123456789.-");
        pc->needleFitsDate = allCharsIn(pc->needle, "0123456789-: +");
    }

    if (node.op == Op::Matches && pc->hasNeedle) {
        QString literal;
        if (literalOfPattern(needle, &literal)) {
            pc->isLiteral = true;
            pc->literal = TextFolding::fold(literal, node.options);
        } else {
            QRegularExpression::PatternOptions po = QRegularExpression::NoPatternOption;
            if (node.options & Predicate::CaseInsensitive)
                po |= QRegularExpression::CaseInsensitiveOption;
            const QString pattern = TextFolding::fold(needle, node.options & Predicate::DiacriticInsensitive);
            pc->regex = QRegularExpression(QRegularExpression::anchoredPattern(pattern), po);
            pc->regexValid = pc->regex.isValid();
            if (pc->regexValid)
                pc->regex.optimize();
        }
    }
    return pc;
}

bool PredicateEvaluator::evaluate(const PredicateNode &node, const KeyValueSource &object)
{
    if (node.type == Predicate::Type::Compound) {
        switch (node.compoundType) {
        case Predicate::CompoundType::And:
            for (const Predicate &m : node.members)
                if (!evaluate(*m.m_root, object))
                    return false;
            return true;
        case Predicate::CompoundType::Or:
            for (const Predicate &m : node.members)
                if (evaluate(*m.m_root, object))
                    return true;
            return false;
        case Predicate::CompoundType::Not:
            return node.members.isEmpty() || !evaluate(*node.members.constFirst().m_root, object);
        }
        return false;
    }
    if (node.type != Predicate::Type::Comparison)
        return true;
    const PreparedComparison &pc = *node.prepared;
    if (pc.keys.size() == 1) {
        const bool passed = testObject(node, pc, object);
        return node.modifier == Predicate::Modifier::None ? !passed : passed;
    }
    Walk walk { node, pc, node.modifier };
    walk.visit(object, 0);
    if (walk.decided)
        return walk.answer;
    // Nothing decided: no value passed (ANY, NONE) or none failed (ALL).
    return node.modifier == Predicate::Modifier::All || node.modifier == Predicate::Modifier::None;
}
