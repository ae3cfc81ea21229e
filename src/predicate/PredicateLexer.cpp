#include "predicate/PredicateLexer.h"

namespace {

bool isIdentifierStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isIdentifierPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int hexValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

bool PredicateLexer::tokenize(const QString &text, QList<Token> *tokens, QString *error)
{
    using Kind = Token::Kind;
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto fail = [&](const QString &message, qsizetype at) {
        *error = QStringLiteral("%1 at position %2").arg(message).arg(at);
        return false;
    };
    while (i < n) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.position = i;
        if (isIdentifierStart(c) || (c == u'#' && i + 1 < n && isIdentifierStart(text.at(i + 1)))) {
            if (c == u'#') {
                t.escaped = true;
                ++i;
            }
            const qsizetype start = i;
            while (i < n && isIdentifierPart(text.at(i)))
                ++i;
            t.kind = Kind::Identifier;
            t.text = text.mid(start, i - start);
        } else if (isAsciiDigit(c) || (c == u'.' && i + 1 < n && isAsciiDigit(text.at(i + 1)))) {
            const qsizetype start = i;
            while (i < n && isAsciiDigit(text.at(i)))
                ++i;
            if (i < n && text.at(i) == u'.' && !(i + 1 < n && isIdentifierStart(text.at(i + 1)))) {
                ++i;
                while (i < n && isAsciiDigit(text.at(i)))
                    ++i;
            }
            if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
                qsizetype j = i + 1;
                if (j < n && (text.at(j) == u'+' || text.at(j) == u'-'))
                    ++j;
                if (j < n && isAsciiDigit(text.at(j))) {
                    i = j;
                    while (i < n && isAsciiDigit(text.at(i)))
                        ++i;
                }
            }
            if (i < n && isIdentifierPart(text.at(i)))
                return fail(QStringLiteral("Malformed number"), start);
            t.kind = Kind::Number;
            t.text = text.mid(start, i - start);
        } else if (c == u'"' || c == u'\'') {
            const QChar quote = c;
            ++i;
            QString s;
            bool closed = false;
            while (i < n) {
                const QChar d = text.at(i++);
                if (d == quote) {
                    closed = true;
                    break;
                }
                if (d != u'\\') {
                    s += d;
                    continue;
                }
                if (i >= n)
                    break;
                const QChar e = text.at(i++);
                switch (e.unicode()) {
                case u'n':
                    s += u'\n';
                    break;
                case u'r':
                    s += u'\r';
                    break;
                case u't':
                    s += u'\t';
                    break;
                case u'"':
                case u'\'':
                case u'\\':
                    s += e;
                    break;
                case u'u': {
                    int v = 0;
                    for (int k = 0; k < 4; ++k) {
                        const int h = i + k < n ? hexValue(text.at(i + k)) : -1;
                        if (h < 0)
                            return fail(QStringLiteral("Malformed \\u escape"), i - 2);
                        v = v * 16 + h;
                    }
                    i += 4;
                    s += QChar(char16_t(v));
                    break;
                }
                default:
                    // Unknown escapes stay as written, so that a pattern such as
                    // "a\(b" typed by hand keeps its backslash.
                    s += u'\\';
                    s += e;
                }
            }
            if (!closed)
                return fail(QStringLiteral("Unterminated quoted text"), t.position);
            t.kind = Kind::String;
            t.text = s;
        } else if (c == u'%') {
            static const char *const forms[]
                = { "lld", "lli", "llu", "ld", "li", "lu", "lf", "K", "@", "d", "i", "u", "f" };
            bool found = false;
            for (const char *form : forms) {
                const QLatin1String f(form);
                if (QStringView(text).mid(i + 1, f.size()) == f) {
                    t.kind = Kind::Placeholder;
                    const QChar last = f.back();
                    t.text = (last == u'K' || last == u'@' || last == u'f') ? QString(last) : QStringLiteral("d");
                    i += 1 + f.size();
                    found = true;
                    break;
                }
            }
            if (!found)
                return fail(QStringLiteral("Unknown placeholder"), i);
        } else {
            static const char *const symbols[] = { "==", "!=", "<>", "<=", "=<", ">=", "=>", "&&", "||", "=", "<",
                                                   ">",  "!",  "(",  ")",  "{",  "}",  "[",  "]",  ",",  ".", "-" };
            bool found = false;
            for (const char *symbol : symbols) {
                const QLatin1String s(symbol);
                if (QStringView(text).mid(i, s.size()) == s) {
                    t.kind = Kind::Symbol;
                    t.text = s;
                    i += s.size();
                    found = true;
                    break;
                }
            }
            if (!found)
                return fail(QStringLiteral("Unexpected character '%1'").arg(c), i);
        }
        tokens->append(t);
    }
    Token end;
    end.position = n;
    tokens->append(end);
    return true;
}
