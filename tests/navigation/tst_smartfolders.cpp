#include "NavigationTestSupport.h"

#include "base/Events.h"
#include "core/TBXFirstRunSetup.h"
#include "navigation/NavigationControllers.h"
#include "navigation/RuleEditorModel.h"
#include "navigation/SmartFolder.h"
#include "navigation/SmartFolderController.h"
#include "navigation/SourceListController.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"

using namespace NavigationTestSupport;
using Row = RuleEditorModel::Row;

// Smart folders: adding, cancelling, naming and editing through the sheet, and
// the rule editor's round trip between rows and stored predicates.
class TestSmartFolders : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> m_lib;
    std::unique_ptr<NavigationControllers> m_nav;

    SmartFolderController &folders() { return m_nav->smartFolders(); }

    void start(const QStringList &folderNames = {})
    {
        m_lib = std::make_unique<TestLibrary>();
        for (const QString &name : folderNames)
            m_lib->smartFolder(name, Predicate::orPredicate({ Predicate::fromFormat("item CONTAINS 'x'") }));
        for (int label : { 0, 3, 3, 5 })
            m_lib->record({ { "item", QStringLiteral("Label %1").arg(label) },
                            { "labelIndex", label },
                            { "purchasePrice", 10.0 * (label + 1) },
                            { "insured", label == 3 } });
        QVERIFY(m_lib->save());
        m_nav = std::make_unique<NavigationControllers>(m_lib->context.get());
        m_nav->start(0);
        QTRY_COMPARE(m_nav->sourceList().currentRowName(), QStringLiteral("All Records"));
    }

    QStringList storedFolderNames()
    {
        // Read from the file, so that only what was saved counts.
        QString error;
        auto reader
            = ManagedObjectContext::open(m_lib->package + "/sqldata", ManagedObjectContext::OpenMode::ReadOnly, &error);
        return valuesOf(reader->executeFetchRequest({ "SmartFolder", Predicate(), {}, 0 }), "smartFolderName");
    }

