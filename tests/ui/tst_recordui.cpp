#include "base/EventBus.h"
#include "base/Events.h"
#include "core/Record.h"
#include "core/TBXFirstRunSetup.h"
#include "records/RecordController.h"
#include "store/ManagedObjectContext.h"
#include "ui/MainWindow.h"
#include "ui/NewRecordCommand.h"
#include "ui/TextEditingNotifier.h"
#include "ui/WelcomeSheet.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

// The interface side of records: the New Record command, the text-editing
// notifications that hold record events back, and the welcome sheet.
class TestRecordUi : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ManagedObjectContext> m_context;
    QStringList m_posted;

    QList<ManagedObject *> records() { return m_context->executeFetchRequest({ Record::Entity, {}, {}, 0 }); }

private slots:
    void initTestCase() { Record::registerClass(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        for (const char *folder : { "Files", "Thumbnails", "Temp" })
            QDir(m_dir->path()).mkdir(QLatin1String(folder));
        QString error;
        m_context = ManagedObjectContext::open(m_dir->filePath(QStringLiteral("sqldata")),
                                               ManagedObjectContext::OpenMode::CreateIfMissing, &error);
        QVERIFY2(m_context, qPrintable(error));
        m_posted.clear();
        for (const QString &name :
             { Events::ControlTextDidBeginEditing, Events::ControlTextDidEndEditing, Events::TextDidBeginEditing,
               Events::TextDidEndEditing, Events::TBXDidEndFirstRunSetupSheet })
            EventBus::instance().observe(this, name, [this](const Event &e) { m_posted << e.name; });
    }

    void cleanup()
    {
        EventBus::instance().remove(this);
        TBXFirstRunSetup::setOldLibraryLocator({});
        TBXFirstRunSetup::setOldLibraryImporter({});
        m_context.reset();
    }

    void newRecordCommandFocusesTheItemName()
    {
        TextEditingNotifier editing;
        MainWindow window;
        RecordController controller(m_context.get(), m_dir->path());
        NewRecordCommand command(&window, &controller);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QMenu *file = window.menuBar()->actions().first()->menu();
        QCOMPARE(file->actions().first(), command.action());
        QVERIFY(window.findChild<QToolBar *>(QStringLiteral("mainToolBar"))->actions().contains(command.action()));
        QCOMPARE(command.action()->shortcut(), QKeySequence(QKeySequence::New));

        QTest::keyClick(&window, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(records().size(), 1);
        auto *field = window.findChild<QLineEdit *>(NewRecordCommand::itemNameFieldName);
        QVERIFY(field);
        QTRY_COMPARE(QApplication::focusWidget(), field);
        QCOMPARE(field->selectedText(), QStringLiteral("New Item"));

        Record *record = Record::from(records().first());
        QVERIFY(!record->delayNotification());
        QTest::keyClicks(field, QStringLiteral("Lamp"));
        QVERIFY(record->delayNotification()); // held back while typing
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(record->item(), QStringLiteral("Lamp"));
        QVERIFY(!record->delayNotification());
        QVERIFY(!m_context->hasChanges());
        QCOMPARE(m_posted, (QStringList { Events::ControlTextDidBeginEditing, Events::ControlTextDidEndEditing }));
    }

    void aFormFieldTakesPrecedence()
    {
        MainWindow window;
        auto *form = new QLineEdit;
        form->setObjectName(NewRecordCommand::itemNameFieldName);
        QVBoxLayout *layout = new QVBoxLayout(window.detailArea());
        layout->addWidget(form);
        RecordController controller(m_context.get(), m_dir->path());
        NewRecordCommand command(&window, &controller);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // A form that is there from the start means no stand-in is made.
        QCOMPARE(window.findChildren<QLineEdit *>(NewRecordCommand::itemNameFieldName).size(), 1);
        form->setText(QStringLiteral("New Item"));
        command.action()->trigger();
        QTRY_COMPARE(QApplication::focusWidget(), form);
        QCOMPARE(form->selectedText(), QStringLiteral("New Item"));
    }

    void textViewsAndFieldsNotify()
    {
        TextEditingNotifier editing;
        QWidget panel;
        auto *line = new QLineEdit(&panel);
        auto *text = new QTextEdit(&panel);
        auto *layout = new QVBoxLayout(&panel);
        layout->addWidget(line);
        layout->addWidget(text);
        panel.show();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        text->setPlainText(QStringLiteral("set by the program")); // no focus: no editing
        line->setFocus();
        QTRY_VERIFY(line->hasFocus());
        QTest::keyClicks(line, QStringLiteral("ab"));
        text->setFocus();
        QTRY_VERIFY(text->hasFocus());
        QTest::keyClicks(text, QStringLiteral("cd"));
        line->setFocus();
        QTRY_VERIFY(line->hasFocus());
        QCOMPARE(m_posted,
                 (QStringList { Events::ControlTextDidBeginEditing, Events::ControlTextDidEndEditing,
                                Events::TextDidBeginEditing, Events::TextDidEndEditing }));
    }

    void welcomeSheet_data()
    {
        QTest::addColumn<QString>("found");
        QTest::addColumn<bool>("accept");
        QTest::newRow("nothing to import") << "" << false;
        QTest::newRow("import accepted") << "/srv/old/Stashly" << true;
        QTest::newRow("import declined") << "/srv/old/Stashly" << false;
    }

    void welcomeSheet()
    {
        QFETCH(QString, found);
        QFETCH(bool, accept);
        QString imported;
        TBXFirstRunSetup::setOldLibraryLocator([found] { return found; });
        TBXFirstRunSetup::setOldLibraryImporter([&](const QString &path) { imported = path; });
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        TBXFirstRunSetup setup(m_context.get());
        auto *sheet = new WelcomeSheet(&setup, &window);
        sheet->open();
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        auto *main = sheet->findChild<QPushButton *>(QStringLiteral("mainButton"));
        QCOMPARE(main->text(), found.isEmpty() ? QStringLiteral("Finish") : QStringLiteral("Next"));
        QCOMPARE(main->icon().isNull(), found.isEmpty());
        QTest::mouseClick(main, Qt::LeftButton);
        if (!found.isEmpty()) {
            QVERIFY(sheet->isVisible());
            QCOMPARE(sheet->findChild<QStackedWidget *>(QStringLiteral("pages"))->currentIndex(), 1);
            QVERIFY(sheet->findChild<QLabel *>(QStringLiteral("importPathText"))->text().contains(found));
            QVERIFY(m_posted.isEmpty());
            QTest::mouseClick(sheet->findChild<QPushButton *>(accept ? QStringLiteral("importButton")
                                                                     : QStringLiteral("dontImportButton")),
                              Qt::LeftButton);
        }
        QVERIFY(!sheet->isVisible());
        QCOMPARE(m_posted, QStringList { Events::TBXDidEndFirstRunSetupSheet });
        QCOMPARE(imported, accept ? found : QString());
    }
};

QTEST_MAIN(TestRecordUi)
#include "tst_recordui.moc"
