#include "navigation/SmartFolderController.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Log.h"
#include "core/EntityNameChecker.h"
#include "navigation/SmartFolder.h"
#include "navigation/SourceListItem.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

SmartFolderController::SmartFolderController(ManagedObjectContext *context, QObject *parent)
    : QObject(parent)
    , m_context(context)
{
}

SmartFolderController::~SmartFolderController()
{
    EventBus::instance().remove(this);
}

void SmartFolderController::start()
{
    EventBus &bus = EventBus::instance();
    bus.observe(this, Events::TBXSelectedSourceNameChanged, [this](const Event &e) {
        handleSelectedSourceNameChanged(e.userInfo.value(EventKeys::rowName).toString(),
                                        e.userInfo.value(EventKeys::rowType).toString());
    });
    bus.observe(this, Events::TBXSourceDoubleClicked, [this](const Event &e) {
        if (e.userInfo.contains(EventKeys::smartFolderName))
            handleEditSmartFolder();
    });
}

void SmartFolderController::handleSelectedSourceNameChanged(const QString &rowName, const QString &rowType)
{
    m_selectedFolder = nullptr;
    if (rowType != SourceListItem::rowTypeSmart || !m_context) {
        m_rowName.clear();
        return;
    }
    m_rowName = rowName;
    const QList<ManagedObject *> found = m_context->executeFetchRequest(
        { SmartFolder::entityName,
          Predicate::fromFormat(QStringLiteral("%K == %@"), { SmartFolder::smartFolderNameKey, rowName }),
          {},
          0 });
    if (!found.isEmpty())
        m_selectedFolder = found.first();
}

void SmartFolderController::save()
{
    m_context->commitEditing();
    m_context->processPendingChanges();
    m_context->save(); // not reported here: the next failing save tells the user
}

void SmartFolderController::addSmartFolderMenuAction()
{
    if (!m_context)
        return;
    Log::entry(QStringLiteral("SmartFolderController-addSmartFolderMenuAction"));
    m_sheetTitle = tr("Add Smart Folder");
    m_confirmTitle = QStringLiteral("Add");
    ManagedObject *folder = m_context->insertNewObject(SmartFolder::entityName);
    if (!folder)
        return;
    folder->setValue(SmartFolder::smartFolderNameKey, newFolderName);
    SmartFolder::setPredicate(folder, SmartFolder::newFolderPredicate());
    save();
    m_selectedFolder = folder;
    ArrayController &list = VisibleAssetController::sharedManager().smartFolderArrayController();
    list.fetch();
    list.setSelectedObjects({ folder });
    openSheet();
}

void SmartFolderController::handleEditSmartFolder()
{
    if (!m_selectedFolder)
        return;
    Log::entry(QStringLiteral("SmartFolderController-handleEditSmartFolder"));
    VisibleAssetController::sharedManager().smartFolderArrayController().setSelectedObjects({ m_selectedFolder });
    m_confirmTitle = QStringLiteral("Save");
    m_sheetTitle = tr("Edit Smart Folder");
    m_cancelVisible = false;
    openSheet();
}

void SmartFolderController::openSheet()
{
    m_problem.clear();
    m_name = SmartFolder::name(m_selectedFolder);
    m_rules = RuleEditorModel::fromPredicate(SmartFolder::predicate(m_selectedFolder).value_or(Predicate()));
    m_sheetOpen = true;
    emit sheetChanged();
}

void SmartFolderController::closeSheet()
{
    m_sheetOpen = false;
    m_problem.clear();
    emit sheetChanged();
}

void SmartFolderController::addEditSmartFolderButtonAction()
{
    if (m_endEditing)
        m_endEditing();
    if (m_selectedFolder && m_context) {
        const Predicate rules = m_rules.toPredicate();
        QString problem = SmartFolder::nameProblem(m_name);
        if (problem.isEmpty())
            problem = SmartFolder::rulesProblem(rules);
        if (!problem.isEmpty()) {
            m_problem = problem;
            emit sheetChanged();
            return;
        }
        m_selectedFolder->setValue(SmartFolder::smartFolderNameKey, m_name);
        SmartFolder::setPredicate(m_selectedFolder, rules);
        ArrayController &list = VisibleAssetController::sharedManager().smartFolderArrayController();
        const QString unique
            = EntityNameChecker::checkNameOfManagedObject(m_selectedFolder, list, SmartFolder::smartFolderNameKey);
        if (!unique.isEmpty())
            m_selectedFolder->setValue(SmartFolder::smartFolderNameKey, unique);
        save();
    }
    closeSheet();
    m_cancelVisible = true;
    emit sheetChanged();
    EventBus::instance().post(Events::TBXSmartFolderControllerReqUpdate, this);
}

void SmartFolderController::cancelAddEditSmartFolderButtonAction()
{
    if (m_endEditing)
        m_endEditing();
    if (m_confirmTitle == QLatin1String("Add") && m_selectedFolder && m_context) {
        m_context->deleteObject(m_selectedFolder);
        m_selectedFolder = nullptr;
        VisibleAssetController::sharedManager().smartFolderArrayController().fetch();
    }
    if (m_context)
        save();
    closeSheet();
    m_confirmTitle = QStringLiteral("Save");
    emit sheetChanged();
}
