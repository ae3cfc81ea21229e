#include "core/Record.h"

#include "base/Clock.h"
#include "base/EventBus.h"
#include "base/Events.h"
#include "core/RecordNotes.h"
#include "core/WarrantyCalendar.h"
#include "store/ManagedObjectContext.h"
#include "store/UndoManager.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <vector>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

const QString kNotes = QStringLiteral("notes");
const QString kCustomField = QStringLiteral("customField");
const QString kFileData = QStringLiteral("fileData");

// What the setters and the warranty calculation need to know of each attribute,
// worked out once per entity description rather than on every change.
struct Layout
{
    struct Attribute
    {
        QString accessor;
        bool warrantyInput = false;
        bool insurance = false;
    };
    const EntityDescription *entity = nullptr;
    std::vector<Attribute> attributes;
    int notes = -1;
    int coverage = -1;
    int replacementCost = -1;
    int purchaseDate = -1;
    int number = -1;
    int increment = -1;
    int xNumber = -1;
    int xIncrement = -1;
    int addon = -1;
    int level = -1;
    int expiration = -1;
};

const Layout &layoutOf(const EntityDescription &entity)
{
    static Layout layout;
    if (layout.entity == &entity)
        return layout;
    layout = Layout();
    layout.entity = &entity;
    static const QStringList warrantyInputs { QStringLiteral("addon"),
                                              QStringLiteral("purchaseDate"),
                                              QStringLiteral("warrantyLengthIncrement"),
                                              QStringLiteral("warrantyLengthNumber"),
                                              QStringLiteral("xWarrantyLengthIncrement"),
                                              QStringLiteral("xWarrantyLengthNumber") };
    static const QStringList insuranceKeys { QStringLiteral("insured"), QStringLiteral("insurancePolicyName"),
                                             QStringLiteral("insuranceCoverageName") };
    for (const AttributeDescription &a : entity.attributes())
        layout.attributes.push_back(
            { Record::accessorNameForKey(a.name), warrantyInputs.contains(a.name), insuranceKeys.contains(a.name) });
    layout.notes = entity.attributeIndex(kNotes);
    layout.coverage = entity.attributeIndex(QStringLiteral("insuranceCoverageName"));
    layout.replacementCost = entity.attributeIndex(QStringLiteral("replacementCost"));
    layout.purchaseDate = entity.attributeIndex(QStringLiteral("purchaseDate"));
    layout.number = entity.attributeIndex(QStringLiteral("warrantyLengthNumber"));
    layout.increment = entity.attributeIndex(QStringLiteral("warrantyLengthIncrement"));
    layout.xNumber = entity.attributeIndex(QStringLiteral("xWarrantyLengthNumber"));
    layout.xIncrement = entity.attributeIndex(QStringLiteral("xWarrantyLengthIncrement"));
    layout.addon = entity.attributeIndex(QStringLiteral("addon"));
    layout.level = entity.attributeIndex(QStringLiteral("warrantyLevel"));
    layout.expiration = entity.attributeIndex(QStringLiteral("expirationDate"));
    return layout;
}

// The head of the list of live records, and whether the class listens yet.
struct LiveRecords
{
    Record *head = nullptr;
    int count = 0;
    bool observing = false;
};

LiveRecords &live()
{
    static LiveRecords records;
    return records;
}

// The observer identity of the one class-level registration.
const int kHoldBackObserver = 0;

} // namespace

void Record::registerClass()
{
    ManagedObject::registerEntityClass(Entity, [] { return std::make_unique<Record>(); });
}

Record *Record::from(ManagedObject *object)
{
    return dynamic_cast<Record *>(object);
}

const Record *Record::from(const ManagedObject *object)
{
    return dynamic_cast<const Record *>(object);
}

QString Record::recordIDText(double recordID)
{
    return QString::number(recordID, 'f', 6);
}

QString Record::accessorNameForKey(const QString &key)
{
    if (key.isEmpty())
        return QStringLiteral("set");
    return QStringLiteral("set") + key.at(0).toUpper() + key.mid(1);
}

Record::~Record()
{
    if (!m_registered)
        return;
    LiveRecords &l = live();
    if (m_previousLive)
        m_previousLive->m_nextLive = m_nextLive;
    else
        l.head = m_nextLive;
    if (m_nextLive)
        m_nextLive->m_previousLive = m_previousLive;
    --l.count;
}

const QStringList &Record::delayingEvents()
{
    static const QStringList events { Events::ControlTextDidBeginEditing, Events::TextDidBeginEditing,
                                      Events::TBXCategoryReqDelayRecordUpdate };
    return events;
}

