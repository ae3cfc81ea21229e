#include "store/StoreLoader.h"

#include "store/StoreSchema.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <mutex>
#include <thread>

namespace {

// Below this many values a second thread costs more than it saves.
constexpr double kParallelWeight = 200000;
// Tables with more rows than this are read in two halves.
constexpr qint64 kSplitRows = 10000;

// Many texts repeat from record to record (category, location, currency ...);
// sharing one copy of each keeps a large library small in memory. Columns whose
// texts rarely repeat (serial numbers) stop being pooled after a first sample.
class TextPool
{
public:
    void share(QVariant &value)
    {
        if (!m_active)
            return;
        const QString &text = *static_cast<const QString *>(value.constData());
        if (text.size() > kLongest)
            return;
        QString &slot = find(text);
        if (!slot.isNull()) {
            value = slot;
            ++m_hits;
        } else if (m_count < kSlots / 2) {
            slot = text;
            ++m_count;
        }
        if (++m_seen == 1024 && m_hits < 512) {
            m_active = false;
            m_slots.clear();
        }
    }

private:
    static constexpr qsizetype kLongest = 64;
    static constexpr size_t kSlots = 8192;

    // Open addressing with an FNV-1a hash: QHash's seeded hash costs several
    // times more, and this runs for every text of the library.
    QString &find(const QString &text)
    {
        if (m_slots.empty())
            m_slots.resize(kSlots);
        quint32 h = 2166136261u;
        for (const QChar c : text)
            h = (h ^ c.unicode()) * 16777619u;
        for (size_t i = h & (kSlots - 1);; i = (i + 1) & (kSlots - 1)) {
            QString &slot = m_slots[i];
            if (slot.isNull() || (slot.size() == text.size() && QStringView(slot) == QStringView(text)))
                return slot;
        }
    }

    std::vector<QString> m_slots;
    size_t m_count = 0;
    int m_seen = 0;
    int m_hits = 0;
    bool m_active = true;
};

void convert(QVariant &v, AttributeDescription::Type type)
{
    using Type = AttributeDescription::Type;
    if (v.isNull()) {
        v = QVariant();
        return;
    }
    switch (type) {
    case Type::Text:
        if (v.typeId() != QMetaType::QString)
            v = v.toString();
        return;
    case Type::Integer:
        if (v.typeId() != QMetaType::LongLong)
            v = v.toLongLong();
        return;
    case Type::Number:
        if (v.typeId() != QMetaType::Double)
            v = v.toDouble();
        return;
    case Type::Boolean:
        v = v.toLongLong() != 0;
        return;
    case Type::Date:
        v = QDateTime::fromMSecsSinceEpoch(v.toLongLong(), Qt::UTC);
        return;
    case Type::Bytes: {
        QByteArray bytes = v.typeId() == QMetaType::QString ? v.toString().toUtf8() : v.toByteArray();
        if (bytes.isNull())
            bytes = QByteArray("");
        v = bytes;
        return;
    }
    }
}

QString readError(const QString &file, const QString &detail)
{
    return QStringLiteral("The library store \"%1\" cannot be read: %2").arg(file, detail);
}

} // namespace

StoreLoader::StoreLoader(const ManagedObjectModel &model, const QString &file, QSqlDatabase &db)
    : m_model(model)
    , m_file(file)
    , m_db(db)
{
}

bool StoreLoader::plan(SQLiteStore::LoadTarget &target, QString *error)
{
    const QList<EntityDescription> &entities = m_model.entities();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    std::vector<qint64> largest(size_t(entities.size()), 0);
    for (int e = 0; e < entities.size(); ++e) {
        const EntityDescription &entity = entities.at(e);
        const QString table = StoreSchema::quoted(StoreSchema::entityTable(entity));
        // A store opened read-only may be of an older version: read the columns it has.
        const QStringList columns = StoreSchema::existingColumns(m_db, StoreSchema::entityTable(entity));
        if (columns.isEmpty())
            continue;
        if (!q.exec(QStringLiteral("SELECT min(pk), max(pk), count(*) FROM %1").arg(table)) || !q.next()) {
            *error = readError(m_file, q.lastError().text());
            return false;
        }
        const qint64 low = q.value(0).toLongLong(), high = q.value(1).toLongLong(), rows = q.value(2).toLongLong();
        largest[size_t(e)] = high;
        if (!target.reserve(e, high)) {
            *error = QStringLiteral("The library store \"%1\" is damaged and cannot be opened: an object has an "
                                    "impossible identifier")
                         .arg(m_file);
            return false;
        }
        if (rows == 0)
            continue;
        Job job;
        job.entity = e;
        QStringList select { QStringLiteral("pk") };
        for (int a = 0; a < entity.attributes().size(); ++a) {
            if (columns.contains(entity.attributes().at(a).name)) {
                select.append(StoreSchema::quoted(entity.attributes().at(a).name));
                job.attributeOfColumn.push_back(a);
            }
        }
        job.sql = QStringLiteral("SELECT %1 FROM %2 WHERE pk BETWEEN ? AND ? ORDER BY pk")
                      .arg(select.join(QStringLiteral(", ")), table);
        const double perRow = double(job.attributeOfColumn.size() + 1);
        const qint64 middle = rows > kSplitRows ? low + (high - low) / 2 : high;
        job.from = low;
        job.to = middle;
        job.weight = perRow * double(rows) * double(middle - low + 1) / double(high - low + 1);
        m_jobs.push_back(job);
        if (middle < high) {
            job.from = middle + 1;
            job.to = high;
            job.weight = perRow * double(rows) - m_jobs.back().weight;
            m_jobs.push_back(job);
        }
    }
    for (int e = 0; e < entities.size(); ++e) {
        const EntityDescription &entity = entities.at(e);
        for (int r = 0; r < entity.relationships().size(); ++r) {
            const QString table = StoreSchema::joinTable(entity, entity.relationships().at(r));
            if (StoreSchema::existingColumns(m_db, table).isEmpty())
                continue;
            Job job;
            job.entity = e;
            job.relationship = r;
            job.sql
                = QStringLiteral("SELECT owner, member FROM %1 ORDER BY owner, member").arg(StoreSchema::quoted(table));
            const int destination = m_model.entityIndex(entity.relationships().at(r).destinationEntity);
            job.weight = 2.0 * double(destination < 0 ? 0 : largest[size_t(destination)]);
            m_jobs.push_back(job);
        }
    }
    if (q.exec(QStringLiteral("SELECT entity, maxpk FROM %1").arg(StoreSchema::primaryKeyTable()))) {
        while (q.next()) {
            const int e = m_model.entityIndex(q.value(0).toString());
            if (e >= 0)
                target.setMaxPrimaryKey(e, q.value(1).toLongLong());
        }
    }
    std::stable_sort(m_jobs.begin(), m_jobs.end(), [](const Job &a, const Job &b) { return a.weight > b.weight; });
    m_members.resize(m_jobs.size());
    return true;
}

