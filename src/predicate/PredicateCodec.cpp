#include "predicate/PredicateCodec.h"

#include "predicate/Predicate.h"
#include "predicate/PredicateText.h"

#include <QtEndian>

#include <cstring>

namespace {

constexpr int MaxDepth = 200;

enum : char { TagEmpty = 0, TagComparison = 'C', TagAnd = 'A', TagOr = 'O', TagNot = 'N' };
enum : char { ValNil, ValNo, ValYes, ValInteger, ValNumber, ValText, ValDate, ValList };

class Writer
{
public:
    QByteArray bytes;

    void byte(char b) { bytes.append(b); }
    void count(quint64 n)
    {
        do {
            char b = char(n & 0x7f);
            n >>= 7;
            if (n)
                b = char(b | 0x80);
            bytes.append(b);
        } while (n);
    }
    void fixed(quint64 v)
    {
        char b[8];
        qToLittleEndian(v, b);
        bytes.append(b, 8);
    }
    void text(const QString &s)
    {
        const QByteArray utf8 = s.toUtf8();
        count(quint64(utf8.size()));
        bytes.append(utf8);
    }
    void value(const PredicateValue &v)
    {
        switch (v.kind()) {
        case PredicateValue::Kind::Nil:
            byte(ValNil);
            break;
        case PredicateValue::Kind::Boolean:
            byte(v.toBool() ? ValYes : ValNo);
            break;
        case PredicateValue::Kind::Integer:
            byte(ValInteger);
            fixed(quint64(v.toInteger()));
            break;
        case PredicateValue::Kind::Number: {
            byte(ValNumber);
            const double d = v.toNumber();
            quint64 bits;
            std::memcpy(&bits, &d, 8);
            fixed(bits);
            break;
        }
        case PredicateValue::Kind::Text:
            byte(ValText);
            text(v.toText());
            break;
        case PredicateValue::Kind::Date:
            byte(ValDate);
            fixed(quint64(v.dateMSecs()));
            break;
        case PredicateValue::Kind::List:
            byte(ValList);
            count(quint64(v.toList().size()));
            for (const PredicateValue &e : v.toList())
                value(e);
            break;
        }
    }
    void node(const Predicate &p)
    {
        switch (p.type()) {
        case Predicate::Type::Empty:
            byte(TagEmpty);
            return;
        case Predicate::Type::Comparison:
            byte(TagComparison);
            byte(char(p.modifier()));
            byte(char(p.operatorType()));
            byte(char(int(p.options())));
            text(p.keyPath());
            value(p.value());
            return;
        case Predicate::Type::Compound: {
            const Predicate::CompoundType t = p.compoundType();
            byte(t == Predicate::CompoundType::And ? TagAnd : (t == Predicate::CompoundType::Or ? TagOr : TagNot));
            const QList<Predicate> members = p.members();
            count(quint64(members.size()));
            for (const Predicate &m : members)
                node(m);
            return;
        }
        }
    }
};

class Reader
{
public:
    explicit Reader(const QByteArray &data)
        : m_data(data)
    {
    }

    bool atEnd() const { return m_pos == m_data.size(); }

