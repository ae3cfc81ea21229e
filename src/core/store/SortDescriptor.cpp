#include "core/store/SortDescriptor.h"

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

void SortDescriptor::sortIndexes(std::vector<int> &order, const std::vector<std::vector<QVariant>> &keys,
                                 const QList<SortDescriptor> &descriptors)
{
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        for (int d = 0; d < descriptors.size(); ++d) {
            const int c = descriptors.at(d).compare(keys[size_t(d)][size_t(x)], keys[size_t(d)][size_t(y)]);
            if (c != 0)
                return c < 0;
        }
        return false;
    });
}
