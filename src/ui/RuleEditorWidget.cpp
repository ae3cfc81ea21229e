#include "ui/RuleEditorWidget.h"

#include "navigation/RecordLabels.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDoubleValidator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

RuleEditorWidget::RuleEditorWidget(QWidget *parent)
    : QWidget(parent)
    , m_lines(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("ruleEditor"));
    m_lines->setContentsMargins(0, 0, 0, 0);
    m_lines->setSpacing(4);
}

void RuleEditorWidget::setModel(RuleEditorModel *model)
{
    m_model = model;
    rebuild();
}

std::vector<RuleEditorModel::Row> &RuleEditorWidget::rowsOf(const Path &groupPath)
{
    std::vector<Row> *rows = &m_model->rows;
    for (int i : groupPath)
        rows = &(*rows)[size_t(i)].rows;
    return *rows;
}

RuleEditorModel::Row &RuleEditorWidget::rowAt(const Path &path)
{
    return rowsOf(Path(path.begin(), path.end() - 1))[size_t(path.back())];
}

void RuleEditorWidget::rebuild()
{
    while (QLayoutItem *item = m_lines->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (!m_model)
        return;
    if (m_model->rows.empty())
        m_model->rows.push_back(RuleEditorModel::newRule());
    m_lines->addWidget(matchLine({}, 0));
    addLines(m_lines, {}, 1);
    m_lines->addStretch(1);
}

void RuleEditorWidget::addLines(QVBoxLayout *layout, const Path &groupPath, int depth)
{
    const std::vector<Row> &rows = rowsOf(groupPath);
    for (int i = 0; i < int(rows.size()); ++i) {
        Path path = groupPath;
        path.push_back(i);
        if (rows[size_t(i)].kind == Row::Kind::Group) {
            layout->addWidget(matchLine(path, depth));
            addLines(layout, path, depth + 1);
        } else {
            layout->addWidget(ruleLine(path, depth));
        }
    }
}

QWidget *RuleEditorWidget::matchLine(const Path &groupPath, int depth)
{
    auto *line = new QWidget;
    auto *h = new QHBoxLayout(line);
    h->setContentsMargins(depth * 24, 0, 0, 0);
    auto *match = new QComboBox;
    match->setObjectName(QStringLiteral("matchPopup"));
    match->addItem(RuleEditorModel::matchTitle(RuleEditorModel::Match::Any));
    match->addItem(RuleEditorModel::matchTitle(RuleEditorModel::Match::All));
    RuleEditorModel::Match &value = groupPath.empty() ? m_model->match : rowAt(groupPath).match;
    match->setCurrentIndex(value == RuleEditorModel::Match::Any ? 0 : 1);
    connect(match, &QComboBox::activated, this, [this, groupPath](int index) {
        RuleEditorModel::Match &m = groupPath.empty() ? m_model->match : rowAt(groupPath).match;
        m = index == 0 ? RuleEditorModel::Match::Any : RuleEditorModel::Match::All;
    });
    h->addWidget(new QLabel(groupPath.empty() ? tr("Match") : tr("Where")));
    h->addWidget(match);
    h->addWidget(new QLabel(tr("of the following are true")));
    h->addStretch(1);
    if (!groupPath.empty()) {
        auto *removeGroup = new QToolButton;
        removeGroup->setText(QStringLiteral("−"));
        removeGroup->setToolTip(tr("Remove this group"));
        connect(removeGroup, &QToolButton::clicked, this, [this, groupPath] { remove(groupPath); });
        h->addWidget(removeGroup);
    }
    return line;
}

QWidget *RuleEditorWidget::ruleLine(const Path &path, int depth)
{
    auto *line = new QWidget;
    line->setObjectName(QStringLiteral("ruleLine"));
    auto *h = new QHBoxLayout(line);
    h->setContentsMargins(depth * 24, 0, 0, 0);
    Row &row = rowAt(path);
    if (row.kind == Row::Kind::Other) {
        // Kept as read: shown as its text, removable, not editable here.
        auto *text = new QLabel(row.other.description());
        text->setToolTip(tr("This rule cannot be edited here; it is kept as it is."));
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        h->addWidget(text, 1);
    } else {
        auto *attribute = new QComboBox;
        attribute->setObjectName(QStringLiteral("attributePopup"));
        for (const RuleEditorModel::AttributeInfo &info : RuleEditorModel::attributes()) {
            attribute->addItem(info.title, int(info.attribute));
            if (info.attribute == row.attribute)
                attribute->setCurrentIndex(attribute->count() - 1);
        }
        auto *op = new QComboBox;
        op->setObjectName(QStringLiteral("operatorPopup"));
        for (RuleEditorModel::Operator o : RuleEditorModel::info(row.attribute).operators) {
            op->addItem(RuleEditorModel::operatorTitle(o), int(o));
            if (o == row.editorOperator())
                op->setCurrentIndex(op->count() - 1);
        }
        connect(attribute, &QComboBox::activated, this, [this, path, attribute] {
            RuleEditorModel::setAttribute(rowAt(path), RuleEditorModel::Attribute(attribute->currentData().toInt()));
            // The operators and the value editor depend on the attribute.
            QTimer::singleShot(0, this, &RuleEditorWidget::rebuild);
        });
        connect(op, &QComboBox::activated, this, [this, path, op] {
            RuleEditorModel::setOperator(rowAt(path), RuleEditorModel::Operator(op->currentData().toInt()));
            QTimer::singleShot(0, this, &RuleEditorWidget::rebuild);
        });
        h->addWidget(attribute);
        h->addWidget(op);
        if (QWidget *value = valueEditor(path))
            h->addWidget(value, 1);
        else
            h->addStretch(1);
    }
    auto *minus = new QToolButton;
    minus->setText(QStringLiteral("−"));
    minus->setToolTip(tr("Remove this rule"));
    auto *plus = new QToolButton;
    plus->setText(QStringLiteral("+"));
    plus->setToolTip(tr("Add a rule"));
    auto *group = new QToolButton;
    group->setText(QStringLiteral("…"));
    group->setToolTip(tr("Add a group of rules"));
    connect(minus, &QToolButton::clicked, this, [this, path] { remove(path); });
    connect(plus, &QToolButton::clicked, this, [this, path] { insertAfter(path, RuleEditorModel::newRule()); });
    connect(group, &QToolButton::clicked, this, [this, path] { insertAfter(path, RuleEditorModel::newGroup()); });
    h->addWidget(minus);
    h->addWidget(plus);
    h->addWidget(group);
    return line;
}

QWidget *RuleEditorWidget::valueEditor(const Path &path)
{
    Row &row = rowAt(path);
    const RuleEditorModel::ValueKind kind = RuleEditorModel::info(row.attribute).kind;
    if (kind == RuleEditorModel::ValueKind::Boolean || row.editorOperator() == RuleEditorModel::Operator::HasNoValue)
        return nullptr;
    if (kind == RuleEditorModel::ValueKind::Date) {
        auto *date = new QDateEdit(row.value.toDate().toLocalTime().date());
        date->setCalendarPopup(true);
        connect(date, &QDateEdit::dateChanged, this,
                [this, path](const QDate &d) { RuleEditorModel::setDateValue(rowAt(path), d); });
        return date;
    }
    if (kind == RuleEditorModel::ValueKind::Label) {
        auto *label = new QComboBox;
        for (int i = 0; i < RecordLabels::count; ++i)
            label->addItem(RecordLabels::name(i), i);
        label->setCurrentIndex(std::clamp(row.valueText().toInt(), 0, RecordLabels::count - 1));
        connect(label, &QComboBox::activated, this,
                [this, path](int index) { RuleEditorModel::setLabelValue(rowAt(path), index); });
        return label;
    }
    auto *edit = new QLineEdit(row.valueText());
    edit->setObjectName(QStringLiteral("valueField"));
    if (kind == RuleEditorModel::ValueKind::Number)
        edit->setValidator(new QDoubleValidator(edit));
    connect(edit, &QLineEdit::textChanged, this, [this, path, edit](const QString &text) {
        const bool ok = RuleEditorModel::setValueText(rowAt(path), text);
        edit->setStyleSheet(ok || text.isEmpty() ? QString() : QStringLiteral("color: #c0392b;"));
    });
    return edit;
}

void RuleEditorWidget::insertAfter(const Path &path, Row row)
{
    std::vector<Row> &rows = rowsOf(Path(path.begin(), path.end() - 1));
    rows.insert(rows.begin() + path.back() + 1, std::move(row));
    QTimer::singleShot(0, this, &RuleEditorWidget::rebuild);
}

void RuleEditorWidget::remove(const Path &path)
{
    std::vector<Row> &rows = rowsOf(Path(path.begin(), path.end() - 1));
    rows.erase(rows.begin() + path.back());
    // A group without rules goes too; the editor always keeps one rule.
    if (rows.empty() && path.size() > 1)
        return remove(Path(path.begin(), path.end() - 1));
    QTimer::singleShot(0, this, &RuleEditorWidget::rebuild);
}
