#include "ui/RecordForm.h"

#include "core/AttributeLimits.h"
#include "core/EventBus.h"
#include "core/Events.h"
#include "core/Record.h"
#include "core/TBXDateFormatter.h"
#include "core/TBXNumberFormatter.h"
#include "core/WarrantyCalendar.h"
#include "core/store/ManagedObjectContext.h"
#include "core/store/SaveFailureConvention.h"
#include "navigation/NoRecordSelectedController.h"
#include "navigation/SelectedAssets.h"
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

bool sameValue(const QVariant &a, const QVariant &b)
{
    return a.isValid() == b.isValid() && (!a.isValid() || a == b);
}

QString currencyLongForm(const ManagedObject *currency)
{
    const QString symbol = currency->valueForKey(QStringLiteral("currencySymbol")).toString();
    const QString code = currency->valueForKey(QStringLiteral("currencyName")).toString();
    if (!symbol.isEmpty() && !code.isEmpty())
        return QStringLiteral("%1 - %2").arg(symbol, code);
    return symbol.isEmpty() ? code : symbol;
}

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

RecordForm::RecordForm(ManagedObjectContext *context, NoRecordSelectedController *noRecordSelected, QWidget *parent)
    : QScrollArea(parent)
    , m_context(context)
    , m_dates(std::make_unique<TBXDateFormatter>())
    , m_numbers(std::make_unique<TBXNumberFormatter>())
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
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("recordPicture"));
    m_picture->setFixedSize(84, 84);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setFrameShape(QFrame::StyledPanel);
    header->addWidget(m_picture);
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
    m_loaders.append([this](const Record &r) {
        const QImage image = r.photoImg();
        m_picture->setPixmap(image.isNull() ? QPixmap()
                                            : QPixmap::fromImage(image.scaled(80, 80, Qt::KeepAspectRatio,
                                                                              Qt::SmoothTransformation)));
        m_picture->setText(image.isNull() ? tr("No\nPicture") : QString());
    });

    layout->addWidget(buildDetails());
    layout->addWidget(buildPurchase());
    layout->addWidget(buildWarranty());
    layout->addWidget(buildInsurance());
    layout->addWidget(buildExtras());
    layout->addStretch(1);
    setWidget(content);

    EventBus &bus = EventBus::instance();
    for (const QString &name : {Events::TBXRecordListSelectionChanged, Events::TBXImageBrowserSelectionChanged})
        bus.observe(this, name, [this](const Event &e) {
            showRecords(SelectedAssets::fromVariant(e.userInfo.value(EventKeys::selectedAssets)));
        });
    bus.observe(this, Events::TBXRecordReqUpdate, [this](const Event &e) {
        if (e.object == m_record)
            load();
    });
    for (const QString &name : {Events::TBXDateFormatUpdated, Events::TBXDecimalFormatUpdated,
                                Events::TBXThumbnailControllerReqRefresh, Events::TBXDestructionControllerReqRefresh})
        bus.observe(this, name, [this](const Event &) { load(); });
    connect(noRecordSelected, &NoRecordSelectedController::controlsEnabledChanged, this,
            &RecordForm::setControlsEnabled);
    setControlsEnabled(noRecordSelected->controlsEnabled());
}

RecordForm::~RecordForm()
{
    EventBus::instance().remove(this);
}

Record *RecordForm::record() const
{
    Record *r = Record::from(m_record);
    return r && !r->isDeleted() ? r : nullptr;
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
        apply(QStringLiteral("notes"), m_notes->toPlainText().isEmpty() ? QVariant() : QVariant(m_notes->toHtml().toUtf8()));
    }
    return QScrollArea::eventFilter(watched, event);
}

void RecordForm::showRecords(const QList<ManagedObject *> &records)
{
    m_record = records.isEmpty() ? nullptr : records.first();
    m_selectionCount = int(records.size());
    load();
}

void RecordForm::reloadChoices()
{
    for (const auto &[box, entity, nameKey] : std::as_const(m_choiceLists)) {
        QStringList names;
        for (const ManagedObject *o : m_context->executeFetchRequest({entity, Predicate(), {}, 0}))
            names.append(o->valueForKey(nameKey).toString());
        names.sort(Qt::CaseInsensitive);
        box->clear();
        box->addItems(names);
    }
    QStringList currencies;
    for (const ManagedObject *c : m_context->executeFetchRequest({QStringLiteral("Currency"), Predicate(), {}, 0}))
        currencies.append(currencyLongForm(c));
    for (QComboBox *box : std::as_const(m_currencyPopups)) {
        box->clear();
        box->addItems(currencies);
    }
}

