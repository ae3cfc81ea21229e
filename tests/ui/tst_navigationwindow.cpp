#include "../navigation/NavigationTestSupport.h"

#include "base/Events.h"
#include "base/Settings.h"
#include "core/AttributeLimits.h"
#include "navigation/DetailCardColorScheme.h"
#include "navigation/NavigationControllers.h"
#include "navigation/RecordIconModel.h"
#include "navigation/RecordListColumn.h"
#include "navigation/RecordListModel.h"
#include "navigation/SmartFolderController.h"
#include "navigation/SourceListController.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"
#include "ui/EnhancedDetailCard.h"
#include "ui/EnhancedRecordView.h"
#include "ui/MainWindow.h"
#include "ui/NavigationPanes.h"
#include "ui/RecordArea.h"
#include "ui/RecordForm.h"
#include "ui/RecordIconView.h"
#include "ui/RecordListView.h"
#include "ui/SearchField.h"
#include "ui/SmartFolderSheet.h"
#include "ui/SourceListView.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>

using namespace NavigationTestSupport;

// The main window with a library: rows, search, locations, views, the record
// form and the smart folder sheet, driven with the mouse and the keyboard.
class TestNavigationWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> m_lib;
    std::unique_ptr<MainWindow> m_window;
    NavigationPanes *m_panes = nullptr;

    QStringList listedItems()
    {
        RecordListModel *model = m_panes->recordArea()->listView()->recordModel();
        QStringList items;
        for (int row = 0; row < model->rowCount(); ++row)
            items.append(model->index(row, RecordListColumn::indexOf("item")).data().toString());
        return items;
    }

    void clickRow(const QString &title)
    {
        SourceListView *tree = m_panes->sourceList();
        const QModelIndex index
            = tree->indexAtPosition(int(m_panes->controllers().sourceList().visibleRowNames().indexOf(title)));
        QVERIFY(index.isValid());
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    }

    QAction *menuAction(const QString &menu, const QString &text)
    {
        for (QAction *a : m_window->menuNamed(menu)->actions())
            if (a->text() == text)
                return a;
        for (QAction *a : m_window->menuNamed(menu)->actions())
            if (a->menu())
                for (QAction *b : a->menu()->actions())
                    if (b->text() == text)
                        return b;
        return nullptr;
    }

