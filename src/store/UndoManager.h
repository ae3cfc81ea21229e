#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

// The program's one undo manager. Changes registered during one turn of the
// event loop form one undo step; explicit groups make larger steps and nest.
// Levels are unlimited. Registration can be switched off (navigation does, so
// that selecting never makes undo steps). Posts UndoManagerDidOpenUndoGroup,
// UndoManagerDidUndoChange and UndoManagerDidRedoChange on the event bus, with
// the manager as the sender.
class UndoManager
{
public:
    UndoManager();
    ~UndoManager();
    UndoManager(const UndoManager &) = delete;
    UndoManager &operator=(const UndoManager &) = delete;

    // Registers the inverse of a change just made. While undoing, the action
    // becomes part of the redo step; otherwise a new registration drops the
    // redo steps. `target` names the owner so that its actions can be removed.
    void registerUndo(const void *target, std::function<void()> action);

    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const { return int(m_open.size()); }
    bool groupsByEvent() const { return m_groupsByEvent; }
    void setGroupsByEvent(bool groupsByEvent) { m_groupsByEvent = groupsByEvent; }

    // Calls nest: registration is on again after as many enables as disables.
    void disableUndoRegistration() { ++m_disabled; }
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const { return m_disabled == 0; }

    bool canUndo() const;
    bool canRedo() const;
    // Undoing first closes the step still open from this event-loop turn.
    void undo();
    void redo();
    bool isUndoing() const { return m_state == State::Undoing; }
    bool isRedoing() const { return m_state == State::Redoing; }
    // 0: unlimited.
    int levelsOfUndo() const { return 0; }
    int undoLevels() const { return int(m_undoStack.size()); }
    int redoLevels() const { return int(m_redoStack.size()); }

    void setActionName(const QString &name);
    QString undoActionName() const;
    QString redoActionName() const;

    void removeAllActions();
    void removeAllActionsWithTarget(const void *target);

private:
    enum class State { Idle, Undoing, Redoing };
    struct Action
    {
        const void *target;
        std::function<void()> run;
    };
    struct Group
    {
        std::vector<Action> actions;
        QString name;
    };

    void openGroup(bool byEvent);
    void scheduleEventGroupClose();
    void closeEventGroup();
    void replay(std::vector<Group> &from, std::vector<Group> &to, State state);

    std::vector<Group> m_undoStack;
    std::vector<Group> m_redoStack;
    std::vector<Group> m_open;
    bool m_eventGroupOpen = false;
    bool m_closeScheduled = false;
    bool m_groupsByEvent = true;
    int m_disabled = 0;
    State m_state = State::Idle;
    QObject m_timerOwner;
};
