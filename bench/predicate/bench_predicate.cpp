// The library search over 50,000 in-memory records, every attribute filled. Prints the median of several runs:
//   BENCH predicate_search_50k <ms> ms      a word (the common search)
//   BENCH predicate_search_50k_digits <ms> ms  a year, which also reads dates and prices
//   BENCH predicate_search_50k_miss <ms> ms    a text no record holds
// each also as <name>_cpu, the processor time, which other programs running
// at the same time disturb less than the elapsed time.

#include "predicate/SearchPredicate.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

// Objects laid out as a store would hold them: one table from attribute name to
// slot, shared by every object of the entity, and a row of values per object.
class RecordLike : public KeyValueSource
{
public:
    void setValue(const QString &key, const QVariant &value)
    {
        auto it = slotTable().constFind(key);
        if (it == slotTable().cend())
            it = slotTable().insert(key, int(slotTable().size()));
        if (m_values.size() <= *it)
            m_values.resize(*it + 1);
        m_values[*it] = value;
    }
    RecordLike &addCustomField(const QString &name, const QString &value)
    {
        m_customFields.push_back(std::make_unique<RecordLike>());
        m_customFields.back()->setValue(QStringLiteral("cfName"), name);
        m_customFields.back()->setValue(QStringLiteral("cfType"), QStringLiteral("Text Field"));
        m_customFields.back()->setValue(QStringLiteral("cfTextField"), value);
        m_members.append(m_customFields.back().get());
        return *this;
    }

    QVariant valueForKey(const QString &key) const override
    {
        const auto it = slotTable().constFind(key);
        return it != slotTable().cend() && *it < m_values.size() ? m_values.at(*it) : QVariant();
    }
    bool isToManyKey(const QString &key) const override { return key == QLatin1String("customField"); }
    QList<const KeyValueSource *> relatedObjectsForKey(const QString &key) const override
    {
        return key == QLatin1String("customField") ? m_members : QList<const KeyValueSource *>();
    }

    quint32 layoutId() const override { return 1; }
    int slotForKey(const QString &key) const override { return slotTable().value(key, -1); }
    const QVariant *valueInSlot(int slot) const override
    {
        return slot < m_values.size() ? &m_values.at(slot) : nullptr;
    }

private:
    static QHash<QString, int> &slotTable()
    {
        static QHash<QString, int> table;
        return table;
    }
    QList<QVariant> m_values;
    std::vector<std::unique_ptr<RecordLike>> m_customFields;
    QList<const KeyValueSource *> m_members;
};

std::vector<RecordLike> makeRecords(int count)
{
    static const char *const items[] = { "Desk Lamp", "Armchair",         "Crème brûlée torch", "Television",
                                         "Bicycle",   "Espresso machine", "Kühlschrank",        "Laptop computer" };
    static const char *const places[] = { "Home", "Work", "Garage", "Cellar", "Attic" };
    std::vector<RecordLike> records;
    records.reserve(size_t(count));
    const QDateTime start(QDate(2005, 1, 1), QTime(9, 30), Qt::UTC);
    for (int i = 0; i < count; ++i) {
        RecordLike r;
        const QString n = QString::number(i);
        r.setValue("recordID", 420000000.0 + i);
        r.setValue("item", QString::fromUtf8(items[i % 8]) + u' ' + n);
        r.setValue("manufacturer", QStringLiteral("Maker %1").arg(i % 97));
        r.setValue("model", QStringLiteral("M-%1").arg(i % 1000));
        r.setValue("serialNumber", QStringLiteral("SN%1X").arg(i * 7919));
        r.setValue("barcode",
                   QStringLiteral("4%1").arg(qint64(i) * 104729 % 1000000000000LL, 12, 10, QLatin1Char('0')));
        r.setValue("category", QStringLiteral("Category %1").arg(i % 12));
        r.setValue("location", QString::fromLatin1(places[i % 5]));
        r.setValue("paymentMethod", i % 3 ? QStringLiteral("Credit Card") : QStringLiteral("Cash"));
        r.setValue("vendorName", QStringLiteral("Vendor %1").arg(i % 50));
        r.setValue("purchaseDate", start.addSecs(qint64(i) * 3607));
        r.setValue("purchasePrice", 10.0 + (i % 1000) * 1.25);
        r.setValue("currency", QStringLiteral("$ - USD"));
        r.setValue("replacementCost", 12.5 + (i % 700) * 2.5);
        r.setValue("replacementCurrency", QStringLiteral("$ - USD"));
        r.setValue("recordQty", 1);
        r.setValue("condition", i % 5);
        r.setValue("labelIndex", i % 8);
        r.setValue("insured", i % 2 == 0);
        r.setValue("insurancePolicyName", QStringLiteral("Home Policy"));
        r.setValue("insuranceCoverageName", QStringLiteral("Electronics"));
        r.setValue("warrantyLengthNumber", 2);
        r.setValue("warrantyLengthIncrement", QStringLiteral("Years"));
        r.setValue("xWarrantyLengthNumber", 1);
        r.setValue("xWarrantyLengthIncrement", QStringLiteral("Years"));
        r.setValue("addon", false);
        r.setValue("warrantyLevel", double(i % 101));
        r.setValue("warrantyUsed", 0.0);
        r.setValue("expirationDate", QStringLiteral("%1 Days").arg(i % 700));
        r.setValue("dateAdded", start.addSecs(qint64(i) * 3607));
        r.setValue("photo", n);
        r.setValue("imageUID", QStringLiteral("uid-%1").arg(i));
        r.setValue("notes", QByteArray(64, 'n'));
        r.setValue(KeyValueSource::notesPlainTextKey,
                   QStringLiteral("Bought on a rainy day together with the matching parts, number %1.").arg(i));
        r.setValue("tags", QStringLiteral("office,light,tag%1").arg(i % 30));
        r.addCustomField(QStringLiteral("Colour"), QStringLiteral("Dark oak"));
        r.addCustomField(QStringLiteral("Size"), QStringLiteral("Large ") + n);
        records.push_back(std::move(r));
    }
    return records;
}

struct Timing
{
    double wallMs;
    double cpuMs; // less disturbed when other programs share the processors
};

Timing median(const std::vector<RecordLike> &records, const QString &text, int *matches)
{
    std::vector<double> wall, cpu;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        // Built inside the timed part: each search builds its predicate once.
        const Predicate p = SearchPredicate::forSearchText(text);
        int n = 0;
        for (const RecordLike &r : records)
            n += p.evaluate(r) ? 1 : 0;
        cpu.push_back(double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        *matches = n;
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return { wall[wall.size() / 2], cpu[cpu.size() / 2] };
}

void report(const char *name, const std::vector<RecordLike> &records, const char *text)
{
    int matches = 0;
    const Timing t = median(records, QString::fromUtf8(text), &matches);
    std::printf("BENCH %s %.1f ms\n", name, t.wallMs);
    std::printf("BENCH %s_cpu %.1f ms\n", name, t.cpuMs);
    std::fflush(stdout);
    std::fprintf(stderr, "  \"%s\": %d matches\n", text, matches);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const std::vector<RecordLike> records = makeRecords(50000);
    report("predicate_search_50k", records, "lamp");
    report("predicate_search_50k_digits", records, "2009");
    report("predicate_search_50k_miss", records, "zzzz");
    return 0;
}