private slots:
    void cleanup()
    {
        m_nav.reset();
        m_lib.reset();
    }

    void addIsSavedBeforeTheSheetOpens()
    {
        start();
        bool savedWhenOpened = false;
        connect(&folders(), &SmartFolderController::sheetChanged, this, [&] {
            if (folders().isSheetOpen())
                savedWhenOpened = storedFolderNames() == QStringList { "Smart Folder" };
        });
        folders().addSmartFolderMenuAction();
        QVERIFY(savedWhenOpened);
        QVERIFY(folders().isSheetOpen());
        QCOMPARE(folders().sheetTitle(), QStringLiteral("Add Smart Folder"));
        QCOMPARE(folders().confirmButtonTitle(), QStringLiteral("Add"));
        QVERIFY(folders().isCancelVisible());
        QCOMPARE(folders().folderName(), QStringLiteral("Smart Folder"));
        QCOMPARE(SmartFolder::predicate(folders().selectedFolder()),
                 std::optional<Predicate>(Predicate::orPredicate(
                     { Predicate::fromFormat("(%K contains '') AND (%K contains '')",
                                             { QStringLiteral("item"), QStringLiteral("manufacturer") }) })));
        // The editor opens with the two rules and empty texts.
        const RuleEditorModel &rules = folders().ruleEditor();
        QCOMPARE(rules.match, RuleEditorModel::Match::Any);
        QCOMPARE(rules.rows.size(), size_t(1));
        QCOMPARE(rules.rows.at(0).kind, Row::Kind::Group);
        QCOMPARE(rules.rows.at(0).rows.size(), size_t(2));
        QCOMPARE(rules.rows.at(0).rows.at(1).attribute, RuleEditorModel::Attribute::Manufacturer);
    }

    void cancelRemovesTheNewFolder()
    {
        start({ "Kept" });
        EventSpy spy({ Events::TBXSmartFolderControllerReqUpdate });
        folders().addSmartFolderMenuAction();
        folders().cancelAddEditSmartFolderButtonAction();
        QVERIFY(!folders().isSheetOpen());
        QCOMPARE(storedFolderNames(), QStringList { "Kept" });
        QCOMPARE(folders().confirmButtonTitle(), QStringLiteral("Save"));
        QVERIFY(spy.events.isEmpty());
    }

    void naming_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");

        QTest::newRow("first folder") << QStringList() << "Smart Folder"
                                      << "Smart Folder";
        QTest::newRow("another comes first") << QStringList { "Smart Folder" } << "Smart Folder"
                                             << "Smart Folder 1";
        QTest::newRow("two taken") << QStringList { "Smart Folder", "Smart Folder 1" } << "Smart Folder"
                                   << "Smart Folder 2";
        QTest::newRow("a typed name") << QStringList { "Lamps" } << "Lamps"
                                      << "Lamps 1";
        QTest::newRow("a free typed name") << QStringList { "Lamps" } << "Lights"
                                           << "Lights";
        QTest::newRow("pattern characters") << QStringList { "C++ (old)" } << "C++ (old)"
                                            << "C++ (old) 1";
    }

    void naming()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        start(existing);
        EventSpy spy({ Events::TBXSmartFolderControllerReqUpdate });
        folders().addSmartFolderMenuAction();
        folders().setFolderName(typed);
        folders().addEditSmartFolderButtonAction();
        QVERIFY(!folders().isSheetOpen());
        QCOMPARE(spy.events.size(), 1);
        QCOMPARE(storedFolderNames(), existing + QStringList { stored });
        m_nav->sourceList().flushPendingRefresh();
        QVERIFY(m_nav->sourceList().visibleRowNames().contains(stored));
    }

    void editFromTheSourceList()
    {
        start({ "Labels" });
        const QStringList rows = m_nav->sourceList().visibleRowNames();
        m_nav->sourceList().selectRow(int(rows.indexOf("Labels")));
        QVERIFY(folders().selectedFolder());
        m_nav->sourceList().doubleClickAction();
        QVERIFY(folders().isSheetOpen());
        QCOMPARE(folders().sheetTitle(), QStringLiteral("Edit Smart Folder"));
        QCOMPARE(folders().confirmButtonTitle(), QStringLiteral("Save"));
        QVERIFY(!folders().isCancelVisible());

        // Label is 3, as the rule editor stores it: a text digit.
        RuleEditorModel &rules = folders().ruleEditor();
        rules.rows.clear();
        Row label = RuleEditorModel::newRule();
        RuleEditorModel::setAttribute(label, RuleEditorModel::Attribute::LabelIndex);
        RuleEditorModel::setLabelValue(label, 3);
        rules.rows.push_back(label);
        folders().setFolderName("Label three");
        folders().addEditSmartFolderButtonAction();
        QVERIFY(folders().isCancelVisible());
        QCOMPARE(SmartFolder::predicate(folders().selectedFolder())->members().first().value(),
                 PredicateValue::text("3"));

        // The source list follows: new title, badge and the views show its records.
        m_nav->sourceList().flushPendingRefresh();
        QCOMPARE(m_nav->sourceList().currentRowName(), QStringLiteral("Label three"));
        m_nav->flushPendingRefreshes();
        QCOMPARE(valuesOf(VisibleAssetController::sharedManager().recordArrayController().arrangedObjects(), "item"),
                 (QStringList { "Label 3", "Label 3" }));
        const int row = int(m_nav->sourceList().visibleRowNames().indexOf("Label three"));
        QCOMPARE(*m_nav->sourceList().visibleRowItems().at(row)->badge, 2);
    }

    void editWithoutAFolderDoesNothing()
    {
        start();
        folders().handleEditSmartFolder();
        QVERIFY(!folders().isSheetOpen());
    }

    void roundTrip_data()
    {
        QTest::addColumn<Predicate>("predicate");
        QTest::addColumn<bool>("allOffered");

        QTest::newRow("Warranty Warning") << TBXFirstRunSetup::warrantyWarningPredicate() << true;
        QTest::newRow("Warranty Expired") << TBXFirstRunSetup::warrantyExpiredPredicate() << true;
        QTest::newRow("a new folder") << SmartFolder::newFolderPredicate() << true;
        QTest::newRow("all of text rules") << Predicate::andPredicate(
            { Predicate::fromFormat("model BEGINSWITH[cd] 'X'"), Predicate::fromFormat("serialNumber ENDSWITH[c] '9'"),
              Predicate::fromFormat("vendorName == 'Shop'"),
              Predicate::fromFormat("notesPlainText CONTAINS[cd] 'box'") })
                                           << true;
        QTest::newRow("numbers, dates, labels, insured") << Predicate::orPredicate(
            { Predicate::fromFormat("purchasePrice < 99.5"), Predicate::fromFormat("recordQty > 2"),
              Predicate::fromFormat("purchaseDate > %@", { QDateTime(QDate(2020, 1, 1), QTime(0, 0)) }),
              Predicate::fromFormat("labelIndex == '4'"), Predicate::fromFormat("insured == YES"),
              Predicate::fromFormat("insured != YES"), Predicate::fromFormat("condition == nil") })
                                                         << true;
        QTest::newRow("what the editor does not offer is kept")
            << Predicate::orPredicate({ Predicate::fromFormat("item MATCHES 'a.*'"),
                                        Predicate::fromFormat("ANY customField.cfTextField CONTAINS 'x'"),
                                        Predicate::notPredicate(Predicate::fromFormat("item == 'y'")) })
            << false;
    }

    void roundTrip()
    {
        QFETCH(Predicate, predicate);
        QFETCH(bool, allOffered);
        const RuleEditorModel model = RuleEditorModel::fromPredicate(predicate);
        QCOMPARE(model.toPredicate(), predicate);
        std::function<bool(const std::vector<Row> &)> offered = [&](const std::vector<Row> &rows) {
            return std::all_of(rows.begin(), rows.end(), [&](const Row &r) {
                return r.kind == Row::Kind::Rule || (r.kind == Row::Kind::Group && offered(r.rows));
            });
        };
        QCOMPARE(offered(model.rows), allOffered);
        // And through the store.
        start();
        ManagedObject *folder = m_lib->smartFolder("Round trip", model.toPredicate());
        QVERIFY(m_lib->save());
        QCOMPARE(SmartFolder::predicate(folder), std::optional<Predicate>(predicate));
    }

    void editedRules_data()
    {
        QTest::addColumn<int>("attribute");
        QTest::addColumn<int>("op");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("items");

        using A = RuleEditorModel::Attribute;
        using O = RuleEditorModel::Operator;
        QTest::newRow("price below") << int(A::PurchasePrice) << int(O::LessThan) << "35"
                                     << "purchasePrice < 35" << QStringList { "Label 0" };
        QTest::newRow("price above a decimal")
            << int(A::PurchasePrice) << int(O::GreaterThan) << "39.5"
            << "purchasePrice > 39.5" << QStringList { "Label 3", "Label 3", "Label 5" };
        QTest::newRow("item begins with") << int(A::Item) << int(O::BeginsWith) << "label 5"
                                          << "item BEGINSWITH[cd] \"label 5\"" << QStringList { "Label 5" };
        QTest::newRow("label") << int(A::LabelIndex) << int(O::Is) << "5"
                               << "labelIndex == \"5\"" << QStringList { "Label 5" };
        QTest::newRow("insured") << int(A::Insured) << int(O::IsYes) << ""
                                 << "insured == YES" << QStringList { "Label 3", "Label 3" };
        QTest::newRow("not insured") << int(A::Insured) << int(O::IsNo) << ""
                                     << "insured != YES" << QStringList { "Label 0", "Label 5" };
        QTest::newRow("no value") << int(A::Condition) << int(O::HasNoValue) << ""
                                  << "condition == nil" << QStringList { "Label 0", "Label 3", "Label 3", "Label 5" };
    }

    void editedRules()
    {
        QFETCH(int, attribute);
        QFETCH(int, op);
        QFETCH(QString, value);
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        start();
        folders().addSmartFolderMenuAction();
        RuleEditorModel &rules = folders().ruleEditor();
        rules.rows.clear();
        Row row = RuleEditorModel::newRule();
        RuleEditorModel::setAttribute(row, RuleEditorModel::Attribute(attribute));
        RuleEditorModel::setOperator(row, RuleEditorModel::Operator(op));
        if (!value.isEmpty())
            QVERIFY(RuleEditorModel::setValueText(row, value));
        QCOMPARE(row.editorOperator(), RuleEditorModel::Operator(op));
        rules.rows.push_back(row);
        folders().setFolderName("Edited");
        folders().addEditSmartFolderButtonAction();
        QCOMPARE(rules.toPredicate().members().first().description(), text);

        // Saved, reopened, and opened in the editor again unchanged.
        const Predicate saved = *SmartFolder::predicate(folders().selectedFolder());
        m_nav.reset();
        m_lib->context.reset();
        QString error;
        m_lib->context = ManagedObjectContext::open(m_lib->package + "/sqldata",
                                                    ManagedObjectContext::OpenMode::CreateIfMissing, &error);
        QVERIFY(m_lib->context);
        VisibleAssetController::sharedManager().setManagedObjectContext(m_lib->context.get());
        const QList<ManagedObject *> records = VisibleAssetController::sharedManager().visibleAssetsForRowIdentifier(
            "sf_Edited", "Edited", "Smart", false);
        QCOMPARE(valuesOf(records, "item"), items);
        ManagedObject *reopened = m_lib->context->executeFetchRequest({ "SmartFolder", Predicate(), {}, 0 }).first();
        QCOMPARE(*SmartFolder::predicate(reopened), saved);
        QCOMPARE(RuleEditorModel::fromPredicate(saved).toPredicate(), saved);
        VisibleAssetController::sharedManager().setManagedObjectContext(nullptr);
    }

    void labelCorrection()
    {
        start();
        // Stored with another operator: corrected into an equality.
        m_lib->smartFolder("Threes", Predicate::orPredicate({ Predicate::fromFormat("labelIndex != '3'") }));
        QCOMPARE(valuesOf(VisibleAssetController::sharedManager().visibleAssetsForRowIdentifier({}, "Threes", "Smart",
                                                                                                false),
                          "item"),
                 (QStringList { "Label 3", "Label 3" }));
    }

    void emptyTextRulesLetEverythingThrough_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("the new folder as it starts")
            << "" << QStringList { "Label 0", "Label 3", "Label 3", "Label 5" };
        // Typed into the template's item rule: case ignored, the empty manufacturer rule open.
        QTest::newRow("one rule filled in") << "label 5" << QStringList { "Label 5" };
    }

    void emptyTextRulesLetEverythingThrough()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, items);
        start();
        folders().addSmartFolderMenuAction();
        if (!typed.isEmpty())
            QVERIFY(RuleEditorModel::setValueText(folders().ruleEditor().rows.at(0).rows.at(0), typed));
        folders().setFolderName("Template");
        folders().addEditSmartFolderButtonAction();
        // The stored rules keep the empty text; only filtering treats it as open.
        QCOMPARE(SmartFolder::predicate(folders().selectedFolder())->members().first().members().at(1).value(),
                 PredicateValue::text(QString()));
        QCOMPARE(valuesOf(VisibleAssetController::sharedManager().visibleAssetsForRowIdentifier({}, "Template", "Smart",
                                                                                                false),
                          "item"),
                 items);
        m_nav->sourceList().flushPendingRefresh();
        const int row = int(m_nav->sourceList().visibleRowNames().indexOf("Template"));
        QVERIFY(row > 0);
        QCOMPARE(*m_nav->sourceList().visibleRowItems().at(row)->badge, int(items.size()));
    }

    void invalidValuesAreRefused()
    {
        Row row = RuleEditorModel::newRule();
        RuleEditorModel::setAttribute(row, RuleEditorModel::Attribute::RecordQty);
        QVERIFY(!RuleEditorModel::setValueText(row, "many"));
        QCOMPARE(row.value, PredicateValue::integer(0));
        RuleEditorModel::setAttribute(row, RuleEditorModel::Attribute::LabelIndex);
        QVERIFY(!RuleEditorModel::setValueText(row, "12"));
        // The labels a record can have, 0 to 7.
        QVERIFY(!RuleEditorModel::setValueText(row, "8"));
        QVERIFY(!RuleEditorModel::setValueText(row, "-1"));
        QCOMPARE(row.value, PredicateValue::text("1"));
        QVERIFY(RuleEditorModel::setValueText(row, "7"));
        QCOMPARE(row.value, PredicateValue::text("7"));
    }

    // Add and Save refuse a folder without a name, and rules that could never
    // select a record; the sheet stays open with the reason and nothing changes.
    void refusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("rule"); // kept as read, as rules of a stored folder are
        QTest::addColumn<QString>("problem");

        QTest::newRow("empty name") << ""
                                    << ""
                                    << "A smart folder needs a name";
        QTest::newRow("blank name") << "   "
                                    << ""
                                    << "A smart folder needs a name";
        QTest::newRow("misspelt key") << "Lamps"
                                      << "purchasePrise > 5"
                                      << "Record has no key \"purchasePrise\"; did you mean \"purchasePrice\"?";
        QTest::newRow("misspelt member key") << "Lamps"
                                             << "ANY customField.cfTextFeld == 'brass'"
                                             << "RecordCustomField has no key \"cfTextFeld\"";
        QTest::newRow("broken pattern") << "Lamps"
                                        << "item MATCHES '[Ll]amp('"
                                        << "The pattern \"[Ll]amp(\" of item MATCHES is not a regular expression";
    }

    void refusals()
    {
        QFETCH(QString, name);
        QFETCH(QString, rule);
        QFETCH(QString, problem);
        start({ "Kept" });
        folders().addSmartFolderMenuAction();
        ManagedObject *folder = folders().selectedFolder();
        const std::optional<Predicate> rulesBefore = SmartFolder::predicate(folder);
        EventSpy spy({ Events::TBXSmartFolderControllerReqUpdate });
        folders().setFolderName(name);
        if (!rule.isEmpty()) {
            Row other;
            other.kind = Row::Kind::Other;
            other.other = Predicate::parse(rule).value();
            folders().ruleEditor().rows.push_back(other);
        }
        folders().addEditSmartFolderButtonAction();
        QVERIFY(folders().isSheetOpen());
        QVERIFY2(folders().problem().contains(problem), qPrintable(folders().problem()));
        QVERIFY(spy.events.isEmpty());
        QCOMPARE(SmartFolder::name(folder), QStringLiteral("Smart Folder"));
        QCOMPARE(SmartFolder::predicate(folder), rulesBefore);
        QVERIFY(!m_lib->context->hasChanges());
        QCOMPARE(storedFolderNames(), (QStringList { "Kept", "Smart Folder" }));

        // Put right, the same sheet adds the folder.
        folders().setFolderName("Lamps");
        if (!rule.isEmpty())
            folders().ruleEditor().rows.pop_back();
        folders().addEditSmartFolderButtonAction();
        QVERIFY(!folders().isSheetOpen());
        QVERIFY(folders().problem().isEmpty());
        QCOMPARE(spy.events.size(), 1);
        QCOMPARE(storedFolderNames(), (QStringList { "Kept", "Lamps" }));
    }

    // Whatever the editor offers passes the check.
    void theEditorsRulesPassTheCheck()
    {
        QVERIFY(SmartFolder::rulesProblem(SmartFolder::newFolderPredicate()).isEmpty());
        for (const RuleEditorModel::AttributeInfo &info : RuleEditorModel::attributes()) {
            Row row = RuleEditorModel::newRule();
            RuleEditorModel::setAttribute(row, info.attribute);
            for (RuleEditorModel::Operator op : info.operators) {
                RuleEditorModel::setOperator(row, op);
                const QString problem = SmartFolder::rulesProblem(row.toPredicate());
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
            }
        }
    }
};

QTEST_MAIN(TestSmartFolders)
#include "tst_smartfolders.moc"
