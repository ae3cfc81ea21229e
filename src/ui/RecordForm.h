#pragma once

#include <QPointer>
#include <QScrollArea>

#include <functional>

class ConditionLevelControl;
class LabelColorPicker;
class ManagedObject;
class ManagedObjectContext;
class NoRecordSelectedController;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSpinBox;
class QTableWidget;
class QTextEdit;
class Record;
class TBXDateFormatter;
class TBXNumberFormatter;

// The record form in the detail area: every field of the selected record,
// edited in place through the record's setters and saved after each edit.
// With several records selected it shows and edits the first of them.
class RecordForm : public QScrollArea
{
    Q_OBJECT

public:
    RecordForm(ManagedObjectContext *context, NoRecordSelectedController *noRecordSelected, QWidget *parent = nullptr);
    ~RecordForm() override;

    Record *record() const;
    void showRecords(const QList<ManagedObject *> &records);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildDetails();
    QWidget *buildPurchase();
    QWidget *buildWarranty();
    QWidget *buildInsurance();
    QWidget *buildExtras();
    QLineEdit *lineEdit(const QString &key, const QString &objectName = {});
    QComboBox *namePopup(const QString &key, bool editable);
    QWidget *priceEditor(const QString &key, const QString &currencyKey);
    QWidget *warrantyEditor(const QString &numberKey, const QString &incrementKey);

    // Stores a value through the record's setter and saves.
    void apply(const QString &key, const QVariant &value);
    void load();
    void reloadChoices();
    void setControlsEnabled(bool enabled);

    ManagedObjectContext *m_context;
    QPointer<QWidget> m_content;
    QLabel *m_emptyLabel = nullptr;
    QLabel *m_picture = nullptr;
    QLabel *m_selectionNote = nullptr;
    ManagedObject *m_record = nullptr;
    int m_selectionCount = 0;
    bool m_loading = false;
    // Each field reloads itself from the record.
    QList<std::function<void(const Record &)>> m_loaders;
    // Pop-ups whose choices come from the reference lists: key -> (entity, name key).
    QList<std::tuple<QComboBox *, QString, QString>> m_choiceLists;
    QList<QComboBox *> m_currencyPopups;
    QComboBox *m_policy = nullptr;
    QComboBox *m_coverage = nullptr;
    QTextEdit *m_notes = nullptr;
    QTableWidget *m_customFields = nullptr;
    QProgressBar *m_warrantyLevel = nullptr;
    std::unique_ptr<TBXDateFormatter> m_dates;
    std::unique_ptr<TBXNumberFormatter> m_numbers;
};