const QStringList &Record::releasingEvents()
{
    static const QStringList events { Events::ControlTextDidEndEditing, Events::TextDidEndEditing,
                                      Events::TBXCategoryUpdated };
    return events;
}

int Record::registeredRecordCount()
{
    return live().count;
}

void Record::registerForHoldBack()
{
    if (m_registered)
        return;
    LiveRecords &l = live();
    m_registered = true;
    m_previousLive = nullptr;
    m_nextLive = l.head;
    if (l.head)
        l.head->m_previousLive = this;
    l.head = this;
    ++l.count;
    if (l.observing)
        return;
    // One registration for the class: with tens of thousands of records, a
    // handler per record per event would cost more than the records themselves.
    l.observing = true;
    for (const QStringList *names : { &delayingEvents(), &releasingEvents() })
        for (const QString &name : *names)
            EventBus::instance().observe(&kHoldBackObserver, name,
                                         [](const Event &event) { forwardHoldBackEvent(event.name); });
}

void Record::forwardHoldBackEvent(const QString &eventName)
{
    const bool delay = delayingEvents().contains(eventName);
    if (!delay && !releasingEvents().contains(eventName))
        return;
    for (Record *r = live().head; r; r = r->m_nextLive)
        r->m_delayNotification = delay;
}

void Record::handleDelayNotificationChange(const QString &eventName)
{
    if (delayingEvents().contains(eventName))
        m_delayNotification = true;
    else if (releasingEvents().contains(eventName))
        m_delayNotification = false;
}

void Record::awakeFromInsert()
{
    m_delayNotification = true;
    setPurchaseDate(Clock::now());
    registerForHoldBack();
}

void Record::awakeFromFetch()
{
    m_delayNotification = true;
    calcWarrLengthRemaining();
    m_delayNotification = false;
    registerForHoldBack();
}

void Record::post(const QString &event, const QVariantMap &userInfo) const
{
    EventBus::instance().post(event, static_cast<const ManagedObject *>(this), userInfo);
}

bool Record::applySetter(const QString &key, const QVariant &value)
{
    return applySetterAt(entity().attributeIndex(key), value);
}

bool Record::applySetterAt(int index, const QVariant &value)
{
    const Layout &layout = layoutOf(entity());
    if (index < 0 || index >= int(layout.attributes.size()))
        return false;
    QVariant v = value;
    if (index == layout.notes) {
        const QByteArray normalized = RecordNotes::normalized(value);
        v = normalized.isNull() ? QVariant() : QVariant(normalized);
    }
    if (!coerce(entity().attributes().at(index).type, v))
        return false;
    const Layout::Attribute &attribute = layout.attributes[size_t(index)];

    // The coverage payload describes the change, so it is built before storing.
    QVariantMap insurance;
    if (attribute.insurance) {
        insurance.insert(EventKeys::recAccessorName, attribute.accessor);
        if (index == layout.coverage) {
            const QVariant old = ManagedObject::value(index);
            if (old.isValid())
                insurance.insert(EventKeys::oldCoverageName, old);
            if (v.isValid())
                insurance.insert(EventKeys::newCoverageName, v);
            const QVariant cost = ManagedObject::value(layout.replacementCost);
            if (cost.isValid())
                insurance.insert(EventKeys::replacementCost, cost);
        }
    }

    if (!set(index, v))
        return false;
    if (attribute.warrantyInput)
        calcWarrLengthRemaining();
    if (!m_delayNotification)
        post(Events::TBXRecordReqUpdate, { { EventKeys::recAccessorName, attribute.accessor } });
    // Coverage totals must stay right even while the user is typing.
    if (attribute.insurance)
        post(Events::TBXRecordInsuranceUpdated, insurance);
    return true;
}

bool Record::setValue(const QString &key, const QVariant &value)
{
    const int index = entity().attributeIndex(key);
    if (index >= 0)
        return applySetterAt(index, value);
    return ManagedObject::setValue(key, value);
}

QVariant Record::valueForKey(const QString &key) const
{
    if (key == KeyValueSource::notesPlainTextKey) {
        const QString text = notesPlainText();
        return text.isNull() ? QVariant() : QVariant(text);
    }
    return ManagedObject::valueForKey(key);
}

QByteArray Record::notes() const
{
    return RecordNotes::normalized(ManagedObject::valueForKey(kNotes));
}

QString Record::notesPlainText() const
{
    if (!m_notesPlainTextValid) {
        const QVariant stored = ManagedObject::valueForKey(kNotes);
        m_notesPlainText = stored.isValid() ? RecordNotes::plainText(stored.toByteArray()) : QString();
        m_notesPlainTextValid = true;
    }
    return m_notesPlainText;
}

