#include "predicate/TextFolding.h"

#include <array>
#include <memory>

namespace {

// 0 in a table means "drop" (a combining mark); U+0000 itself never reaches a table.
using Table = std::array<char16_t, 0x10000>;

bool isMark(char16_t c)
{
    const QChar::Category cat = QChar(c).category();
    return cat == QChar::Mark_NonSpacing || cat == QChar::Mark_Enclosing;
}

// The base character left after canonical decomposition with its marks removed;
// characters that decompose into several base characters (Hangul) stay whole.
char16_t stripDiacritics(char16_t c)
{
    if (isMark(c))
        return 0;
    char16_t current = c;
    for (int guard = 0; guard < 8; ++guard) {
        const QChar qc(current);
        if (qc.decompositionTag() != QChar::Canonical)
            break;
        const QString parts = qc.decomposition();
        char16_t base = 0;
        int bases = 0;
        for (QChar p : parts) {
            if (!isMark(p.unicode())) {
                base = p.unicode();
                ++bases;
            }
        }
        if (bases != 1 || base == current || QChar::isSurrogate(base))
            break;
        current = base;
    }
    return current;
}

char16_t caseFold(char16_t c)
{
    const char16_t f = QChar(c).toCaseFolded().unicode();
    return f == 0 ? c : f;
}

std::unique_ptr<Table> makeTable(Predicate::Options options)
{
    auto table = std::make_unique<Table>();
    for (int i = 0; i < 0x10000; ++i) {
        char16_t c = char16_t(i);
        if (i == 0 || QChar::isSurrogate(c)) {
            (*table)[i] = c;
            continue;
        }
        if (options & Predicate::DiacriticInsensitive)
            c = stripDiacritics(c);
        if (c && (options & Predicate::CaseInsensitive)) {
            c = caseFold(c);
            if (options & Predicate::DiacriticInsensitive)
                c = stripDiacritics(c);
        }
        (*table)[i] = c;
    }
    return table;
}

const Table &table(Predicate::Options options)
{
    static const std::unique_ptr<Table> c = makeTable(Predicate::CaseInsensitive);
    static const std::unique_ptr<Table> d = makeTable(Predicate::DiacriticInsensitive);
    static const std::unique_ptr<Table> cd = makeTable(Predicate::CaseInsensitive | Predicate::DiacriticInsensitive);
    if ((options & Predicate::CaseInsensitive) && (options & Predicate::DiacriticInsensitive))
        return *cd;
    return (options & Predicate::CaseInsensitive) ? *c : *d;
}

} // namespace

qsizetype TextFolding::fold(QStringView text, Predicate::Options options, char16_t *out)
{
    const char16_t *in = text.utf16();
    const qsizetype n = text.size();
    const bool lower = options & Predicate::CaseInsensitive;
    if (!options) {
        std::copy(in, in + n, out);
        return n;
    }
    // Most texts are plain ASCII: two simple passes the compiler can vectorise.
    char16_t seen = 0;
    for (qsizetype i = 0; i < n; ++i)
        seen |= in[i];
    if (seen < 0x80) {
        if (!lower) {
            std::copy(in, in + n, out);
            return n;
        }
        for (qsizetype i = 0; i < n; ++i)
            out[i] = char16_t(in[i] + (char16_t(in[i] - u'A') < 26 ? 32 : 0));
        return n;
    }
    const Table &t = table(options);
    qsizetype k = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            out[k++] = (lower && c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
            continue;
        }
        const char16_t f = t[c];
        if (f)
            out[k++] = f;
    }
    return k;
}

QString TextFolding::fold(QStringView text, Predicate::Options options)
{
    QString out(text.size(), Qt::Uninitialized);
    const qsizetype n = fold(text, options, reinterpret_cast<char16_t *>(out.data()));
    out.truncate(n);
    return out;
}
