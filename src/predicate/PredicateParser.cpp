#include "predicate/PredicateParser.h"

#include "predicate/PredicateLexer.h"
#include "predicate/PredicateText.h"

#include <QDateTime>
#include <QtNumeric>

#include <cmath>

namespace {

using Token = PredicateLexer::Token;
using TK = Token::Kind;

// Deep enough for any real rule set, shallow enough for the stack.
constexpr int MaxDepth = 200;

class Reader
{
public:
    Reader(const QList<Token> &tokens, const QVariantList *arguments)
        : m_tokens(tokens)
        , m_arguments(arguments)
    {
    }

    std::optional<Predicate> run(QString *error)
    {
        std::optional<Predicate> p;
        if (peek().kind == TK::End)
            p = Predicate();
        else
            p = orExpr();
        if (p && peek().kind != TK::End)
            p = fail(QStringLiteral("Unexpected \"%1\"").arg(peek().text));
        if (p && m_arguments && m_nextArgument < m_arguments->size())
            p = fail(QStringLiteral("%1 argument(s) more than placeholders").arg(m_arguments->size() - m_nextArgument));
        if (!p && error)
            *error = m_error;
        return p;
    }

private:
    const Token &peek() const { return m_tokens.at(m_pos); }
    const Token &take() { return m_tokens.at(m_pos < m_tokens.size() - 1 ? m_pos++ : m_pos); }

