#pragma once

#include "core/Library.h"

#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class ManagedObjectContext;
class ManagedObjectModel;
class MessageOfTheDay;

// The application delegate: finds and opens the library package, owns the
// object store, and runs the launch and quit sequences. A plain controller: the
// interface (or the command line) fills in the Host hooks.
class Stashly2_AppDelegate : public QObject
{
    Q_OBJECT

public:
    // What the delegate needs of whoever runs it.
    struct Host
    {
        // Ends pending edits in the interface; false when an edit cannot end.
        std::function<bool()> commitEditing;
        // The first-run defaults of a new library; returns success.
        std::function<bool()> setUpDefaults;
        std::function<void()> showWelcomeSheet;
        // Quits through the normal quit path (which asks applicationShouldTerminate).
        std::function<void()> terminate;
        std::function<void()> redrawDetailView;
    };

    enum class TerminateReply { Now, Cancel };

    explicit Stashly2_AppDelegate(QObject *parent = nullptr);
    ~Stashly2_AppDelegate() override;

    // The running delegate, or none.
    static Stashly2_AppDelegate *shared();

    void setHost(Host host) { m_host = std::move(host); }

    // Works on the package at `path` instead of the one the settings name, and
    // leaves `DatabasePath` alone (the command line's --library).
    void setLibraryPathOverride(const QString &path) { m_override = path; }

    // The library package in use: the opened one, else the one resolved at
    // launch, else the one the settings name. Plain: no alert, no setting written.
    QString userDBDirectory() const;
    // The package the settings name, found without alerts and without writing
    // a setting: what a command that only reads works on.
    QString packagePathForReading() const;
    QString applicationSupportDirectory() const;
    const ManagedObjectModel *managedObjectModel() const;
    // Opens the store on first call; none when it cannot be opened (the next call tries again).
    ManagedObjectContext *persistentStoreCoordinator();
    // The one editing context; none (after telling the user) when the store cannot be opened.
    ManagedObjectContext *managedObjectContext();
    // The last reason the store could not be opened.
    QString storeError() const { return m_storeError; }
    // Opens the library through Library::open without telling the user; false
    // with the reason in storeError(). A new package gets its settings here.
    bool openLibrary(Library::Access access, int waitMs = 0,
                     std::function<bool(const QString &, QString *)> admit = {});
    // The opened library, or none.
    Library *library() const { return m_library.get(); }

    bool isFirstRun() const { return m_isFirstRun; }
    bool canUndo() const { return m_canUndo; }
    bool canRedo() const { return m_canRedo; }

    static QString versionString();
    static int buildNumber();

    // Launch sequence; returns before the queued work (warnings, messages, the
    // finished-launching event) runs.
    void applicationDidFinishLaunching();
    // Quit sequence.
    TerminateReply applicationShouldTerminate();

    void saveAction();
    void undoAction();
    void redoAction();
    void finishSetup();
    void objectsChangedInContext();

    // Unlocks the old package, names the new one in the settings and relaunches.
    void changeDataStoreLocationFrom(const QString &oldPath, const QString &newPath);
    // Starts the relaunch companion for this process, then quits.
    bool relaunch();

    static QString quickStartVideoUrl();

signals:
    void undoStateChanged();

private:
    void showInUseWarning(const QVariantMap &lock);
    void showMessageOfTheDay(const QString &text, const QString &link);
    void emptyTempFolder();
    void notePackageCreated(const QString &packagePath);
    // The resolution of the package at launch: a stored path that vanished is
    // reported ("Can't Find Database") and the default takes its place; an
    // empty one is filled in, with the download folder.
    QString resolveLibraryLocation();

    Host m_host;
    QString m_override;
    QString m_resolved;
    std::unique_ptr<Library> m_library;
    ManagedObjectContext *m_context = nullptr;
    QString m_storeError;
    bool m_isFirstRun = false;
    bool m_canUndo = false;
    bool m_canRedo = false;
    // The other user's lock, put back if we quit from the in-use warning.
    std::optional<QVariantMap> m_foreignLock;
    MessageOfTheDay *m_motd = nullptr;
};