bool StoreLoader::run(QSqlDatabase &db, const Job &job, SQLiteStore::LoadTarget &target, QString *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(job.sql)) {
        *error = readError(m_file, q.lastError().text());
        return false;
    }
    if (job.relationship < 0) {
        q.bindValue(0, job.from);
        q.bindValue(1, job.to);
    }
    if (!q.exec()) {
        *error = readError(m_file, q.lastError().text());
        return false;
    }
    if (job.relationship >= 0) {
        std::vector<std::pair<qint64, qint64>> &members = m_members[size_t(&job - m_jobs.data())];
        while (q.next())
            members.emplace_back(q.value(0).toLongLong(), q.value(1).toLongLong());
        return true;
    }
    const EntityDescription &entity = m_model.entities().at(job.entity);
    const size_t columns = job.attributeOfColumn.size();
    std::vector<AttributeDescription::Type> types;
    for (int a : job.attributeOfColumn)
        types.push_back(entity.attributes().at(a).type);
    std::vector<TextPool> pools(columns);
    while (q.next()) {
        QVariant *values = target.addRow(job.entity, q.value(0).toLongLong());
        if (!values) {
            *error = QStringLiteral("The library store \"%1\" is damaged and cannot be opened: an object has an "
                                    "impossible identifier")
                         .arg(m_file);
            return false;
        }
        for (size_t c = 0; c < columns; ++c) {
            QVariant v = q.value(int(c) + 1);
            convert(v, types[c]);
            if (types[c] == AttributeDescription::Type::Text && v.isValid())
                pools[c].share(v);
            values[job.attributeOfColumn[c]] = std::move(v);
        }
    }
    if (q.lastError().isValid()) {
        *error = readError(m_file, q.lastError().text());
        return false;
    }
    return true;
}

void StoreLoader::fail(const QString &error)
{
    const std::lock_guard<std::mutex> guard(m_errorLock);
    if (!m_failed.exchange(true))
        m_error = error;
}

void StoreLoader::work(QSqlDatabase &db, SQLiteStore::LoadTarget &target)
{
    for (int i = m_next++; i < int(m_jobs.size()) && !m_failed; i = m_next++) {
        QString why;
        if (!run(db, m_jobs[size_t(i)], target, &why)) {
            fail(why);
            break;
        }
    }
}

// The second thread reads through a read-only connection of its own.
void StoreLoader::helperWork(SQLiteStore::LoadTarget &target)
{
    static std::atomic<int> counter { 0 };
    const QString name = QStringLiteral("stashly-load-%1").arg(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open())
            work(db, target);
        else
            fail(readError(m_file, db.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

bool StoreLoader::load(SQLiteStore::LoadTarget &target, QString *error)
{
    if (!plan(target, error))
        return false;
    double weight = 0;
    for (const Job &job : m_jobs)
        weight += job.weight;
    if (weight >= kParallelWeight && m_jobs.size() > 1) {
        std::thread helper([this, &target] { helperWork(target); });
        work(m_db, target);
        helper.join();
    } else {
        work(m_db, target);
    }
    if (m_failed) {
        *error = m_error;
        return false;
    }
    for (size_t i = 0; i < m_jobs.size(); ++i)
        for (const auto &[owner, member] : m_members[i])
            target.addMember(m_jobs[i].entity, m_jobs[i].relationship, owner, member);
    return true;
}
