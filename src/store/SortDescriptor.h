#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class KeyValueSource;

// One sort key: an attribute, its direction and how texts compare. Missing
// values come before every value, as in the list views.
class SortDescriptor
{
public:
    enum class Comparison { Default, CaseInsensitive, LocalizedCaseInsensitive };

    SortDescriptor() = default;
    SortDescriptor(const QString &key, bool ascending = true, Comparison comparison = Comparison::Default);

    const QString &key() const { return m_key; }
    bool ascending() const { return m_ascending; }
    Comparison comparison() const { return m_comparison; }

    // <0, 0, >0 in this descriptor's order.
    int compare(const QVariant &a, const QVariant &b) const;
    int compare(const KeyValueSource &a, const KeyValueSource &b) const;

    friend bool operator==(const SortDescriptor &a, const SortDescriptor &b)
    {
        return a.m_key == b.m_key && a.m_ascending == b.m_ascending && a.m_comparison == b.m_comparison;
    }

    // Sorts `objects` (stable) by the descriptors in turn; values are read once.
    template<typename T> static void sort(QList<T *> &objects, const QList<SortDescriptor> &descriptors);

private:
    static void sortIndexes(std::vector<int> &order, const std::vector<std::vector<QVariant>> &keys,
                            const QList<SortDescriptor> &descriptors);

    QString m_key;
    bool m_ascending = true;
    Comparison m_comparison = Comparison::Default;
};

#include "predicate/KeyValueSource.h"

#include <numeric>
#include <vector>

template<typename T> void SortDescriptor::sort(QList<T *> &objects, const QList<SortDescriptor> &descriptors)
{
    if (descriptors.isEmpty() || objects.size() < 2)
        return;
    std::vector<std::vector<QVariant>> keys(size_t(descriptors.size()));
    for (int d = 0; d < descriptors.size(); ++d) {
        const QString &key = descriptors.at(d).key();
        std::vector<QVariant> &column = keys[size_t(d)];
        column.reserve(size_t(objects.size()));
        // Objects that keep their values in shared slots are read by slot.
        quint32 layout = 0;
        int slot = -1;
        for (const T *object : objects) {
            const quint32 objectLayout = object->layoutId();
            if (objectLayout && objectLayout != layout) {
                layout = objectLayout;
                slot = object->slotForKey(key);
            }
            const QVariant *value = objectLayout && slot >= 0 ? object->valueInSlot(slot) : nullptr;
            column.push_back(value ? *value : (objectLayout && slot >= 0 ? QVariant() : object->valueForKey(key)));
        }
    }
    std::vector<int> order(size_t(objects.size()));
    std::iota(order.begin(), order.end(), 0);
    sortIndexes(order, keys, descriptors);
    QList<T *> sorted;
    sorted.reserve(objects.size());
    for (int i : order)
        sorted.append(objects.at(i));
    objects = std::move(sorted);
}