private slots:
    void init()
    {
        Settings::setValue(Settings::viewMode, 1);
        m_lib = std::make_unique<TestLibrary>();
        for (const char *c : { "Tools", "Kitchen" })
            m_lib->category(QString::fromLatin1(c));
        for (const char *l : { "Garage", "Pantry" })
            m_lib->location(QString::fromLatin1(l));
        m_lib->defaultSmartFolders();
        m_lib->record({ { "item", "Hammer" }, { "category", "Tools" }, { "location", "Garage" }, { "model", "H1" } });
        m_lib->record({ { "item", "Saw" }, { "category", "Tools" }, { "location", "Garage" } });
        m_lib->record({ { "item", "Kettle" },
                        { "category", "Kitchen" },
                        { "location", "Pantry" },
                        { "notes", "Descaled in spring" } });
        m_lib->record({ { "item", "Toaster" }, { "category", "Kitchen" }, { "location", "Pantry" } });
        QVERIFY(m_lib->save());
        m_window = std::make_unique<MainWindow>();
        m_panes = new NavigationPanes(m_window.get(), m_lib->context.get(), 0);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        QTRY_COMPARE(m_panes->controllers().sourceList().currentRowName(), QStringLiteral("All Records"));
        QTRY_COMPARE(listedItems().size(), 4);
    }

    void cleanup()
    {
        m_window.reset();
        m_lib.reset();
    }

    void panesAreInTheirPlaces()
    {
        QCOMPARE(m_window->sourceListArea(), static_cast<QWidget *>(m_panes->sourceList()));
        QCOMPARE(m_window->recordArea(), static_cast<QWidget *>(m_panes->recordArea()));
        QCOMPARE(m_window->detailArea(), static_cast<QWidget *>(m_panes->recordForm()));
        QVERIFY(m_panes->sourceList()->isVisible());
        QCOMPARE(m_panes->sourceList()->model()->rowCount(), 4);
    }

    void selectSearchAndFilterByLocation()
    {
        clickRow("Kitchen");
        QTRY_COMPARE(listedItems(), (QStringList { "Kettle", "Toaster" }));
        // The badges are drawn from the model.
        QCOMPARE(m_panes->controllers().sourceList().visibleRowItems().at(3)->badge.value_or(-1), 2);

        clickRow("All Records");
        QTRY_COMPARE(listedItems().size(), 4);
        SearchField *search = m_panes->recordArea()->searchField();
        search->setFocus();
        QTest::keyClicks(search, "descaled");
        QTRY_COMPARE(listedItems(), QStringList { "Kettle" });
        // Another row empties the search field.
        clickRow("Tools");
        QTRY_COMPARE(listedItems(), (QStringList { "Hammer", "Saw" }));
        QCOMPARE(search->text(), QString());

        // Pantry only, in All Records.
        clickRow("All Records");
        auto *pantry = m_panes->recordArea()->findChild<QToolButton *>("location_1");
        QVERIFY(pantry);
        QTest::mouseClick(pantry, Qt::LeftButton);
        QTRY_COMPARE(listedItems(), (QStringList { "Kettle", "Toaster" }));
        QTest::keyClick(m_window.get(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_COMPARE(listedItems().size(), 4);
    }

    void viewSwitch()
    {
        RecordArea *area = m_panes->recordArea();
        QTest::keyClick(m_window.get(), Qt::Key_1, Qt::ControlModifier);
        QTRY_VERIFY(area->iconView()->isVisible());
        QTRY_COMPARE(area->iconView()->iconModel()->rowCount(), 4);
        QCOMPARE(area->iconView()->iconModel()->index(0).data().toString(), QStringLiteral("Hammer"));
        QTest::keyClick(m_window.get(), Qt::Key_3, Qt::ControlModifier);
        QTRY_VERIFY(area->enhancedView()->isVisible());
        area->enhancedView()->names()->setCurrentIndex(area->enhancedView()->names()->model()->index(2, 1));
        QTRY_COMPARE(valuesOf({ area->enhancedView()->card()->record() }, "item"), QStringList { "Kettle" });
        QTest::keyClick(m_window.get(), Qt::Key_2, Qt::ControlModifier);
        QTRY_VERIFY(area->listView()->isVisible());
        QCOMPARE(Settings::integer(Settings::viewMode), 1);
    }

    void enhancedCardFollowsTheColourScheme()
    {
        EnhancedDetailCard *card = m_panes->recordArea()->enhancedView()->card();
        QCOMPARE(card->colorSchemeIndex(), DetailCardColorScheme::defaultIndex);
        Settings::setValue(Settings::colorSchemeIndex, 3);
        EventBus::instance().post(Events::TBXColorSchemeUpdated);
        QCOMPARE(card->colorSchemeIndex(), 3);
        QCOMPARE(DetailCardColorScheme::scheme(3).name, QStringLiteral("Sunset"));
        // Indexes outside the menu draw with the default scheme.
        QCOMPARE(DetailCardColorScheme::scheme(9).name, DetailCardColorScheme::scheme(1).name);
        QTest::keyClick(m_window.get(), Qt::Key_3, Qt::ControlModifier);
        QTRY_VERIFY(card->isVisible());
        const QImage drawn = card->grab().toImage();
        QCOMPARE(drawn.pixelColor(4, 4), DetailCardColorScheme::scheme(3).background);
    }

    void enhancedCardKeepsItsHeight_data()
    {
        QTest::addColumn<QSize>("windowSize");
        QTest::newRow("shorter than the card") << QSize(1200, 480);
        QTest::newRow("taller than the card") << QSize(1200, 1100);
    }

    void enhancedCardKeepsItsHeight()
    {
        QFETCH(QSize, windowSize);
        EnhancedDetailCard *card = m_panes->recordArea()->enhancedView()->card();
        QTest::keyClick(m_window.get(), Qt::Key_3, Qt::ControlModifier);
        QTRY_VERIFY(card->isVisible());
        m_window->resize(windowSize);
        QTRY_COMPARE(m_window->size(), windowSize);
        QCOMPARE(card->height(), 711);
    }

    void commandsWhereTheyBelong()
    {
        const struct
        {
            const char *menu;
            const char *text;
            QKeySequence shortcut;
        } commands[] = { { "fileMenu", "New Smart Folder...", QKeySequence("Ctrl+Alt+N") },
                         { "editMenu", "Find", QKeySequence::Find },
                         { "editMenu", "Edit Selected Folder...", QKeySequence("Ctrl+E") },
                         { "viewMenu", "as Icons", QKeySequence("Ctrl+1") },
                         { "viewMenu", "as List", QKeySequence("Ctrl+2") },
                         { "viewMenu", "as Enhanced", QKeySequence("Ctrl+3") },
                         { "viewMenu", "Show All Records", QKeySequence("Ctrl+0") },
                         { "viewMenu", "Item", QKeySequence() } };
        for (const auto &c : commands) {
            QAction *action = menuAction(QString::fromLatin1(c.menu), QString::fromLatin1(c.text));
            QVERIFY2(action, c.text);
            QCOMPARE(action->shortcut(), c.shortcut);
        }
        auto *toolbar = m_window->findChild<QToolBar *>("mainToolBar");
        QVERIFY(toolbar->actions().contains(m_panes->newSmartFolderAction()));
        // The column menu follows the columns.
        QAction *serial = menuAction("viewMenu", "Serial Number");
        QVERIFY(serial->isChecked());
        serial->trigger();
        QVERIFY(m_panes->recordArea()->listView()->isColumnHidden(RecordListColumn::indexOf("serialNumber")));
        QVERIFY(!serial->isChecked());
    }

    void recordForm()
    {
        RecordListView *list = m_panes->recordArea()->listView();
        RecordForm *form = m_panes->recordForm();
        QVERIFY(!form->findChild<QLineEdit *>("itemNameField")->isVisible());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 1)).center());
        QTRY_VERIFY(form->record());
        QCOMPARE(form->record()->item(), QStringLiteral("Hammer"));
        auto *model = form->findChild<QLineEdit *>("modelField");
        QVERIFY(model->isVisible() && model->isEnabled());
        QCOMPARE(model->text(), QStringLiteral("H1"));
        model->setFocus();
        model->selectAll();
        QTest::keyClicks(model, "Claw 16");
        QTest::keyClick(model, Qt::Key_Return);
        QCOMPARE(form->record()->model(), QStringLiteral("Claw 16"));
        QVERIFY(!m_lib->context->hasChanges());
        auto *price = form->findChild<QLineEdit *>("purchasePriceField");
        price->setFocus();
        QTest::keyClicks(price, "1,234.5");
        QTest::keyClick(price, Qt::Key_Return);
        QCOMPARE(form->record()->purchasePrice(), 1234.5);
        QCOMPARE(price->text(), QStringLiteral("1,234.50"));

        // Typed numbers keep to the attribute limits: the minus sign of a
        // negative quantity and a digit too many are not taken.
        auto *quantity = form->findChild<QSpinBox *>("recordQtyField");
        QCOMPARE(quantity->minimum(), 0);
        QCOMPARE(quantity->maximum(), AttributeLimits::maximumQuantity);
        QCOMPARE(form->findChild<QSpinBox *>("warrantyLengthNumberField")->maximum(),
                 AttributeLimits::maximumWarrantyLength);
        quantity->setFocus();
        quantity->selectAll();
        QTest::keyClicks(quantity, "-3");
        QTest::keyClick(quantity, Qt::Key_Return);
        QCOMPARE(form->record()->recordQty(), 3);
        quantity->selectAll();
        QTest::keyClicks(quantity, "1000000");
        QTest::keyClick(quantity, Qt::Key_Return);
        QCOMPARE(form->record()->recordQty(), 100000);
    }

    void smartFolderSheet()
    {
        QTest::keyClick(m_window.get(), Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
        SmartFolderSheet *sheet = m_panes->smartFolderSheet();
        QTRY_VERIFY(sheet->isVisible());
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Add Smart Folder"));
        auto *name = sheet->findChild<QLineEdit *>("nameField");
        name->selectAll();
        QTest::keyClicks(name, "Hammers");
        auto *value = sheet->findChildren<QLineEdit *>("valueField").first();
        QTest::keyClicks(value, "hammer");
        QTest::mouseClick(sheet->findChild<QPushButton *>("confirmButton"), Qt::LeftButton);
        QTRY_VERIFY(!sheet->isVisible());
        QTRY_VERIFY(m_panes->controllers().sourceList().visibleRowNames().contains("Hammers"));
        clickRow("Hammers");
        QTRY_COMPARE(listedItems(), QStringList { "Hammer" });
    }

    void smartFolderSheetRefusesABlankName()
    {
        QTest::keyClick(m_window.get(), Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
        SmartFolderSheet *sheet = m_panes->smartFolderSheet();
        QTRY_VERIFY(sheet->isVisible());
        auto *problem = sheet->findChild<QLabel *>("problemLabel");
        QVERIFY(!problem->isVisible());
        auto *name = sheet->findChild<QLineEdit *>("nameField");
        name->selectAll();
        QTest::keyClicks(name, "  ");
        auto *confirm = sheet->findChild<QPushButton *>("confirmButton");
        QTest::mouseClick(confirm, Qt::LeftButton);
        QVERIFY(sheet->isVisible());
        QVERIFY(problem->isVisible());
        QCOMPARE(problem->text(), QStringLiteral("A smart folder needs a name"));
        QVERIFY(!m_panes->controllers().sourceList().visibleRowNames().contains("  "));
        name->selectAll();
        QTest::keyClicks(name, "Saws");
        QTest::mouseClick(confirm, Qt::LeftButton);
        QTRY_VERIFY(!sheet->isVisible());
        QTRY_VERIFY(m_panes->controllers().sourceList().visibleRowNames().contains("Saws"));
    }
};

QTEST_MAIN(TestNavigationWindow)
#include "tst_navigationwindow.moc"