void Record::didChangeValueForKey(const QString &key, const QVariant &oldValue)
{
    Q_UNUSED(oldValue);
    if (key == kNotes) {
        m_notesPlainTextValid = false;
        m_notesPlainText.clear();
    }
}

void Record::didChangeToManyKey(const QString &key, SetMutation mutation, ManagedObject *member)
{
    Q_UNUSED(member);
    if (mutation == SetMutation::Add)
        m_deleting = false; // an undo of the deletion is bringing the members back
    if (m_deleting || m_delayNotification)
        return;
    if ((key == kCustomField && mutation == SetMutation::Remove) || (key == kFileData && mutation == SetMutation::Add))
        post(Events::TBXRecordReqUpdate);
}

void Record::prepareForDeletion()
{
    m_deleting = true;
}

void Record::calcWarrLengthRemaining()
{
    const Layout &layout = layoutOf(entity());
    const QDateTime now = Clock::now();
    const qlonglong n1 = value(layout.number).toLongLong();
    const qlonglong n2 = value(layout.xNumber).toLongLong();
    // An empty increment is one not chosen yet, like a missing one.
    const QString i1 = value(layout.increment).toString();
    const QString i2 = value(layout.xIncrement).toString();
    const QDateTime p = value(layout.purchaseDate).toDateTime();
    const auto later = [](const QDateTime &a, const QDateTime &b) { return a < b ? b : a; };
    const auto store = [this, &layout](double level, const QString &text) {
        applySetterAt(layout.level, level);
        applySetterAt(layout.expiration, text);
    };

    if (i1 == WarrantyCalendar::Lifetime || i2 == WarrantyCalendar::Lifetime) {
        store(100.0, QStringLiteral("Lifetime"));
    } else if ((n1 == 0 && n2 == 0) || !p.isValid()) {
        store(0.0, QStringLiteral("0 Days"));
    } else {
        const bool first = n1 != 0 && !i1.isEmpty();
        const bool second = n2 != 0 && !i2.isEmpty();
        // An increment that is none of the units ends the manufacturer's warranty
        // now and adds nothing as an extension.
        const QDateTime base = first ? WarrantyCalendar::add(p, n1, i1).value_or(now) : p;
        QDateTime end = base;
        if (second) {
            const QDateTime start = value(layout.addon).toBool() ? base : p;
            const std::optional<QDateTime> extended = WarrantyCalendar::add(start, n2, i2);
            end = extended ? later(base, *extended) : later(base, now);
        }
        if (first || second) {
            const double daysLeft = double(now.msecsTo(end)) / 1000.0 / 86400.0;
            const double totalDays = double(p.msecsTo(end)) / 1000.0 / 86400.0;
            if (daysLeft <= 0) {
                store(0.0, QStringLiteral("0 Days"));
            } else {
                // A period of no length with days still to come (possible only
                // with negative lengths) counts as wholly left.
                const double share = totalDays > 0 ? daysLeft / totalDays * 100.0 : 100.0;
                const float level = float(std::clamp(share, 0.0, 100.0));
                const double rounded = std::round(daysLeft); // halves away from zero
                store(double(level), QStringLiteral("%1 Days").arg(int(std::min(rounded, double(INT_MAX)))));
            }
        }
        // Otherwise no warranty is complete yet: both values stay as they were.
    }
    if (!m_delayNotification)
        post(Events::TBXRecordReqUpdate);
}

void Record::recalculateWarranties(const QList<ManagedObject *> &objects)
{
    UndoManager *undo = nullptr;
    for (ManagedObject *object : objects) {
        Record *record = from(object);
        if (!record)
            continue;
        if (!undo && record->managedObjectContext() && record->managedObjectContext()->undoManager()) {
            undo = record->managedObjectContext()->undoManager();
            undo->disableUndoRegistration();
        }
        const bool held = record->m_delayNotification;
        record->m_delayNotification = true;
        record->calcWarrLengthRemaining();
        record->m_delayNotification = held;
    }
    if (undo)
        undo->enableUndoRegistration();
}

QString Record::packagePath() const
{
    if (!managedObjectContext())
        return {};
    return QFileInfo(managedObjectContext()->storePath()).absolutePath();
}

QUrl Record::photoURL() const
{
    const QString package = packagePath();
    if (package.isEmpty())
        return {};
    return QUrl::fromLocalFile(QDir(package).filePath(QStringLiteral("Thumbnails/") + recordIDText()));
}

QImage Record::photoImg() const
{
    const QUrl url = photoURL();
    if (!url.isLocalFile())
        return {};
    QImageReader reader(url.toLocalFile());
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

QStringList Record::tagArray() const
{
    const QString t = tags();
    if (t.isEmpty())
        return {};
    return t.split(QLatin1Char(','));
}
