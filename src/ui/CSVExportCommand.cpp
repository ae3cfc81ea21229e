#include "ui/CSVExportCommand.h"

#include "base/TBXRunAlertPanel.h"
#include "exchange/CSVImportExport.h"
#include "store/ArrayController.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QFileDialog>
#include <QLocale>
#include <QMenu>

#include <algorithm>

CSVExportCommand::CSVExportCommand(MainWindow *window, ArrayController *records)
    : QObject(window)
    , m_window(window)
    , m_records(records)
    , m_action(new QAction(tr("CSV..."), this))
{
    m_action->setObjectName(QStringLiteral("exportCSVAction"));
    connect(m_action, &QAction::triggered, this, &CSVExportCommand::exportCSVMenu);
    QMenu *file = window->menuNamed(QStringLiteral("fileMenu"));
    if (!file)
        return;
    auto *exportMenu = new QMenu(tr("Export"), file);
    exportMenu->setObjectName(QStringLiteral("exportMenu"));
    exportMenu->addAction(m_action);
    // Above the separator before Quit.
    const QList<QAction *> actions = file->actions();
    const auto quit = std::find_if(actions.cbegin(), actions.cend(),
                                   [](const QAction *a) { return a->menuRole() == QAction::QuitRole; });
    QAction *before = quit == actions.cend() ? nullptr : *quit;
    if (before && quit != actions.cbegin() && (*(quit - 1))->isSeparator())
        before = *(quit - 1);
    file->insertMenu(before, exportMenu);
}

void CSVExportCommand::exportCSVMenu()
{
    QFileDialog dialog(m_window, tr("Select destination for CSV file"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(tr("CSV files (*.csv)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    exportTo(dialog.selectedFiles().first());
}

bool CSVExportCommand::exportTo(const QString &chosen)
{
    // The selection in the list's order, whatever order it was made in.
    QList<int> rows = m_records->selectionIndexes();
    std::sort(rows.begin(), rows.end());
    QList<ManagedObject *> records;
    const QList<ManagedObject *> arranged = m_records->arrangedObjects();
    for (int row : rows)
        if (row >= 0 && row < arranged.size())
            records.append(arranged.at(row));
    QString error;
    if (CSVImportExport::exportRecords(chosen, records, QLocale::system(), &error))
        return true;
    TBXRunAlertPanel::runWarning(tr("The CSV file was not written"), error, tr("OK"));
    return false;
}
