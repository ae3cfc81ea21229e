#pragma once

#include "store/ManagedObject.h"

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QUrl>

// A record of the library: one belonging. Every change of an attribute goes
// through a setter (by name through setValue()) that stores the value, recomputes
// the warranty when a warranty input changed, and posts TBXRecordReqUpdate with
// "recAccessorName" (the setter's name, e.g. "setPurchaseDate") unless the
// record holds its events back. Insurance setters also post
// TBXRecordInsuranceUpdated, always. Events are posted with the record as the
// sender (a ManagedObject pointer).
//
// Hold-back: while any text field or text view is being edited (and from
// TBXCategoryReqDelayRecordUpdate to TBXCategoryUpdated) every record holds its
// events back. New records start held back and stay so until the first event
// that releases them. One class-level registration on the event bus serves all
// live records, however many there are.
class Record : public ManagedObject
{
public:
    static inline const QString Entity = QStringLiteral("Record");

    // Makes the store create Record objects for the Record entity. Idempotent;
    // call before a store opens (the application delegate does).
    static void registerClass();
    // The object as a Record; none when it is something else.
    static Record *from(ManagedObject *object);
    static const Record *from(const ManagedObject *object);

    // The recordID text: the one conversion of a record number to the name of
    // its folder under Files and its thumbnail under Thumbnails (fixed notation,
    // six fraction digits).
    static QString recordIDText(double recordID);
    QString recordIDText() const { return recordIDText(recordID()); }
    // "set" + the key with its first letter in upper case.
    static QString accessorNameForKey(const QString &key);

    // Getters. A missing value reads as 0, false, the empty text or an invalid
    // date; valueForKey() tells missing values apart.
    double recordID() const { return number(QStringLiteral("recordID")); }
    QString item() const { return text(QStringLiteral("item")); }
    QString manufacturer() const { return text(QStringLiteral("manufacturer")); }
    QString model() const { return text(QStringLiteral("model")); }
    QString serialNumber() const { return text(QStringLiteral("serialNumber")); }
    QString barcode() const { return text(QStringLiteral("barcode")); }
    QString category() const { return text(QStringLiteral("category")); }
    QString location() const { return text(QStringLiteral("location")); }
    QString paymentMethod() const { return text(QStringLiteral("paymentMethod")); }
    QString vendorName() const { return text(QStringLiteral("vendorName")); }
    QDateTime purchaseDate() const { return date(QStringLiteral("purchaseDate")); }
    double purchasePrice() const { return number(QStringLiteral("purchasePrice")); }
    QString currency() const { return text(QStringLiteral("currency")); }
    double replacementCost() const { return number(QStringLiteral("replacementCost")); }
    QString replacementCurrency() const { return text(QStringLiteral("replacementCurrency")); }
    qlonglong recordQty() const { return integer(QStringLiteral("recordQty")); }
    qlonglong condition() const { return integer(QStringLiteral("condition")); }
    qlonglong labelIndex() const { return integer(QStringLiteral("labelIndex")); }
    bool insured() const { return ManagedObject::valueForKey(QStringLiteral("insured")).toBool(); }
    QString insurancePolicyName() const { return text(QStringLiteral("insurancePolicyName")); }
    QString insuranceCoverageName() const { return text(QStringLiteral("insuranceCoverageName")); }
    qlonglong warrantyLengthNumber() const { return integer(QStringLiteral("warrantyLengthNumber")); }
    QString warrantyLengthIncrement() const { return text(QStringLiteral("warrantyLengthIncrement")); }
    qlonglong xWarrantyLengthNumber() const { return integer(QStringLiteral("xWarrantyLengthNumber")); }
    QString xWarrantyLengthIncrement() const { return text(QStringLiteral("xWarrantyLengthIncrement")); }
    bool addon() const { return ManagedObject::valueForKey(QStringLiteral("addon")).toBool(); }
    double warrantyLevel() const { return number(QStringLiteral("warrantyLevel")); }
    double warrantyUsed() const { return number(QStringLiteral("warrantyUsed")); }
    QString expirationDate() const { return text(QStringLiteral("expirationDate")); }
    QDateTime dateAdded() const { return date(QStringLiteral("dateAdded")); }
    QString photo() const { return text(QStringLiteral("photo")); }
    QString imageUID() const { return text(QStringLiteral("imageUID")); }
    // The notes archive, normalised (a null array for no notes).
    QByteArray notes() const;
    QString tags() const { return text(QStringLiteral("tags")); }