    bool byte(char *b)
    {
        if (m_pos >= m_data.size())
            return false;
        *b = m_data.at(m_pos++);
        return true;
    }
    bool count(quint64 *n)
    {
        *n = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            char b;
            if (!byte(&b))
                return false;
            *n |= quint64(uchar(b) & 0x7f) << shift;
            if (!(uchar(b) & 0x80))
                // Every element takes at least one byte: a count beyond what is
                // left is corrupt, and refusing it early avoids huge reservations.
                return *n <= quint64(m_data.size() - m_pos);
        }
        return false;
    }
    bool fixed(quint64 *v)
    {
        if (m_data.size() - m_pos < 8)
            return false;
        *v = qFromLittleEndian<quint64>(m_data.constData() + m_pos);
        m_pos += 8;
        return true;
    }
    bool text(QString *s)
    {
        quint64 n;
        if (!count(&n))
            return false;
        *s = QString::fromUtf8(m_data.constData() + m_pos, qsizetype(n));
        m_pos += qsizetype(n);
        return true;
    }
    std::optional<PredicateValue> value(int depth)
    {
        char kind;
        if (depth > MaxDepth || !byte(&kind))
            return std::nullopt;
        quint64 v;
        switch (kind) {
        case ValNil:
            return PredicateValue::nil();
        case ValNo:
            return PredicateValue::boolean(false);
        case ValYes:
            return PredicateValue::boolean(true);
        case ValInteger:
            if (!fixed(&v))
                return std::nullopt;
            return PredicateValue::integer(qint64(v));
        case ValNumber: {
            if (!fixed(&v))
                return std::nullopt;
            double d;
            std::memcpy(&d, &v, 8);
            return PredicateValue::number(d);
        }
        case ValText: {
            QString s;
            if (!text(&s))
                return std::nullopt;
            return PredicateValue::text(s);
        }
        case ValDate: {
            if (!fixed(&v))
                return std::nullopt;
            const PredicateValue date = PredicateValue::date(QDateTime::fromMSecsSinceEpoch(qint64(v), Qt::UTC));
            if (date.kind() != PredicateValue::Kind::Date)
                return std::nullopt;
            return date;
        }
        case ValList: {
            quint64 n;
            if (!count(&n))
                return std::nullopt;
            QList<PredicateValue> list;
            for (quint64 i = 0; i < n; ++i) {
                std::optional<PredicateValue> e = value(depth + 1);
                if (!e)
                    return std::nullopt;
                list.append(*e);
            }
            return PredicateValue::list(list);
        }
        default:
            return std::nullopt;
        }
    }
    std::optional<Predicate> node(int depth)
    {
        char tag;
        if (depth > MaxDepth || !byte(&tag))
            return std::nullopt;
        switch (tag) {
        case TagComparison: {
            char modifier, op, options;
            QString key;
            if (!byte(&modifier) || !byte(&op) || !byte(&options) || !text(&key))
                return std::nullopt;
            if (modifier < 0 || modifier > char(Predicate::Modifier::None) || op < 0
                || op > char(Predicate::Operator::In) || (options & ~3) || !PredicateText::isValidKeyPath(key))
                return std::nullopt;
            std::optional<PredicateValue> v = value(depth + 1);
            if (!v)
                return std::nullopt;
            return Predicate::comparison(key, Predicate::Operator(op), *v, Predicate::Options(int(options)),
                                         Predicate::Modifier(modifier));
        }
        case TagAnd:
        case TagOr:
        case TagNot: {
            quint64 n;
            if (!count(&n) || (tag == TagNot && n != 1))
                return std::nullopt;
            QList<Predicate> members;
            for (quint64 i = 0; i < n; ++i) {
                std::optional<Predicate> m = node(depth + 1);
                if (!m || m->isEmpty())
                    return std::nullopt;
                members.append(*m);
            }
            const Predicate::CompoundType type = tag == TagAnd ? Predicate::CompoundType::And
                : tag == TagOr                                 ? Predicate::CompoundType::Or
                                                               : Predicate::CompoundType::Not;
            return Predicate::compound(type, members);
        }
        default:
            return std::nullopt;
        }
    }

private:
    const QByteArray &m_data;
    qsizetype m_pos = 0;
};

} // namespace

QByteArray PredicateCodec::encode(const Predicate &predicate)
{
    Writer w;
    w.byte(FormatVersion);
    w.node(predicate);
    return w.bytes;
}

std::optional<Predicate> PredicateCodec::decode(const QByteArray &data)
{
    Reader r(data);
    char version;
    if (!r.byte(&version) || version != FormatVersion)
        return std::nullopt;
    std::optional<Predicate> p;
    char tag;
    if (data.size() == 2 && data.at(1) == TagEmpty) {
        r.byte(&tag);
        p = Predicate();
    } else {
        p = r.node(0);
    }
    if (!p || !r.atEnd())
        return std::nullopt;
    return p;
}
