#include "core/Record.h"

#include "core/Clock.h"
#include "core/EventBus.h"
#include "core/Events.h"
#include "core/RecordNotes.h"
#include "core/WarrantyCalendar.h"
#include "core/store/ManagedObjectContext.h"
#include "core/store/UndoManager.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

const QString kNotes = QStringLiteral("notes");
const QString kCustomField = QStringLiteral("customField");
const QString kFileData = QStringLiteral("fileData");

bool isWarrantyInput(const QString &key)
{
    static const QStringList inputs{QStringLiteral("addon"),
                                    QStringLiteral("purchaseDate"),
                                    QStringLiteral("warrantyLengthIncrement"),
                                    QStringLiteral("warrantyLengthNumber"),
                                    QStringLiteral("xWarrantyLengthIncrement"),
                                    QStringLiteral("xWarrantyLengthNumber")};
    return inputs.contains(key);
}

bool isInsuranceKey(const QString &key)
{
    return key == QLatin1String("insured") || key == QLatin1String("insurancePolicyName")
        || key == QLatin1String("insuranceCoverageName");
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
    static const QStringList events{Events::ControlTextDidBeginEditing, Events::TextDidBeginEditing,
                                    Events::TBXCategoryReqDelayRecordUpdate};
    return events;
}

const QStringList &Record::releasingEvents()
{
    static const QStringList events{Events::ControlTextDidEndEditing, Events::TextDidEndEditing,
                                    Events::TBXCategoryUpdated};
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
    for (const QStringList *names : {&delayingEvents(), &releasingEvents()})
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
    const int index = entity().attributeIndex(key);
    if (index < 0)
        return false;
    QVariant v = key == kNotes ? QVariant(RecordNotes::normalized(value)) : value;
    if (key == kNotes && v.toByteArray().isNull())
        v = QVariant();
    if (!coerce(entity().attributes().at(index).type, v))
        return false;
    const QString accessor = accessorNameForKey(key);

    // The coverage payload describes the change, so it is built before storing.
    QVariantMap insurance{{EventKeys::recAccessorName, accessor}};
    if (key == QLatin1String("insuranceCoverageName")) {
        const QVariant old = ManagedObject::valueForKey(key);
        if (old.isValid())
            insurance.insert(EventKeys::oldCoverageName, old);
        if (v.isValid())
            insurance.insert(EventKeys::newCoverageName, v);
        const QVariant cost = ManagedObject::valueForKey(QStringLiteral("replacementCost"));
        if (cost.isValid())
            insurance.insert(EventKeys::replacementCost, cost);
    }

    if (!set(index, v))
        return false;
    if (isWarrantyInput(key))
        calcWarrLengthRemaining();
    if (!m_delayNotification)
        post(Events::TBXRecordReqUpdate, {{EventKeys::recAccessorName, accessor}});
    // Coverage totals must stay right even while the user is typing.
    if (isInsuranceKey(key))
        post(Events::TBXRecordInsuranceUpdated, insurance);
    return true;
}

bool Record::setValue(const QString &key, const QVariant &value)
{
    if (entity().attributeIndex(key) >= 0)
        return applySetter(key, value);
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
    const QDateTime now = Clock::now();
    const qlonglong n1 = integer(QStringLiteral("warrantyLengthNumber"));
    const qlonglong n2 = integer(QStringLiteral("xWarrantyLengthNumber"));
    // An empty increment is one not chosen yet, like a missing one.
    const QString i1 = text(QStringLiteral("warrantyLengthIncrement"));
    const QString i2 = text(QStringLiteral("xWarrantyLengthIncrement"));
    const QDateTime p = date(QStringLiteral("purchaseDate"));
    const auto later = [](const QDateTime &a, const QDateTime &b) { return a < b ? b : a; };

    if (i1 == WarrantyCalendar::Lifetime || i2 == WarrantyCalendar::Lifetime) {
        setWarrantyLevel(100.0);
        setExpirationDate(QStringLiteral("Lifetime"));
    } else if ((n1 == 0 && n2 == 0) || !p.isValid()) {
        setWarrantyLevel(0.0);
        setExpirationDate(QStringLiteral("0 Days"));
    } else {
        const bool first = n1 != 0 && !i1.isEmpty();
        const bool second = n2 != 0 && !i2.isEmpty();
        // An increment that is none of the units ends the manufacturer's warranty
        // now and adds nothing as an extension.
        const QDateTime base = first ? WarrantyCalendar::add(p, n1, i1).value_or(now) : p;
        QDateTime end = base;
        if (second) {
            const QDateTime start = addon() ? base : p;
            const std::optional<QDateTime> extended = WarrantyCalendar::add(start, n2, i2);
            end = extended ? later(base, *extended) : later(base, now);
        }
        if (first || second) {
            const double daysLeft = double(now.msecsTo(end)) / 1000.0 / 86400.0;
            const double totalDays = double(p.msecsTo(end)) / 1000.0 / 86400.0;
            if (daysLeft <= 0) {
                setWarrantyLevel(0.0);
                setExpirationDate(QStringLiteral("0 Days"));
            } else {
                // A period of no length with days still to come (possible only
                // with negative lengths) counts as wholly left.
                const double share = totalDays > 0 ? daysLeft / totalDays * 100.0 : 100.0;
                const float level = float(std::clamp(share, 0.0, 100.0));
                const double rounded = std::round(daysLeft); // halves away from zero
                const int days = int(std::min(rounded, double(INT_MAX)));
                setWarrantyLevel(double(level));
                setExpirationDate(QStringLiteral("%1 Days").arg(days));
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