    // Setters, one per attribute. An invalid QVariant stores no value. False
    // (nothing stored, nothing posted) when the value does not fit the type.
    bool setRecordID(const QVariant &v) { return applySetter(QStringLiteral("recordID"), v); }
    bool setItem(const QVariant &v) { return applySetter(QStringLiteral("item"), v); }
    bool setManufacturer(const QVariant &v) { return applySetter(QStringLiteral("manufacturer"), v); }
    bool setModel(const QVariant &v) { return applySetter(QStringLiteral("model"), v); }
    bool setSerialNumber(const QVariant &v) { return applySetter(QStringLiteral("serialNumber"), v); }
    bool setBarcode(const QVariant &v) { return applySetter(QStringLiteral("barcode"), v); }
    bool setCategory(const QVariant &v) { return applySetter(QStringLiteral("category"), v); }
    bool setLocation(const QVariant &v) { return applySetter(QStringLiteral("location"), v); }
    bool setPaymentMethod(const QVariant &v) { return applySetter(QStringLiteral("paymentMethod"), v); }
    bool setVendorName(const QVariant &v) { return applySetter(QStringLiteral("vendorName"), v); }
    bool setPurchaseDate(const QVariant &v) { return applySetter(QStringLiteral("purchaseDate"), v); }
    bool setPurchasePrice(const QVariant &v) { return applySetter(QStringLiteral("purchasePrice"), v); }
    bool setCurrency(const QVariant &v) { return applySetter(QStringLiteral("currency"), v); }
    bool setReplacementCost(const QVariant &v) { return applySetter(QStringLiteral("replacementCost"), v); }
    bool setReplacementCurrency(const QVariant &v) { return applySetter(QStringLiteral("replacementCurrency"), v); }
    bool setRecordQty(const QVariant &v) { return applySetter(QStringLiteral("recordQty"), v); }
    bool setCondition(const QVariant &v) { return applySetter(QStringLiteral("condition"), v); }
    bool setLabelIndex(const QVariant &v) { return applySetter(QStringLiteral("labelIndex"), v); }
    bool setInsured(const QVariant &v) { return applySetter(QStringLiteral("insured"), v); }
    bool setInsurancePolicyName(const QVariant &v) { return applySetter(QStringLiteral("insurancePolicyName"), v); }
    bool setInsuranceCoverageName(const QVariant &v) { return applySetter(QStringLiteral("insuranceCoverageName"), v); }
    bool setWarrantyLengthNumber(const QVariant &v) { return applySetter(QStringLiteral("warrantyLengthNumber"), v); }
    bool setWarrantyLengthIncrement(const QVariant &v)
    {
        return applySetter(QStringLiteral("warrantyLengthIncrement"), v);
    }
    bool setXWarrantyLengthNumber(const QVariant &v) { return applySetter(QStringLiteral("xWarrantyLengthNumber"), v); }
    bool setXWarrantyLengthIncrement(const QVariant &v)
    {
        return applySetter(QStringLiteral("xWarrantyLengthIncrement"), v);
    }
    bool setAddon(const QVariant &v) { return applySetter(QStringLiteral("addon"), v); }
    bool setWarrantyLevel(const QVariant &v) { return applySetter(QStringLiteral("warrantyLevel"), v); }
    bool setWarrantyUsed(const QVariant &v) { return applySetter(QStringLiteral("warrantyUsed"), v); }
    bool setExpirationDate(const QVariant &v) { return applySetter(QStringLiteral("expirationDate"), v); }
    bool setDateAdded(const QVariant &v) { return applySetter(QStringLiteral("dateAdded"), v); }
    bool setPhoto(const QVariant &v) { return applySetter(QStringLiteral("photo"), v); }
    bool setImageUID(const QVariant &v) { return applySetter(QStringLiteral("imageUID"), v); }
    // Takes any notes archive (or plain text) and stores it normalised.
    bool setNotes(const QVariant &v) { return applySetter(QStringLiteral("notes"), v); }
    bool setTags(const QVariant &v) { return applySetter(QStringLiteral("tags"), v); }

    // Setting by name goes through the setter of that attribute.
    bool setValue(const QString &key, const QVariant &value) override;

    // Adds the derived key notesPlainText (the notes without formatting).
    QVariant valueForKey(const QString &key) const override;
    QString notesPlainText() const;

    // Recomputes warrantyLevel and expirationDate from the warranty inputs and
    // the clock, then posts TBXRecordReqUpdate (no payload) unless held back.
    void calcWarrLengthRemaining();
    // Recomputes every record among `objects`, each with its events held back and
    // without undo steps (the launch and midnight recalculations).
    static void recalculateWarranties(const QList<ManagedObject *> &objects);

    bool delayNotification() const { return m_delayNotification; }
    void setDelayNotification(bool delay) { m_delayNotification = delay; }
    // Sets or clears the hold-back by the event's name (see the class comment).
    void handleDelayNotificationChange(const QString &eventName);
    // The events that set and that clear the hold-back.
    static const QStringList &delayingEvents();
    static const QStringList &releasingEvents();
    // Records now listening to the hold-back events.
    static int registeredRecordCount();

    // The library package holding this record's store.
    QString packagePath() const;
    // Thumbnails/<recordID text> in the package, and the picture there (a null
    // image when there is none or it cannot be read).
    QUrl photoURL() const;
    QImage photoImg() const;
    // The tag names: none for missing or empty tags; otherwise the text split at
    // every "," (not trimmed, so "," gives two empty names).
    QStringList tagArray() const;

    ~Record() override;

protected:
    void awakeFromInsert() override;
    void awakeFromFetch() override;
    void didChangeValueForKey(const QString &key, const QVariant &oldValue) override;
    void didChangeToManyKey(const QString &key, SetMutation mutation, ManagedObject *member) override;
    void prepareForDeletion() override;

private:
    bool applySetter(const QString &key, const QVariant &value);
    bool applySetterAt(int index, const QVariant &value);
    void post(const QString &event, const QVariantMap &userInfo = {}) const;
    void registerForHoldBack();
    static void forwardHoldBackEvent(const QString &eventName);

    QString text(const QString &key) const { return ManagedObject::valueForKey(key).toString(); }
    double number(const QString &key) const { return ManagedObject::valueForKey(key).toDouble(); }
    qlonglong integer(const QString &key) const { return ManagedObject::valueForKey(key).toLongLong(); }
    QDateTime date(const QString &key) const { return ManagedObject::valueForKey(key).toDateTime(); }

    // Live records listening to the hold-back events (an intrusive list).
    Record *m_previousLive = nullptr;
    Record *m_nextLive = nullptr;
    bool m_registered = false;
    bool m_delayNotification = false;
    // Set while a deletion takes the record's members away (no to-many events).
    bool m_deleting = false;
    mutable bool m_notesPlainTextValid = false;
    mutable QString m_notesPlainText;
};
