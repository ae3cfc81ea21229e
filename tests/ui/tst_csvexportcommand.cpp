#include "../navigation/NavigationTestSupport.h"

#include "base/ScriptedAlertPresenter.h"
#include "base/TBXRunAlertPanel.h"
#include "store/ArrayController.h"
#include "ui/CSVExportCommand.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

using namespace NavigationTestSupport;

// File > Export > CSV...: the selected records in the list's order; an alert when
// the file cannot be written.
class TestCSVExportCommand : public QObject
{
    Q_OBJECT

private slots:
    void exportsTheSelection()
    {
        TestLibrary lib;
        QList<ManagedObject *> records;
        for (const char *item : { "Anvil", "Bell", "Clock" })
            records.append(lib.record({ { "item", item }, { "purchaseDate", QVariant() } }));
        ArrayController list(lib.context.get(), QStringLiteral("Record"));
        list.setContent(records);
        list.setSelectionIndexes({ 2, 0 }); // selected from the bottom up

        MainWindow window;
        CSVExportCommand command(&window, &list);
        QMenu *exportMenu = window.menuNamed(QStringLiteral("fileMenu"))->findChild<QMenu *>("exportMenu");
        QVERIFY(exportMenu);
        QCOMPARE(exportMenu->actions(), QList<QAction *> { command.action() });

        ScriptedAlertPresenter alerts;
        TBXRunAlertPanel::setPresenter(&alerts);
        QTemporaryDir dir;
        QVERIFY(command.exportTo(dir.filePath("out")));
        QFile file(dir.filePath("out.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 4); // titles, two records, nothing after the last line feed
        QVERIFY(lines.at(1).startsWith(",,Anvil,"));
        QVERIFY(lines.at(2).startsWith(",,Clock,"));
        QVERIFY(alerts.alerts().isEmpty());

        // A folder that does not exist: an alert naming the file, no file.
        QVERIFY(!command.exportTo(dir.filePath("missing/out")));
        QCOMPARE(alerts.alerts().size(), 1);
        QVERIFY(alerts.alerts().first().message.contains(dir.filePath("missing/out.csv")));
        TBXRunAlertPanel::setPresenter(nullptr);
    }
};

QTEST_MAIN(TestCSVExportCommand)
#include "tst_csvexportcommand.moc"