void RecordForm::load()
{
    Record *r = record();
    m_loading = true;
    if (r) {
        reloadChoices();
        for (const auto &loader : std::as_const(m_loaders))
            loader(*r);
    }
    m_selectionNote->setText(m_selectionCount > 1 ? tr("Showing the first of %1 selected records").arg(m_selectionCount)
                                                  : QString());
    m_loading = false;
    if (!r && m_selectionCount > 0)
        m_selectionCount = 0;
}

void RecordForm::apply(const QString &key, const QVariant &value)
{
    Record *r = record();
    if (!r || m_loading || sameValue(r->valueForKey(key), value))
        return;
    // The controls keep to the limits; a value beyond them stores nothing, and
    // the field shows the stored value again.
    if (!AttributeLimits::check(Record::Entity, key, value).isEmpty()) {
        load();
        return;
    }
    r->setValue(key, value);
    SaveFailureConvention::commitChanges(*m_context, r);
}

QLineEdit *RecordForm::lineEdit(const QString &key, const QString &objectName)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(objectName.isEmpty() ? key + QStringLiteral("Field") : objectName);
    connect(edit, &QLineEdit::editingFinished, this, [this, edit, key] { apply(key, edit->text()); });
    m_loaders.append([edit, key](const Record &r) {
        if (!edit->hasFocus())
            edit->setText(r.valueForKey(key).toString());
    });
    return edit;
}

