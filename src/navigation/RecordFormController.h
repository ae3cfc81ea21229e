#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>

class ManagedObject;
class ManagedObjectContext;
class Record;
class TBXDateFormatter;
class TBXNumberFormatter;

// The record form's state: the record it shows (the first of the selection),
// one entry per field with its value as stored and as shown, and the lists its
// pop-ups choose from. The form renders this state and hands every edit to
// apply(), which stores it through the record's setter and saves, as after any
// user operation. A new field of the form is a new row of the field table here.
class RecordFormController : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Text, Number, Date, Choice, Boolean, Level };

    struct Field
    {
        QString key;
        Kind kind = Kind::Text;
        // Derived fields (the warranty left, the date added) are shown, never edited.
        bool editable = true;
        // A choice that also takes a name the list does not hold yet.
        bool openChoice = false;
        // Decimals shown for a number: prices have two, counts none.
        int fractionDigits = 0;
        // As stored; invalid for no value.
        QVariant value;
        // As shown: numbers and dates in the chosen formats, the notes as HTML.
        QString text;
        // A record is shown and the field is editable.
        bool enabled = false;
    };

    struct CustomFieldValue
    {
        QString name;
        QString value;
    };

    explicit RecordFormController(ManagedObjectContext *context, QObject *parent = nullptr);
    ~RecordFormController() override;

    // The record shown; none when nothing is selected or it was deleted.
    Record *record() const;
    int selectionCount() const { return m_selectionCount; }
    void showRecords(const QList<ManagedObject *> &records);

    const QList<Field> &fields() const { return m_fields; }
    // Null for a key the form does not have.
    const Field *field(const QString &key) const;
    // What a choice field offers; empty for the other kinds.
    QStringList choices(const QString &key) const { return m_choices.value(key); }
    const QList<CustomFieldValue> &customFieldValues() const { return m_customFieldValues; }
    const QImage &picture() const { return m_picture; }
    // The display format of dates, for date pickers.
    QString dateFormat() const;

    // Stores a field's new value and saves. Number fields take a number, or text
    // in the chosen number format (empty text clears); date fields a QDateTime, or
    // a QDate, which changes the day and keeps the record's time of day; an
    // invalid value clears any field. False when nothing was stored: no record, a
    // field that is unknown or derived, a value that is refused or already stored.
    bool apply(const QString &key, const QVariant &value);
    // The value of the record's custom field in that row of customFieldValues().
    bool applyCustomFieldValue(int row, const QString &value);

    // Reads the record and the reference lists again.
    void reload();

signals:
    // The fields, choices and custom field values were read again.
    void changed();

private:
    // The value as the record's setter takes it, or none when it cannot be one.
    std::optional<QVariant> normalized(const Field &field, const QVariant &value) const;
    // Whether a value may be stored at all; every value is accepted so far.
    bool validate(const QString &key, const QVariant &value) const;
    QString textOf(const Field &field) const;
    void reloadChoices(const Record &record);

    ManagedObjectContext *m_context;
    std::unique_ptr<TBXDateFormatter> m_dates;
    std::unique_ptr<TBXNumberFormatter> m_numbers;
    ManagedObject *m_record = nullptr;
    int m_selectionCount = 0;
    QList<Field> m_fields;
    QHash<QString, QStringList> m_choices;
    QList<CustomFieldValue> m_customFieldValues;
    QList<ManagedObject *> m_customFieldObjects;
    QImage m_picture;
};
