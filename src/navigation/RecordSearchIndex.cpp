#include "navigation/RecordSearchIndex.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "predicate/PredicateText.h"
#include "predicate/SearchPredicate.h"
#include "predicate/TextFolding.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QDateTime>

namespace {

// Never in a folded search text (the field cannot hold it).
constexpr char16_t kSeparator = 0;
const Predicate::Options kFold = Predicate::CaseInsensitive | Predicate::DiacriticInsensitive;

// The key paths of the sixteen terms, read from the search itself so that the
// two never disagree; empty when the search is not made of [cd] contains tests.
const QStringList &searchKeyPaths()
{
    static const QStringList paths = [] {
        QStringList found;
        const Predicate search = SearchPredicate::forSearchText(QStringLiteral("x"));
        if (!search.isCompound() || search.compoundType() != Predicate::CompoundType::Or)
            return QStringList();
        for (const Predicate &term : search.members()) {
            if (!term.isComparison() || term.operatorType() != Predicate::Operator::Contains || term.options() != kFold
                || term.modifier() == Predicate::Modifier::All || term.modifier() == Predicate::Modifier::None
                || term.keyPath().count(u'.') > 1)
                return QStringList();
            found.append(term.keyPath());
        }
        return found;
    }();
    return paths;
}

// Appends what a text test reads of `value`: texts folded, numbers and dates in
// their text forms, nothing for values a text test never matches.
void appendValue(QString &out, const QVariant &value)
{
    char16_t buffer[PredicateText::BufferSize];
    int n = -1;
    switch (value.metaType().id()) {
    case QMetaType::QString:
        out += TextFolding::fold(*static_cast<const QString *>(value.constData()), kFold);
        out += QChar(kSeparator);
        return;
    case QMetaType::Bool:
        n = PredicateText::plainInteger(value.toBool() ? 1 : 0, buffer);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        n = PredicateText::plainInteger(value.toLongLong(), buffer);
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        n = PredicateText::plainDecimal(value.toDouble(), buffer);
        break;
    case QMetaType::QDateTime: {
        const QDateTime &d = *static_cast<const QDateTime *>(value.constData());
        if (d.isValid())
            n = PredicateText::utcDate(d.toMSecsSinceEpoch(), buffer);
        break;
    }
    case QMetaType::QDate:
        if (value.toDate().isValid())
            n = PredicateText::utcDate(value.toDate().startOfDay(Qt::UTC).toMSecsSinceEpoch(), buffer);
        break;
    default:
        break;
    }
    if (n < 0)
        return;
    out += QStringView(buffer, n);
    out += QChar(kSeparator);
}

} // namespace

RecordSearchIndex::RecordSearchIndex() = default;

RecordSearchIndex::~RecordSearchIndex()
{
    EventBus::instance().remove(this);
}

void RecordSearchIndex::setManagedObjectContext(ManagedObjectContext *context)
{
    EventBus::instance().remove(this);
    m_entries.clear();
    m_context = context;
    if (context)
        EventBus::instance().observe(
            this, Events::ManagedObjectContextObjectsDidChange,
            [this](const Event &e) { objectsDidChange(e.userInfo); }, context);
}

void RecordSearchIndex::objectsDidChange(const QVariantMap &changes)
{
    for (const QString &key :
         { ManagedObjectContext::InsertedKey, ManagedObjectContext::UpdatedKey, ManagedObjectContext::DeletedKey }) {
        for (const QVariant &v : changes.value(key).toList()) {
            const ManagedObject *object = v.value<ManagedObject *>();
            if (!object)
                continue;
            if (object->entityName() == QLatin1String("Record")) {
                m_entries.remove(object);
            } else if (object->entityName() == QLatin1String("RecordCustomField")) {
                // A custom field does not tell whose it is: start again.
                m_entries.clear();
                return;
            }
        }
    }
}

std::optional<QString> RecordSearchIndex::searchTextIn(const Predicate &filter)
{
    auto textOf = [](const Predicate &p) -> std::optional<QString> {
        if (!p.isCompound() || p.compoundType() != Predicate::CompoundType::Or || p.members().isEmpty())
            return std::nullopt;
        const Predicate first = p.members().first();
        if (!first.isComparison() || first.value().kind() != PredicateValue::Kind::Text)
            return std::nullopt;
        const QString text = first.value().toText();
        if (p == SearchPredicate::forSearchText(text))
            return text;
        return std::nullopt;
    };
    if (std::optional<QString> text = textOf(filter))
        return text;
    if (filter.isCompound() && filter.compoundType() == Predicate::CompoundType::And)
        for (const Predicate &member : filter.members())
            if (std::optional<QString> text = textOf(member))
                return text;
    return std::nullopt;
}

const QString &RecordSearchIndex::entry(const ManagedObject *record)
{
    auto it = m_entries.find(record);
    if (it != m_entries.end())
        return *it;
    QString text;
    text.reserve(256);
    for (const QString &path : searchKeyPaths()) {
        const qsizetype dot = path.indexOf(u'.');
        if (dot < 0) {
            appendValue(text, record->valueForKey(path));
            continue;
        }
        for (const KeyValueSource *member : record->relatedObjectsForKey(path.left(dot)))
            appendValue(text, member->valueForKey(path.mid(dot + 1)));
    }
    text.squeeze();
    return *m_entries.insert(record, text);
}

void RecordSearchIndex::prepare(const ManagedObject *record)
{
    if (!searchKeyPaths().isEmpty())
        entry(record);
}

std::optional<QList<ManagedObject *>> RecordSearchIndex::candidates(const QList<ManagedObject *> &records,
                                                                    const QString &text)
{
    const QString needle = TextFolding::fold(text, kFold);
    if (searchKeyPaths().isEmpty() || needle.isEmpty() || needle.contains(QChar(kSeparator)))
        return std::nullopt;
    QList<ManagedObject *> found;
    for (ManagedObject *record : records)
        if (entry(record).contains(needle))
            found.append(record);
    return found;
}