QComboBox *RecordForm::namePopup(const QString &key, bool editable)
{
    auto *box = new QComboBox;
    box->setObjectName(key + QStringLiteral("Popup"));
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(6);
    if (editable)
        connect(box->lineEdit(), &QLineEdit::editingFinished, this, [this, box, key] { apply(key, box->currentText()); });
    connect(box, &QComboBox::activated, this, [this, box, key] { apply(key, box->currentText()); });
    m_loaders.append([box, key](const Record &r) {
        if (!box->hasFocus())
            showText(box, r.valueForKey(key).toString());
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
    auto *currency = new QComboBox;
    currency->setObjectName(currencyKey + QStringLiteral("Popup"));
    currency->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    currency->setMinimumContentsLength(7);
    m_currencyPopups.append(currency);
    h->addWidget(amount, 1);
    h->addWidget(currency);
    connect(amount, &QLineEdit::editingFinished, this, [this, amount, key] {
        const QString text = amount->text().trimmed();
        if (text.isEmpty()) {
            apply(key, QVariant());
            return;
        }
        if (const std::optional<double> v = m_numbers->numberFromString(text)) {
            apply(key, *v);
            amount->setText(m_numbers->stringFromNumber(*v));
        } else if (Record *r = record()) {
            // Not a number in the chosen format: the field shows the stored price again.
            const QVariant stored = r->valueForKey(key);
            amount->setText(stored.isValid() ? m_numbers->stringFromNumber(stored.toDouble()) : QString());
        }
    });
    connect(currency, &QComboBox::activated, this,
            [this, currency, currencyKey] { apply(currencyKey, currency->currentText()); });
    m_loaders.append([this, amount, currency, key, currencyKey](const Record &r) {
        const QVariant v = r.valueForKey(key);
        if (!amount->hasFocus())
            amount->setText(v.isValid() ? m_numbers->stringFromNumber(v.toDouble()) : QString());
        showText(currency, r.valueForKey(currencyKey).toString());
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
    auto *increment = new QComboBox;
    increment->setObjectName(incrementKey + QStringLiteral("Popup"));
    increment->addItems(WarrantyCalendar::increments());
    h->addWidget(number);
    h->addWidget(increment, 1);
    connect(number, &QSpinBox::valueChanged, this, [this, numberKey](int v) { apply(numberKey, v); });
    connect(increment, &QComboBox::activated, this,
            [this, increment, incrementKey] { apply(incrementKey, increment->currentText()); });
    m_loaders.append([number, increment, numberKey, incrementKey](const Record &r) {
        number->setValue(int(r.valueForKey(numberKey).toLongLong()));
        showText(increment, r.valueForKey(incrementKey).toString());
    });
    return row;
}

QWidget *RecordForm::buildDetails()
{
    auto *box = new QGroupBox(tr("Details"));
    auto *form = new QFormLayout(box);
    QComboBox *manufacturer = namePopup(QStringLiteral("manufacturer"), true);
    m_choiceLists.append({manufacturer, QStringLiteral("Manufacturer"), QStringLiteral("manufacturerName")});
    form->addRow(tr("Manufacturer:"), manufacturer);
    form->addRow(tr("Model:"), lineEdit(QStringLiteral("model")));
    form->addRow(tr("Serial Number:"), lineEdit(QStringLiteral("serialNumber")));
    form->addRow(tr("Barcode:"), lineEdit(QStringLiteral("barcode")));
    QComboBox *category = namePopup(QStringLiteral("category"), false);
    m_choiceLists.append({category, QStringLiteral("Category"), QStringLiteral("categoryName")});
    // The source list follows a record into its new category.
    connect(category, &QComboBox::activated, this, [category] {
        EventBus::instance().post(Events::TBXRefreshRequestOfSourceColumn, category,
                                  {{EventKeys::sender, QStringLiteral("InterfaceControls")},
                                   {EventKeys::method, QStringLiteral("catPopupCommitted")},
                                   {EventKeys::newCategory, category->currentText()}});
    });
    form->addRow(tr("Category:"), category);
    QComboBox *location = namePopup(QStringLiteral("location"), false);
    m_choiceLists.append({location, QStringLiteral("Location"), QStringLiteral("locationName")});
    form->addRow(tr("Location:"), location);
    auto *condition = new ConditionLevelControl;
    condition->setObjectName(QStringLiteral("conditionControl"));
    connect(condition, &ConditionLevelControl::levelChosen, this, [this](int level) { apply(QStringLiteral("condition"), level); });
    m_loaders.append([condition](const Record &r) { condition->setLevel(int(r.condition())); });
    form->addRow(tr("Condition:"), condition);
    auto *label = new LabelColorPicker;
    label->setObjectName(QStringLiteral("labelPicker"));
    connect(label, &LabelColorPicker::labelChosen, this, [this](int l) { apply(QStringLiteral("labelIndex"), l); });
    m_loaders.append([label](const Record &r) { label->setLabel(int(r.labelIndex())); });
    form->addRow(tr("Label:"), label);
    auto *quantity = new QSpinBox;
    quantity->setObjectName(QStringLiteral("recordQtyField"));
    quantity->setRange(0, AttributeLimits::maximumQuantity);
    quantity->setKeyboardTracking(false);
    connect(quantity, &QSpinBox::valueChanged, this, [this](int v) { apply(QStringLiteral("recordQty"), v); });
    m_loaders.append([quantity](const Record &r) { quantity->setValue(int(r.recordQty())); });
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
        Record *r = record();
        if (!r)
            return;
        if (date->date() == kNoDate) {
            apply(QStringLiteral("purchaseDate"), QVariant());
            return;
        }
        // The day changes; the time of day the record had stays.
        const QTime time = r->purchaseDate().isValid() ? r->purchaseDate().toLocalTime().time() : QTime(0, 0);
        apply(QStringLiteral("purchaseDate"), QDateTime(date->date(), time).toUTC());
    };
    connect(date, &QDateEdit::editingFinished, this, commitDate);
    connect(date->calendarWidget(), &QCalendarWidget::clicked, this, commitDate);
    connect(clear, &QToolButton::clicked, this, [this, date] {
        date->setDate(kNoDate);
        apply(QStringLiteral("purchaseDate"), QVariant());
    });
    m_loaders.append([this, date](const Record &r) {
        date->setDisplayFormat(m_dates->dateFormat());
        if (!date->hasFocus())
            date->setDate(r.purchaseDate().isValid() ? r.purchaseDate().toLocalTime().date() : kNoDate);
    });
    form->addRow(tr("Date:"), dateRow);
    form->addRow(tr("Price:"), priceEditor(QStringLiteral("purchasePrice"), QStringLiteral("currency")));
    form->addRow(tr("Replacement:"), priceEditor(QStringLiteral("replacementCost"), QStringLiteral("replacementCurrency")));
    QComboBox *payment = namePopup(QStringLiteral("paymentMethod"), false);
    m_choiceLists.append({payment, QStringLiteral("PaymentMethod"), QStringLiteral("methodName")});
    form->addRow(tr("Payment:"), payment);
    QComboBox *vendor = namePopup(QStringLiteral("vendorName"), true);
    m_choiceLists.append({vendor, QStringLiteral("Vendor"), QStringLiteral("vendorName")});
    form->addRow(tr("Vendor:"), vendor);
    auto *added = new QLabel;
    m_loaders.append([this, added](const Record &r) {
        added->setText(r.dateAdded().isValid() ? m_dates->stringFromDate(r.dateAdded().toLocalTime()) : QString());
    });
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
    m_loaders.append([addon](const Record &r) { addon->setChecked(r.addon()); });
    form->addRow(QString(), addon);
    m_warrantyLevel = new QProgressBar;
    m_warrantyLevel->setObjectName(QStringLiteral("warrantyLevelBar"));
    m_warrantyLevel->setRange(0, 100);
    auto *left = new QLabel;
    m_loaders.append([this, left](const Record &r) {
        m_warrantyLevel->setValue(qRound(r.warrantyLevel()));
        left->setText(r.expirationDate());
    });
    form->addRow(tr("Remaining:"), m_warrantyLevel);
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
    m_loaders.append([insured](const Record &r) { insured->setChecked(r.insured()); });
    form->addRow(QString(), insured);
    m_policy = namePopup(QStringLiteral("insurancePolicyName"), false);
    m_choiceLists.append({m_policy, QStringLiteral("InsurancePolicy"), QStringLiteral("policyName")});
    form->addRow(tr("Policy:"), m_policy);
    m_coverage = namePopup(QStringLiteral("insuranceCoverageName"), false);
    // The coverages of the chosen policy.
    m_loaders.prepend([this](const Record &r) {
        m_coverage->clear();
        for (const ManagedObject *policy : m_context->executeFetchRequest({QStringLiteral("InsurancePolicy"), Predicate(), {}, 0}))
            if (policy->valueForKey(QStringLiteral("policyName")).toString() == r.insurancePolicyName())
                for (const QVariant &c : policy->valueForKey(QStringLiteral("coverage")).toList())
                    m_coverage->addItem(c.value<ManagedObject *>()->valueForKey(QStringLiteral("coverageName")).toString());
    });
    form->addRow(tr("Coverage:"), m_coverage);
    return box;
}

QWidget *RecordForm::buildExtras()
{
    auto *box = new QGroupBox(tr("Custom Fields and Notes"));
    auto *v = new QVBoxLayout(box);
    m_customFields = new QTableWidget(0, 2);
    m_customFields->setObjectName(QStringLiteral("customFieldTable"));
    m_customFields->setHorizontalHeaderLabels({tr("Field"), tr("Value")});
    m_customFields->horizontalHeader()->setStretchLastSection(true);
    m_customFields->verticalHeader()->hide();
    m_customFields->setMaximumHeight(110);
    connect(m_customFields, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (m_loading || item->column() != 1)
            return;
        auto *field = item->data(Qt::UserRole).value<ManagedObject *>();
        if (field && field->valueForKey(QStringLiteral("cfTextField")).toString() != item->text()) {
            field->setValue(QStringLiteral("cfTextField"), item->text());
            SaveFailureConvention::commitChanges(*m_context, field);
        }
    });
    m_loaders.append([this](const Record &r) {
        m_customFields->setRowCount(0);
        for (const QVariant &v : r.valueForKey(QStringLiteral("customField")).toList()) {
            auto *field = v.value<ManagedObject *>();
            const int row = m_customFields->rowCount();
            m_customFields->insertRow(row);
            auto *name = new QTableWidgetItem(field->valueForKey(QStringLiteral("cfName")).toString());
            name->setFlags(Qt::ItemIsEnabled);
            auto *value = new QTableWidgetItem(field->valueForKey(QStringLiteral("cfTextField")).toString());
            value->setData(Qt::UserRole, QVariant::fromValue(field));
            m_customFields->setItem(row, 0, name);
            m_customFields->setItem(row, 1, value);
        }
    });
    v->addWidget(m_customFields);
    m_notes = new QTextEdit;
    m_notes->setObjectName(QStringLiteral("notesField"));
    m_notes->setAcceptRichText(true);
    m_notes->setPlaceholderText(tr("Notes"));
    m_notes->setMinimumHeight(90);
    m_notes->installEventFilter(this);
    m_loaders.append([this](const Record &r) {
        if (m_notes->hasFocus())
            return;
        const QByteArray notes = r.notes();
        m_notes->setHtml(notes.isNull() ? QString() : QString::fromUtf8(notes));
        m_notes->document()->setModified(false);
    });
    v->addWidget(m_notes);
    return box;
}
