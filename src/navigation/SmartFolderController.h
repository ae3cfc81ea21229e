#pragma once

#include "navigation/RuleEditorModel.h"

#include <QObject>
#include <QString>

#include <functional>

class ManagedObject;
class ManagedObjectContext;

// Adds and edits smart folders through their sheet: a name and a rule editor.
// The sheet widget renders this state and calls the three button actions.
class SmartFolderController : public QObject
{
    Q_OBJECT

public:
    static inline const QString newFolderName = QStringLiteral("Smart Folder");

    explicit SmartFolderController(ManagedObjectContext *context, QObject *parent = nullptr);
    ~SmartFolderController() override;

    void start();

    ManagedObject *selectedFolder() const { return m_selectedFolder; }
    const QString &rowName() const { return m_rowName; }

    bool isSheetOpen() const { return m_sheetOpen; }
    const QString &sheetTitle() const { return m_sheetTitle; }
    const QString &confirmButtonTitle() const { return m_confirmTitle; }
    bool isCancelVisible() const { return m_cancelVisible; }

    // Why Add or Save was refused (the sheet stays open and nothing is
    // stored); empty otherwise.
    const QString &problem() const { return m_problem; }

    // What the sheet edits: the folder's name and rules.
    const QString &folderName() const { return m_name; }
    void setFolderName(const QString &name) { m_name = name; }
    RuleEditorModel &ruleEditor() { return m_rules; }

    // "Ends editing in the sheet": the sheet's editors hand over their text.
    void setEndEditingHandler(std::function<void()> handler) { m_endEditing = std::move(handler); }

    void addSmartFolderMenuAction();
    void handleEditSmartFolder();
    void addEditSmartFolderButtonAction();
    void cancelAddEditSmartFolderButtonAction();

signals:
    void sheetChanged();

private:
    void openSheet();
    void closeSheet();
    void save();
    void handleSelectedSourceNameChanged(const QString &rowName, const QString &rowType);

    ManagedObjectContext *m_context;
    ManagedObject *m_selectedFolder = nullptr;
    QString m_rowName;
    bool m_sheetOpen = false;
    QString m_sheetTitle;
    QString m_confirmTitle = QStringLiteral("Save");
    bool m_cancelVisible = true;
    QString m_name;
    QString m_problem;
    RuleEditorModel m_rules;
    std::function<void()> m_endEditing;
};
