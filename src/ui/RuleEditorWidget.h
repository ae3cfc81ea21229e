#pragma once

#include "navigation/RuleEditorModel.h"

#include <QWidget>

#include <vector>

class QVBoxLayout;

// The rule editor of the smart folder sheet: "Match any/all of the following",
// then one line per rule (attribute, operator, value) with buttons to remove a
// rule, add one after it, or add a group of rules; groups nest. It edits the
// model it is given directly.
class RuleEditorWidget : public QWidget
{
    Q_OBJECT

public:
    explicit RuleEditorWidget(QWidget *parent = nullptr);

    void setModel(RuleEditorModel *model);
    // Rebuilds the lines from the model.
    void rebuild();

private:
    using Path = std::vector<int>;
    using Row = RuleEditorModel::Row;

    std::vector<Row> &rowsOf(const Path &groupPath);
    Row &rowAt(const Path &path);
    void addLines(QVBoxLayout *layout, const Path &groupPath, int depth);
    QWidget *matchLine(const Path &groupPath, int depth);
    QWidget *ruleLine(const Path &path, int depth);
    QWidget *valueEditor(const Path &path);
    void insertAfter(const Path &path, Row row);
    void remove(const Path &path);

    RuleEditorModel *m_model = nullptr;
    QVBoxLayout *m_lines;
};