    bool isKeyword(const Token &t, const char *word) const
    {
        return t.kind == TK::Identifier && !t.escaped && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(const Token &t, const char *symbol) const
    {
        return t.kind == TK::Symbol && t.text == QLatin1String(symbol);
    }

    std::nullopt_t fail(const QString &message)
    {
        if (m_error.isEmpty()) {
            m_error = message;
            const Token &t = peek();
            m_error += t.kind == TK::End ? QStringLiteral(" at the end")
                                         : QStringLiteral(" at position %1").arg(t.position);
        }
        return std::nullopt;
    }

    std::optional<Predicate> orExpr() { return chain(Predicate::CompoundType::Or, "OR", "||"); }
    std::optional<Predicate> andExpr() { return chain(Predicate::CompoundType::And, "AND", "&&"); }

    // One level of a chain: a OR b OR c gives one OR of three members; a group in
    // parentheses stays a member of its own.
    std::optional<Predicate> chain(Predicate::CompoundType type, const char *word, const char *symbol)
    {
        QList<Predicate> operands;
        for (;;) {
            std::optional<Predicate> p = type == Predicate::CompoundType::Or ? andExpr() : notExpr();
            if (!p)
                return std::nullopt;
            operands.append(*p);
            if (!isKeyword(peek(), word) && !isSymbol(peek(), symbol))
                break;
            take();
        }
        if (operands.size() == 1)
            return operands.constFirst();
        return Predicate::compound(type, operands);
    }

    std::optional<Predicate> notExpr()
    {
        if (isKeyword(peek(), "NOT") || isSymbol(peek(), "!")) {
            take();
            if (++m_depth > MaxDepth)
                return fail(QStringLiteral("Nested too deeply"));
            std::optional<Predicate> p = notExpr();
            --m_depth;
            if (!p)
                return std::nullopt;
            return Predicate::notPredicate(*p);
        }
        return primary();
    }

    std::optional<Predicate> primary()
    {
        if (isSymbol(peek(), "(")) {
            take();
            if (++m_depth > MaxDepth)
                return fail(QStringLiteral("Nested too deeply"));
            std::optional<Predicate> p = orExpr();
            --m_depth;
            if (!p)
                return std::nullopt;
            if (!isSymbol(peek(), ")"))
                return fail(QStringLiteral("Expected \")\""));
            take();
            return p;
        }
        if (isKeyword(peek(), "TRUEPREDICATE")) {
            take();
            return Predicate::truePredicate();
        }
        if (isKeyword(peek(), "FALSEPREDICATE")) {
            take();
            return Predicate::falsePredicate();
        }
        return comparison();
    }

    std::optional<Predicate> comparison()
    {
        Predicate::Modifier modifier = Predicate::Modifier::Direct;
        if (isKeyword(peek(), "ANY") || isKeyword(peek(), "SOME"))
            modifier = Predicate::Modifier::Any;
        else if (isKeyword(peek(), "ALL"))
            modifier = Predicate::Modifier::All;
        else if (isKeyword(peek(), "NONE"))
            modifier = Predicate::Modifier::None;
        if (modifier != Predicate::Modifier::Direct)
            take();

        std::optional<QString> key = keyPath();
        if (!key)
            return std::nullopt;

        std::optional<Predicate::Operator> op = comparisonOperator();
        if (!op)
            return std::nullopt;

        Predicate::Options options;
        if (isSymbol(peek(), "[")) {
            take();
            const Token &t = peek();
            if (t.kind != TK::Identifier)
                return fail(QStringLiteral("Expected options such as c, d or cd"));
            for (QChar c : t.text) {
                if (c == u'c' || c == u'C')
                    options |= Predicate::CaseInsensitive;
                else if (c == u'd' || c == u'D')
                    options |= Predicate::DiacriticInsensitive;
                else
                    return fail(QStringLiteral("Unknown option '%1'").arg(c));
            }
            take();
            if (!isSymbol(peek(), "]"))
                return fail(QStringLiteral("Expected \"]\""));
            take();
        }

        const bool fromPlaceholder = peek().kind == TK::Placeholder;
        std::optional<PredicateValue> v = value();
        if (!v)
            return std::nullopt;
        if (*op == Predicate::Operator::In && v->kind() != PredicateValue::Kind::List) {
            if (!fromPlaceholder)
                return fail(QStringLiteral("IN needs a list such as {\"a\", \"b\"}"));
            v = PredicateValue::list({ *v });
        }
        return Predicate::comparison(*key, *op, *v, options, modifier);
    }

    std::optional<QString> keyPath()
    {
        const Token &t = peek();
        if (t.kind == TK::Placeholder) {
            if (t.text != QLatin1String("K"))
                return fail(QStringLiteral("Expected %K or a key path"));
            std::optional<QVariant> arg = nextArgument();
            if (!arg)
                return std::nullopt;
            const QString key = arg->toString();
            if (!PredicateText::isValidKeyPath(key))
                return fail(QStringLiteral("\"%1\" is not a key path").arg(key));
            take();
            return key;
        }
        QString key;
        for (;;) {
            const Token &part = peek();
            if (part.kind != TK::Identifier || (!part.escaped && PredicateText::isReservedWord(part.text)))
                return fail(key.isEmpty() ? QStringLiteral("Expected a key path") : QStringLiteral("Expected a key"));
            key += take().text;
            if (!isSymbol(peek(), "."))
                break;
            take();
            key += u'.';
        }
        return key;
    }

    std::optional<Predicate::Operator> comparisonOperator()
    {
        using Op = Predicate::Operator;
        const Token &t = peek();
        std::optional<Op> op;
        if (t.kind == TK::Symbol) {
            if (t.text == QLatin1String("==") || t.text == QLatin1String("="))
                op = Op::EqualTo;
            else if (t.text == QLatin1String("!=") || t.text == QLatin1String("<>"))
                op = Op::NotEqualTo;
            else if (t.text == QLatin1String("<"))
                op = Op::LessThan;
            else if (t.text == QLatin1String("<=") || t.text == QLatin1String("=<"))
                op = Op::LessThanOrEqualTo;
            else if (t.text == QLatin1String(">"))
                op = Op::GreaterThan;
            else if (t.text == QLatin1String(">=") || t.text == QLatin1String("=>"))
                op = Op::GreaterThanOrEqualTo;
        } else if (isKeyword(t, "CONTAINS")) {
            op = Op::Contains;
        } else if (isKeyword(t, "BEGINSWITH")) {
            op = Op::BeginsWith;
        } else if (isKeyword(t, "ENDSWITH")) {
            op = Op::EndsWith;
        } else if (isKeyword(t, "MATCHES")) {
            op = Op::Matches;
        } else if (isKeyword(t, "IN")) {
            op = Op::In;
        }
        if (!op)
            return fail(QStringLiteral("Expected an operator"));
        take();
        return op;
    }

    std::optional<PredicateValue> value()
    {
        const Token &t = peek();
        switch (t.kind) {
        case TK::String:
            return PredicateValue::text(take().text);
        case TK::Number:
            return number(take().text, false);
        case TK::Placeholder:
            return placeholderValue();
        case TK::Symbol:
            if (t.text == QLatin1String("-")) {
                take();
                if (peek().kind != TK::Number)
                    return fail(QStringLiteral("Expected a number"));
                return number(take().text, true);
            }
            if (t.text == QLatin1String("{"))
                return list();
            break;
        case TK::Identifier:
            if (isKeyword(t, "nil") || isKeyword(t, "NULL")) {
                take();
                return PredicateValue::nil();
            }
            if (isKeyword(t, "YES") || isKeyword(t, "TRUE")) {
                take();
                return PredicateValue::boolean(true);
            }
            if (isKeyword(t, "NO") || isKeyword(t, "FALSE")) {
                take();
                return PredicateValue::boolean(false);
            }
            if (isKeyword(t, "CAST"))
                return cast();
            break;
        case TK::End:
            break;
        }
        return fail(QStringLiteral("Expected a value"));
    }

    std::optional<PredicateValue> number(const QString &digits, bool negative)
    {
        const QString s = negative ? u'-' + digits : digits;
        bool ok = false;
        if (!s.contains(u'.') && !s.contains(u'e') && !s.contains(u'E')) {
            const qint64 i = s.toLongLong(&ok);
            if (ok)
                return PredicateValue::integer(i);
        }
        const double d = s.toDouble(&ok);
        if (!ok)
            return fail(QStringLiteral("Malformed number"));
        return PredicateValue::number(d);
    }

    std::optional<PredicateValue> list()
    {
        take(); // {
        if (++m_depth > MaxDepth)
            return fail(QStringLiteral("Nested too deeply"));
        QList<PredicateValue> values;
        if (!isSymbol(peek(), "}")) {
            for (;;) {
                std::optional<PredicateValue> v = value();
                if (!v)
                    return std::nullopt;
                values.append(*v);
                if (!isSymbol(peek(), ","))
                    break;
                take();
            }
        }
        --m_depth;
        if (!isSymbol(peek(), "}"))
            return fail(QStringLiteral("Expected \"}\""));
        take();
        return PredicateValue::list(values);
    }

    // CAST("2014-05-02T04:00:00.000Z", "Date"); CAST(seconds, "Date") with seconds
    // since 1 January 2001 UTC, the reference date of the program's stores;
    // CAST("nan", "Number") and the infinities, which have no digits of their own.
    std::optional<PredicateValue> cast()
    {
        take();
        if (!isSymbol(peek(), "("))
            return fail(QStringLiteral("Expected \"(\""));
        take();
        QString text;
        bool quoted = false;
        if (peek().kind == TK::String) {
            text = take().text;
            quoted = true;
        } else {
            if (isSymbol(peek(), "-")) {
                take();
                text = QStringLiteral("-");
            }
            if (peek().kind != TK::Number)
                return fail(QStringLiteral("Expected a date or number"));
            text += take().text;
        }
        if (!isSymbol(peek(), ","))
            return fail(QStringLiteral("Expected \",\""));
        take();
        if (peek().kind != TK::String)
            return fail(QStringLiteral("Expected \"Date\" or \"Number\""));
        const QString type = take().text;
        if (!isSymbol(peek(), ")"))
            return fail(QStringLiteral("Expected \")\""));
        std::optional<PredicateValue> v;
        if (type.compare(QLatin1String("Date"), Qt::CaseInsensitive) == 0) {
            const QDateTime when = quoted ? QDateTime::fromString(text, Qt::ISODateWithMs) : secondsToDate(text);
            if (when.isValid())
                v = PredicateValue::date(when);
        } else if (type.compare(QLatin1String("Number"), Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const double d = text.toDouble(&ok);
            if (ok)
                v = PredicateValue::number(d);
        } else {
            return fail(QStringLiteral("Only CAST(..., \"Date\") and CAST(..., \"Number\") are known"));
        }
        if (!v)
            return fail(QStringLiteral("Malformed %1").arg(type));
        take();
        return v;
    }

    // Exact for decimals with up to three places; other forms through a double.
    static QDateTime secondsToDate(const QString &text)
    {
        qint64 ms = 0;
        bool ok = false;
        const bool negative = text.startsWith(u'-');
        const QString digits = negative ? text.mid(1) : text;
        const qsizetype dot = digits.indexOf(u'.');
        const QString whole = dot < 0 ? digits : digits.left(dot);
        const QString fraction = dot < 0 ? QString() : digits.mid(dot + 1);
        if (!digits.contains(u'e', Qt::CaseInsensitive) && fraction.size() <= 3) {
            const qint64 secs = whole.toLongLong(&ok);
            const qint64 millis = fraction.isEmpty() ? 0 : fraction.leftJustified(3, u'0').toLongLong();
            if (!ok || qMulOverflow(secs, qint64(1000), &ms) || qAddOverflow(ms, millis, &ms))
                return QDateTime();
        } else {
            const double seconds = digits.toDouble(&ok);
            if (!ok || !(seconds < 9e15))
                return QDateTime();
            ms = qint64(std::llround(seconds * 1000));
        }
        if (negative)
            ms = -ms;
        if (qAddOverflow(ms, PredicateText::ReferenceDateMSecs, &ms))
            return QDateTime();
        return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    }

    std::optional<PredicateValue> placeholderValue()
    {
        const QString form = peek().text;
        if (form == QLatin1String("K"))
            return fail(QStringLiteral("%K stands for a key, not a value"));
        std::optional<QVariant> arg = nextArgument();
        if (!arg)
            return std::nullopt;
        std::optional<PredicateValue> v;
        bool ok = true;
        if (form == QLatin1String("d")) {
            const qint64 i = arg->toLongLong(&ok);
            if (ok)
                v = PredicateValue::integer(i);
        } else if (form == QLatin1String("f")) {
            const double d = arg->toDouble(&ok);
            if (ok)
                v = PredicateValue::number(d);
        } else {
            v = PredicateValue::fromVariant(*arg);
            ok = v.has_value();
        }
        if (!ok)
            return fail(QStringLiteral("Argument %1 (%2) does not fit %%3")
                            .arg(m_nextArgument)
                            .arg(QString::fromLatin1(arg->typeName()), form));
        take();
        return v;
    }

    std::optional<QVariant> nextArgument()
    {
        if (!m_arguments)
            return fail(QStringLiteral("Placeholder without arguments"));
        if (m_nextArgument >= m_arguments->size())
            return fail(QStringLiteral("Missing argument"));
        return m_arguments->at(m_nextArgument++);
    }

    const QList<Token> &m_tokens;
    const QVariantList *m_arguments;
    qsizetype m_pos = 0;
    qsizetype m_nextArgument = 0;
    int m_depth = 0;
    QString m_error;
};

} // namespace

std::optional<Predicate> PredicateParser::parse(const QString &text, const QVariantList *arguments, QString *error)
{
    QList<Token> tokens;
    QString lexError;
    if (!PredicateLexer::tokenize(text, &tokens, &lexError)) {
        if (error)
            *error = lexError;
        return std::nullopt;
    }
    return Reader(tokens, arguments).run(error);
}
