#pragma once

#include <QPointer>
#include <QScrollArea>
#include <QVariant>

#include <functional>

class NoRecordSelectedController;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;
class QTextEdit;
class Record;
class RecordFormController;

// The record form in the detail area: every field of the selected record, as
// the form controller holds them. Edits go to the controller, which stores and
// saves them; with several records selected it shows and edits the first.
class RecordForm : public QScrollArea
{
    Q_OBJECT

public:
    RecordForm(RecordFormController *controller, NoRecordSelectedController *noRecordSelected,
               QWidget *parent = nullptr);
    ~RecordForm() override;

    Record *record() const;

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
    QComboBox *choicePopup(const QString &key);
    QWidget *priceEditor(const QString &key, const QString &currencyKey);
    QWidget *warrantyEditor(const QString &numberKey, const QString &incrementKey);

    // The field's stored value and its text as the controller shows them.
    QVariant value(const QString &key) const;
    QString text(const QString &key) const;
    // Hands an edit to the controller; edits that rendering causes are not the user's.
    void apply(const QString &key, const QVariant &value);
    void render();
    void setControlsEnabled(bool enabled);

    RecordFormController *m_controller;
    QPointer<QWidget> m_content;
    QLabel *m_emptyLabel = nullptr;
    QLabel *m_selectionNote = nullptr;
    bool m_rendering = false;
    // Pop-ups whose items are the controller's choices for their key.
    QList<std::pair<QComboBox *, QString>> m_choicePopups;
    // Each field shows its value from the controller.
    QList<std::function<void()>> m_renderers;
    QTextEdit *m_notes = nullptr;
    QTableWidget *m_customFields = nullptr;
};
