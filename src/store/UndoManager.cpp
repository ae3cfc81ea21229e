#include "store/UndoManager.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Log.h"

#include <QCoreApplication>
#include <QTimer>

UndoManager::UndoManager() = default;
UndoManager::~UndoManager() = default;

void UndoManager::registerUndo(const void *target, std::function<void()> action)
{
    if (!isUndoRegistrationEnabled() || !action)
        return;
    if (m_state == State::Idle) {
        if (m_open.empty())
            openGroup(true);
        m_redoStack.clear();
    }
    m_open.back().actions.push_back({ target, std::move(action) });
}

void UndoManager::openGroup(bool byEvent)
{
    m_open.push_back(Group());
    if (byEvent) {
        m_eventGroupOpen = true;
        scheduleEventGroupClose();
    }
    EventBus::instance().post(Events::UndoManagerDidOpenUndoGroup, this);
}

void UndoManager::beginUndoGrouping()
{
    openGroup(false);
}

void UndoManager::endUndoGrouping()
{
    // While undoing or redoing, the bottom group collects the opposite step and
    // belongs to undo()/redo() themselves.
    const size_t floor = m_state == State::Idle ? 0 : 1;
    if (m_open.size() <= floor) {
        Log::always(QStringLiteral("UndoManager-endUndoGrouping: no open undo group"));
        return;
    }
    Group group = std::move(m_open.back());
    m_open.pop_back();
    if (!m_open.empty()) {
        // A nested group becomes part of the step that holds it.
        Group &parent = m_open.back();
        for (Action &a : group.actions)
            parent.actions.push_back(std::move(a));
        if (parent.name.isEmpty())
            parent.name = group.name;
        return;
    }
    m_eventGroupOpen = false;
    if (!group.actions.empty())
        m_undoStack.push_back(std::move(group));
}

void UndoManager::scheduleEventGroupClose()
{
    if (m_closeScheduled || !QCoreApplication::instance())
        return;
    m_closeScheduled = true;
    QTimer::singleShot(0, &m_timerOwner, [this] {
        m_closeScheduled = false;
        closeEventGroup();
    });
}

void UndoManager::closeEventGroup()
{
    if (!m_eventGroupOpen || m_state != State::Idle)
        return;
    if (m_open.size() == 1)
        endUndoGrouping();
    else if (m_open.size() > 1)
        scheduleEventGroupClose(); // explicit groups inside are still open
}

void UndoManager::enableUndoRegistration()
{
    if (m_disabled > 0)
        --m_disabled;
}

bool UndoManager::canUndo() const
{
    if (!m_undoStack.empty())
        return true;
    return m_state == State::Idle && m_open.size() == 1 && m_eventGroupOpen && !m_open.back().actions.empty();
}

bool UndoManager::canRedo() const
{
    return !m_redoStack.empty();
}

void UndoManager::replay(std::vector<Group> &from, std::vector<Group> &to, State state)
{
    Group step = std::move(from.back());
    from.pop_back();
    m_state = state;
    m_open.push_back(Group { {}, step.name });
    for (auto it = step.actions.rbegin(); it != step.actions.rend(); ++it)
        it->run();
    Group opposite = std::move(m_open.front());
    m_open.clear();
    m_state = State::Idle;
    if (!opposite.actions.empty())
        to.push_back(std::move(opposite));
}

void UndoManager::undo()
{
    if (m_state != State::Idle)
        return;
    if (m_open.size() == 1 && m_eventGroupOpen)
        endUndoGrouping();
    if (!m_open.empty()) {
        Log::always(QStringLiteral("UndoManager-undo: an undo group is still open"));
        return;
    }
    if (m_undoStack.empty())
        return;
    replay(m_undoStack, m_redoStack, State::Undoing);
    EventBus::instance().post(Events::UndoManagerDidUndoChange, this);
}

void UndoManager::redo()
{
    if (m_state != State::Idle || m_redoStack.empty())
        return;
    if (m_open.size() == 1 && m_eventGroupOpen)
        endUndoGrouping();
    if (!m_open.empty()) {
        Log::always(QStringLiteral("UndoManager-redo: an undo group is still open"));
        return;
    }
    replay(m_redoStack, m_undoStack, State::Redoing);
    EventBus::instance().post(Events::UndoManagerDidRedoChange, this);
}

void UndoManager::setActionName(const QString &name)
{
    if (!m_open.empty())
        m_open.back().name = name;
    else if (!m_undoStack.empty())
        m_undoStack.back().name = name;
}

QString UndoManager::undoActionName() const
{
    return m_undoStack.empty() ? QString() : m_undoStack.back().name;
}

QString UndoManager::redoActionName() const
{
    return m_redoStack.empty() ? QString() : m_redoStack.back().name;
}

void UndoManager::removeAllActions()
{
    m_undoStack.clear();
    m_redoStack.clear();
    if (m_state == State::Idle) {
        m_open.clear();
        m_eventGroupOpen = false;
    }
}

void UndoManager::removeAllActionsWithTarget(const void *target)
{
    auto strip = [target](std::vector<Group> &groups) {
        for (Group &g : groups)
            std::erase_if(g.actions, [target](const Action &a) { return a.target == target; });
        std::erase_if(groups, [](const Group &g) { return g.actions.empty(); });
    };
    strip(m_undoStack);
    strip(m_redoStack);
    for (Group &g : m_open)
        std::erase_if(g.actions, [target](const Action &a) { return a.target == target; });
}
