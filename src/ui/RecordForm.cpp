#include "ui/RecordForm.h"

#include "core/AttributeLimits.h"
#include "navigation/NoRecordSelectedController.h"
#include "navigation/RecordFormController.h"
#include "ui/ConditionLevelControl.h"
#include "ui/LabelColorPicker.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The earliest date of the date field stands for "no date".
const QDate kNoDate(1900, 1, 1);

// Sets a pop-up's text, adding it when the list does not hold it.
void showText(QComboBox *box, const QString &text)
{
    int i = box->findText(text);
    if (i < 0 && !text.isEmpty()) {
        box->addItem(text);
        i = box->count() - 1;
    }
    if (box->isEditable())
        box->setEditText(text);
    box->setCurrentIndex(i);
}

} // namespace

RecordForm::RecordForm(RecordFormController *controller, NoRecordSelectedController *noRecordSelected, QWidget *parent)
    : QScrollArea(parent)
    , m_controller(controller)
{
    setObjectName(QStringLiteral("recordForm"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setMinimumWidth(360);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto *content = new QWidget;
    m_content = content;
    auto *layout = new QVBoxLayout(content);
    m_emptyLabel = new QLabel(tr("No Record Selected"));
    m_emptyLabel->setObjectName(QStringLiteral("noRecordSelectedLabel"));
    m_emptyLabel->setAlignment(Qt::AlignCenter);
    m_emptyLabel->setStyleSheet(QStringLiteral("color: palette(mid); font-size: 15px; padding: 12px;"));
    layout->addWidget(m_emptyLabel);

    auto *header = new QHBoxLayout;
    auto *picture = new QLabel;
    picture->setObjectName(QStringLiteral("recordPicture"));
    picture->setFixedSize(84, 84);
    picture->setAlignment(Qt::AlignCenter);
    picture->setFrameShape(QFrame::StyledPanel);
    header->addWidget(picture);
    auto *titleColumn = new QVBoxLayout;
    QLineEdit *item = lineEdit(QStringLiteral("item"), QStringLiteral("itemNameField"));
    item->setPlaceholderText(tr("Item"));
    QFont big = item->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    item->setFont(big);
    titleColumn->addWidget(item);
    m_selectionNote = new QLabel;
    m_selectionNote->setStyleSheet(QStringLiteral("color: palette(mid);"));
    titleColumn->addWidget(m_selectionNote);
    titleColumn->addStretch(1);
    header->addLayout(titleColumn, 1);
    layout->addLayout(header);
    m_renderers.append([this, picture] {
        const QImage &image = m_controller->picture();
        picture->setPixmap(
            image.isNull() ? QPixmap()
                           : QPixmap::fromImage(image.scaled(80, 80, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        picture->setText(image.isNull() ? tr("No\nPicture") : QString());
    });

    layout->addWidget(buildDetails());
    layout->addWidget(buildPurchase());
    layout->addWidget(buildWarranty());
    layout->addWidget(buildInsurance());
    layout->addWidget(buildExtras());
    layout->addStretch(1);
    setWidget(content);

    connect(m_controller, &RecordFormController::changed, this, &RecordForm::render);
    connect(noRecordSelected, &NoRecordSelectedController::controlsEnabledChanged, this,
            &RecordForm::setControlsEnabled);
    setControlsEnabled(noRecordSelected->controlsEnabled());
    render();
}

RecordForm::~RecordForm() = default;

Record *RecordForm::record() const
{
    return m_controller->record();
}

QVariant RecordForm::value(const QString &key) const
{
    const RecordFormController::Field *field = m_controller->field(key);
    return field ? field->value : QVariant();
}

QString RecordForm::text(const QString &key) const
{
    const RecordFormController::Field *field = m_controller->field(key);
    return field ? field->text : QString();
}

void RecordForm::setControlsEnabled(bool enabled)
{
    // Without a record the fields would show the last one's values: they are
    // disabled and out of sight, and the form says that nothing is selected.
    m_emptyLabel->setVisible(!enabled);
    for (QWidget *child : m_content->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (child != m_emptyLabel) {
            child->setEnabled(enabled);
            child->setVisible(enabled);
        }
    m_notes->setReadOnly(!enabled);
}

bool RecordForm::eventFilter(QObject *watched, QEvent *event)
{
    // The notes are stored when the text view hands the focus on.
    if (watched == m_notes && event->type() == QEvent::FocusOut && m_notes->document()->isModified()) {
        m_notes->document()->setModified(false);
        apply(QStringLiteral("notes"),
              m_notes->toPlainText().isEmpty() ? QVariant() : QVariant(m_notes->toHtml().toUtf8()));
    }
    return QScrollArea::eventFilter(watched, event);
}

void RecordForm::render()
{
    const int count = m_controller->selectionCount();
    m_rendering = true;
    // Without a record the hidden fields keep what they showed.
    if (m_controller->record()) {
        for (const auto &[box, key] : std::as_const(m_choicePopups)) {
            box->clear();
            box->addItems(m_controller->choices(key));
        }
        for (const auto &renderer : std::as_const(m_renderers))
            renderer();
    }
    m_selectionNote->setText(count > 1 ? tr("Showing the first of %1 selected records").arg(count) : QString());
    m_rendering = false;
}

void RecordForm::apply(const QString &key, const QVariant &value)
{
    if (!m_rendering)
        m_controller->apply(key, value);
}

QLineEdit *RecordForm::lineEdit(const QString &key, const QString &objectName)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(objectName.isEmpty() ? key + QStringLiteral("Field") : objectName);
    connect(edit, &QLineEdit::editingFinished, this, [this, edit, key] { apply(key, edit->text()); });
    m_renderers.append([this, edit, key] {
        if (!edit->hasFocus())
            edit->setText(text(key));
    });
    return edit;
}

QComboBox *RecordForm::choicePopup(const QString &key)
{
    auto *box = new QComboBox;
    box->setObjectName(key + QStringLiteral("Popup"));
    m_choicePopups.append({ box, key });
    return box;
}

QComboBox *RecordForm::namePopup(const QString &key, bool editable)
{
    QComboBox *box = choicePopup(key);
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(6);
    if (editable)
        connect(box->lineEdit(), &QLineEdit::editingFinished, this,
                [this, box, key] { apply(key, box->currentText()); });
    connect(box, &QComboBox::activated, this, [this, box, key] { apply(key, box->currentText()); });
    m_renderers.append([this, box, key] {
        if (!box->hasFocus())
            showText(box, text(key));
    });
    return box;
}

QWidget *RecordForm::priceEditor(const QString &key, const QString &currencyKey)
{
    auto *row = new QWidget;
    auto *h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    auto *amount = new QLineEdit;
    amount->setObjectName(key + QStringLiteral("Field"));
    amount->setAlignment(Qt::AlignRight);
    QComboBox *currency = choicePopup(currencyKey);
    currency->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    currency->setMinimumContentsLength(7);
    h->addWidget(amount, 1);
    h->addWidget(currency);
    connect(amount, &QLineEdit::editingFinished, this, [this, amount, key] {
        if (m_rendering || !record())
            return;
        // The field shows the price as stored: formatted, or the former one when
        // the text was not a number in the chosen format.
        m_controller->apply(key, amount->text());
        amount->setText(text(key));
    });
    connect(currency, &QComboBox::activated, this,
            [this, currency, currencyKey] { apply(currencyKey, currency->currentText()); });
    m_renderers.append([this, amount, currency, key, currencyKey] {
        if (!amount->hasFocus())
            amount->setText(text(key));
        showText(currency, text(currencyKey));
    });
    return row;
}

QWidget *RecordForm::warrantyEditor(const QString &numberKey, const QString &incrementKey)
{
    auto *row = new QWidget;
    auto *h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    auto *number = new QSpinBox;
    number->setObjectName(numberKey + QStringLiteral("Field"));
    number->setRange(0, AttributeLimits::maximumWarrantyLength);
    number->setKeyboardTracking(false);
    QComboBox *increment = choicePopup(incrementKey);
    h->addWidget(number);
    h->addWidget(increment, 1);
    connect(number, &QSpinBox::valueChanged, this, [this, numberKey](int v) { apply(numberKey, v); });
    connect(increment, &QComboBox::activated, this,
            [this, increment, incrementKey] { apply(incrementKey, increment->currentText()); });
    m_renderers.append([this, number, increment, numberKey, incrementKey] {
        number->setValue(int(value(numberKey).toLongLong()));
        showText(increment, text(incrementKey));
    });
    return row;
}

QWidget *RecordForm::buildDetails()
{
    auto *box = new QGroupBox(tr("Details"));
    auto *form = new QFormLayout(box);
    form->addRow(tr("Manufacturer:"), namePopup(QStringLiteral("manufacturer"), true));
    form->addRow(tr("Model:"), lineEdit(QStringLiteral("model")));
    form->addRow(tr("Serial Number:"), lineEdit(QStringLiteral("serialNumber")));
    form->addRow(tr("Barcode:"), lineEdit(QStringLiteral("barcode")));
    form->addRow(tr("Category:"), namePopup(QStringLiteral("category"), false));
    form->addRow(tr("Location:"), namePopup(QStringLiteral("location"), false));
    auto *condition = new ConditionLevelControl;
    condition->setObjectName(QStringLiteral("conditionControl"));
    connect(condition, &ConditionLevelControl::levelChosen, this,
            [this](int level) { apply(QStringLiteral("condition"), level); });
    m_renderers.append(
        [this, condition] { condition->setLevel(int(value(QStringLiteral("condition")).toLongLong())); });
    form->addRow(tr("Condition:"), condition);
    auto *label = new LabelColorPicker;
    label->setObjectName(QStringLiteral("labelPicker"));
    connect(label, &LabelColorPicker::labelChosen, this, [this](int l) { apply(QStringLiteral("labelIndex"), l); });
    m_renderers.append([this, label] { label->setLabel(int(value(QStringLiteral("labelIndex")).toLongLong())); });
    form->addRow(tr("Label:"), label);
    auto *quantity = new QSpinBox;
    quantity->setObjectName(QStringLiteral("recordQtyField"));
    quantity->setRange(0, AttributeLimits::maximumQuantity);
    quantity->setKeyboardTracking(false);
    connect(quantity, &QSpinBox::valueChanged, this, [this](int v) { apply(QStringLiteral("recordQty"), v); });
    m_renderers.append([this, quantity] { quantity->setValue(int(value(QStringLiteral("recordQty")).toLongLong())); });
    form->addRow(tr("Quantity:"), quantity);
    QLineEdit *tags = lineEdit(QStringLiteral("tags"));
    tags->setPlaceholderText(tr("tag,another tag"));
    form->addRow(tr("Tags:"), tags);
    return box;
}

QWidget *RecordForm::buildPurchase()
{
    auto *box = new QGroupBox(tr("Purchase"));
    auto *form = new QFormLayout(box);
    auto *dateRow = new QWidget;
    auto *h = new QHBoxLayout(dateRow);
    h->setContentsMargins(0, 0, 0, 0);
    auto *date = new QDateEdit;
    date->setObjectName(QStringLiteral("purchaseDateField"));
    date->setCalendarPopup(true);
    date->setMinimumDate(kNoDate);
    date->setSpecialValueText(tr("None"));
    date->setDate(kNoDate);
    auto *clear = new QToolButton;
    clear->setText(tr("Clear"));
    clear->setToolTip(tr("Remove the purchase date"));
    h->addWidget(date, 1);
    h->addWidget(clear);
    const auto commitDate = [this, date] {
        apply(QStringLiteral("purchaseDate"), date->date() == kNoDate ? QVariant() : QVariant(date->date()));
    };
    connect(date, &QDateEdit::editingFinished, this, commitDate);
    connect(date->calendarWidget(), &QCalendarWidget::clicked, this, commitDate);
    connect(clear, &QToolButton::clicked, this, [this, date] {
        date->setDate(kNoDate);
        apply(QStringLiteral("purchaseDate"), QVariant());
    });
    m_renderers.append([this, date] {
        date->setDisplayFormat(m_controller->dateFormat());
        const QDateTime stored = value(QStringLiteral("purchaseDate")).toDateTime();
        if (!date->hasFocus())
            date->setDate(stored.isValid() ? stored.toLocalTime().date() : kNoDate);
    });
    form->addRow(tr("Date:"), dateRow);
    form->addRow(tr("Price:"), priceEditor(QStringLiteral("purchasePrice"), QStringLiteral("currency")));
    form->addRow(tr("Replacement:"),
                 priceEditor(QStringLiteral("replacementCost"), QStringLiteral("replacementCurrency")));
    form->addRow(tr("Payment:"), namePopup(QStringLiteral("paymentMethod"), false));
    form->addRow(tr("Vendor:"), namePopup(QStringLiteral("vendorName"), true));
    auto *added = new QLabel;
    m_renderers.append([this, added] { added->setText(text(QStringLiteral("dateAdded"))); });
    form->addRow(tr("Added:"), added);
    return box;
}

QWidget *RecordForm::buildWarranty()
{
    auto *box = new QGroupBox(tr("Warranty"));
    auto *form = new QFormLayout(box);
    form->addRow(tr("Manufacturer:"),
                 warrantyEditor(QStringLiteral("warrantyLengthNumber"), QStringLiteral("warrantyLengthIncrement")));
    form->addRow(tr("Extended:"),
                 warrantyEditor(QStringLiteral("xWarrantyLengthNumber"), QStringLiteral("xWarrantyLengthIncrement")));
    auto *addon = new QCheckBox(tr("Extended by the payment method"));
    addon->setObjectName(QStringLiteral("addonField"));
    connect(addon, &QCheckBox::clicked, this, [this](bool on) { apply(QStringLiteral("addon"), on); });
    m_renderers.append([this, addon] { addon->setChecked(value(QStringLiteral("addon")).toBool()); });
    form->addRow(QString(), addon);
    auto *level = new QProgressBar;
    level->setObjectName(QStringLiteral("warrantyLevelBar"));
    level->setRange(0, 100);
    auto *left = new QLabel;
    m_renderers.append([this, level, left] {
        level->setValue(qRound(value(QStringLiteral("warrantyLevel")).toDouble()));
        left->setText(text(QStringLiteral("expirationDate")));
    });
    form->addRow(tr("Remaining:"), level);
    form->addRow(QString(), left);
    return box;
}

QWidget *RecordForm::buildInsurance()
{
    auto *box = new QGroupBox(tr("Insurance"));
    auto *form = new QFormLayout(box);
    auto *insured = new QCheckBox(tr("Insured"));
    insured->setObjectName(QStringLiteral("insuredField"));
    connect(insured, &QCheckBox::clicked, this, [this](bool on) { apply(QStringLiteral("insured"), on); });
    m_renderers.append([this, insured] { insured->setChecked(value(QStringLiteral("insured")).toBool()); });
    form->addRow(QString(), insured);
    form->addRow(tr("Policy:"), namePopup(QStringLiteral("insurancePolicyName"), false));
    // Its choices are the coverages of the chosen policy.
    form->addRow(tr("Coverage:"), namePopup(QStringLiteral("insuranceCoverageName"), false));
    return box;
}

QWidget *RecordForm::buildExtras()
{
    auto *box = new QGroupBox(tr("Custom Fields and Notes"));
    auto *v = new QVBoxLayout(box);
    m_customFields = new QTableWidget(0, 2);
    m_customFields->setObjectName(QStringLiteral("customFieldTable"));
    m_customFields->setHorizontalHeaderLabels({ tr("Field"), tr("Value") });
    m_customFields->horizontalHeader()->setStretchLastSection(true);
    m_customFields->verticalHeader()->hide();
    m_customFields->setMaximumHeight(110);
    connect(m_customFields, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!m_rendering && item->column() == 1)
            m_controller->applyCustomFieldValue(item->row(), item->text());
    });
    m_renderers.append([this] {
        m_customFields->setRowCount(0);
        for (const RecordFormController::CustomFieldValue &field : m_controller->customFieldValues()) {
            const int row = m_customFields->rowCount();
            m_customFields->insertRow(row);
            auto *name = new QTableWidgetItem(field.name);
            name->setFlags(Qt::ItemIsEnabled);
            m_customFields->setItem(row, 0, name);
            m_customFields->setItem(row, 1, new QTableWidgetItem(field.value));
        }
    });
    v->addWidget(m_customFields);
    m_notes = new QTextEdit;
    m_notes->setObjectName(QStringLiteral("notesField"));
    m_notes->setAcceptRichText(true);
    m_notes->setPlaceholderText(tr("Notes"));
    m_notes->setMinimumHeight(90);
    m_notes->installEventFilter(this);
    m_renderers.append([this] {
        if (m_notes->hasFocus())
            return;
        m_notes->setHtml(text(QStringLiteral("notes")));
        m_notes->document()->setModified(false);
    });
    v->addWidget(m_notes);
    return box;
}
