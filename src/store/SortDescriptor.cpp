#include "store/SortDescriptor.h"

#include <QDateTime>

#include <algorithm>

SortDescriptor::SortDescriptor(const QString &key, bool ascending, Comparison comparison)
    : m_key(key)
    , m_ascending(ascending)
    , m_comparison(comparison)
{
}

int SortDescriptor::compare(const QVariant &a, const QVariant &b) const
{
    int result = 0;
    if (!a.isValid() || !b.isValid()) {
        result = int(a.isValid()) - int(b.isValid());
    } else if (a.typeId() == QMetaType::QString && b.typeId() == QMetaType::QString) {
        switch (m_comparison) {
        case Comparison::Default:
            result = a.toString().compare(b.toString(), Qt::CaseSensitive);
            break;
        case Comparison::CaseInsensitive:
            result = a.toString().compare(b.toString(), Qt::CaseInsensitive);
            break;
        case Comparison::LocalizedCaseInsensitive:
            result = a.toString().toCaseFolded().localeAwareCompare(b.toString().toCaseFolded());
            break;
        }
    } else {
        const QPartialOrdering order = QVariant::compare(a, b);
        if (order == QPartialOrdering::Less)
            result = -1;
        else if (order == QPartialOrdering::Greater)
            result = 1;
        else if (order == QPartialOrdering::Unordered)
            result = QString::compare(a.toString(), b.toString());
    }
    return m_ascending ? result : -result;
}

int SortDescriptor::compare(const KeyValueSource &a, const KeyValueSource &b) const
{
    return compare(a.valueForKey(m_key), b.valueForKey(m_key));
}

namespace {

bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// One sort key per object, brought once into the form its comparisons need:
// texts case-folded where the comparison ignores case, numbers as doubles.
// Keys of mixed or other kinds keep the general comparison.
struct PreparedKeys
{
    enum class Kind { Text, Number, General };
    Kind kind = Kind::General;
    std::vector<QString> texts;
    std::vector<double> numbers;
    std::vector<char> present;

    void prepare(const std::vector<QVariant> &values, SortDescriptor::Comparison comparison)
    {
        bool allText = comparison != SortDescriptor::Comparison::LocalizedCaseInsensitive;
        bool allNumber = true;
        for (const QVariant &v : values) {
            if (!v.isValid())
                continue;
            allText = allText && v.typeId() == QMetaType::QString;
            allNumber = allNumber && isNumber(v);
        }
        present.resize(values.size());
        for (size_t i = 0; i < values.size(); ++i)
            present[i] = values[i].isValid();
        if (allText) {
            kind = Kind::Text;
            texts.resize(values.size());
            const bool fold = comparison == SortDescriptor::Comparison::CaseInsensitive;
            for (size_t i = 0; i < values.size(); ++i)
                if (present[i])
                    texts[i] = fold ? values[i].toString().toCaseFolded() : values[i].toString();
        } else if (allNumber) {
            kind = Kind::Number;
            numbers.resize(values.size());
            for (size_t i = 0; i < values.size(); ++i)
                if (present[i])
                    numbers[i] = values[i].toDouble();
        }
    }

    // <0, 0, >0 for ascending order; missing values first.
    int compare(size_t x, size_t y) const
    {
        if (!present[x] || !present[y])
            return int(present[x]) - int(present[y]);
        if (kind == Kind::Text)
            return texts[x].compare(texts[y], Qt::CaseSensitive);
        return numbers[x] < numbers[y] ? -1 : numbers[y] < numbers[x] ? 1 : 0;
    }
};

} // namespace

void SortDescriptor::sortIndexes(std::vector<int> &order, const std::vector<std::vector<QVariant>> &keys,
                                 const QList<SortDescriptor> &descriptors)
{
    std::vector<PreparedKeys> prepared(size_t(descriptors.size()));
    for (int d = 0; d < descriptors.size(); ++d)
        prepared[size_t(d)].prepare(keys[size_t(d)], descriptors.at(d).comparison());
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        for (int d = 0; d < descriptors.size(); ++d) {
            const PreparedKeys &p = prepared[size_t(d)];
            int c;
            if (p.kind == PreparedKeys::Kind::General) {
                c = descriptors.at(d).compare(keys[size_t(d)][size_t(x)], keys[size_t(d)][size_t(y)]);
            } else {
                c = p.compare(size_t(x), size_t(y));
                if (!descriptors.at(d).ascending())
                    c = -c;
            }
            if (c != 0)
                return c < 0;
        }
        return false;
    });
}
