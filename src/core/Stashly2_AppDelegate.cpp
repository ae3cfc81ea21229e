#include "core/Stashly2_AppDelegate.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Log.h"
#include "base/MainQueue.h"
#include "base/PlatformPaths.h"
#include "base/Settings.h"
#include "base/TBXRunAlertPanel.h"
#include "base/Workspace.h"
#include "core/CurrencyLabel.h"
#include "core/DatabaseTools.h"
#include "core/MessageOfTheDay.h"
#include "core/Record.h"
#include "store/FetchRequest.h"
#include "store/ManagedObjectContext.h"
#include "store/Stashly2_DataModel.h"
#include "store/UndoManager.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

Stashly2_AppDelegate *g_shared = nullptr;

QString downloadsFolder()
{
    return PlatformPaths::downloadsDirectory();
}

} // namespace

Stashly2_AppDelegate::Stashly2_AppDelegate(QObject *parent)
    : QObject(parent)
{
    g_shared = this;
}

Stashly2_AppDelegate::~Stashly2_AppDelegate()
{
    EventBus::instance().remove(this);
    if (g_shared == this)
        g_shared = nullptr;
}

Stashly2_AppDelegate *Stashly2_AppDelegate::shared()
{
    return g_shared;
}

QString Stashly2_AppDelegate::versionString()
{
    return QStringLiteral(STASHLY_VERSION_STRING);
}

int Stashly2_AppDelegate::buildNumber()
{
    return STASHLY_BUILD_NUMBER;
}

QString Stashly2_AppDelegate::quickStartVideoUrl()
{
    return QStringLiteral("https://stashly.app/quick-start");
}

QString Stashly2_AppDelegate::applicationSupportDirectory() const
{
    return PlatformPaths::applicationSupportDirectory();
}

const ManagedObjectModel *Stashly2_AppDelegate::managedObjectModel() const
{
    return &Stashly2_DataModel::model();
}

QString Stashly2_AppDelegate::userDBDirectory() const
{
    if (m_library)
        return m_library->packagePath();
    return m_resolved.isEmpty() ? packagePathForReading() : m_resolved;
}

QString Stashly2_AppDelegate::resolveLibraryLocation()
{
    if (!m_override.isEmpty())
        return m_override;
    const QString stored = Settings::text(Settings::DatabasePath);
    if (!stored.isEmpty()) {
        // The default package is named in the settings before it is made;
        // not finding it yet is nothing to warn about.
        if (QFileInfo::exists(stored) || stored == PlatformPaths::defaultLibraryPath())
            return stored;
        TBXRunAlertPanel::runWarning(
            QStringLiteral("Can't Find Database"),
            QStringLiteral("The database at '%1' cannot be found. Resetting to the default location.").arg(stored),
            QStringLiteral("OK"));
    } else {
        if (m_context) {
            FetchRequest request { QStringLiteral("Currency"), {}, {}, 0 };
            const QList<ManagedObject *> currencies = m_context->executeFetchRequest(request);
            if (!currencies.isEmpty()) {
                const ManagedObject *chosen = currencies.first();
                for (const ManagedObject *c : currencies)
                    if (c->valueForKey(QStringLiteral("isDefault")).toBool()) {
                        chosen = c;
                        break;
                    }
                // The long form of a currency is "symbol - code", as everywhere else.
                Settings::setValue(Settings::defaultCurrencySymbol, CurrencyLabel::longCurrency(*chosen));
            }
        }
        Settings::setValue(Settings::DownloadPath, downloadsFolder());
    }
    const QString path = PlatformPaths::defaultLibraryPath();
    Settings::setValue(Settings::DatabasePath, path);
    return path;
}

QString Stashly2_AppDelegate::packagePathForReading() const
{
    if (!m_override.isEmpty())
        return m_override;
    const QString stored = Settings::text(Settings::DatabasePath);
    return !stored.isEmpty() && QFileInfo::exists(stored) ? stored : PlatformPaths::defaultLibraryPath();
}

void Stashly2_AppDelegate::notePackageCreated(const QString &packagePath)
{
    Log::always(QStringLiteral("Stashly 2: data package created"));
    if (m_override.isEmpty())
        Settings::setValue(Settings::DatabasePath, packagePath);
    Settings::setValue(Settings::DownloadPath, downloadsFolder());
    Settings::setValue(Settings::firstRunDate, QDateTime::currentDateTimeUtc());
    Log::always(QStringLiteral("Stashly 2: default prefs set"));
}

bool Stashly2_AppDelegate::openLibrary(Library::Access access, int waitMs,
                                       std::function<bool(const QString &, QString *)> admit)
{
    if (m_library)
        return true;
    // Resolved once: the alert and the settings it may write belong to launch.
    if (access == Library::Access::Change && m_resolved.isEmpty())
        m_resolved = resolveLibraryLocation();
    const QString packagePath = access == Library::Access::Read ? packagePathForReading() : m_resolved;
    if (access == Library::Access::Change) {
        const QString support = applicationSupportDirectory();
        // XDG data folders may not exist yet on a new account, so parents are made too.
        if (!QFileInfo::exists(support)) {
            if (QDir().mkpath(support))
                Log::always(QStringLiteral("Stashly 2: Application Support folder created"));
            else
                Log::always(QStringLiteral("Error creating Stashly 2 Application Support folder at %1 : %2")
                                .arg(support, QStringLiteral("could not create the folder")));
        }
    }
    QString error;
    m_library = Library::open({ packagePath, access, waitMs, std::move(admit) }, &error);
    if (!m_library) {
        Log::always(QStringLiteral("Stashly 2: the library could not be opened: %1").arg(error));
        m_storeError = error;
        return false;
    }
    m_context = &m_library->context();
    m_storeError.clear();
    if (m_library->isNew())
        notePackageCreated(m_library->packagePath());
    // A library whose defaults never landed gets what a first run gives.
    m_isFirstRun = m_library->needsDefaults();
    return true;
}

ManagedObjectContext *Stashly2_AppDelegate::persistentStoreCoordinator()
{
    if (m_context)
        return m_context;
    if (!openLibrary(Library::Access::Change)) {
        TBXRunAlertPanel::runCritical(QStringLiteral("The library could not be opened."), m_storeError,
                                      QStringLiteral("OK"));
        return nullptr;
    }
    return m_context;
}

ManagedObjectContext *Stashly2_AppDelegate::managedObjectContext()
{
    if (m_context)
        return m_context;
    if (!persistentStoreCoordinator()) {
        TBXRunAlertPanel::runCritical(QStringLiteral("Failed to initialize the store"),
                                      QStringLiteral("There was an error building up the data file."),
                                      QStringLiteral("OK"));
        return nullptr;
    }
    return m_context;
}

void Stashly2_AppDelegate::applicationDidFinishLaunching()
{
    // Without an open library there is nothing to lock, and the lock file
    // there may be a running holder's.
    const QString package = m_library ? m_library->packagePath() : QString();

    // Lock check: a lock of this user on this machine is our own leftover.
    if (m_library && DatabaseTools::isDatabaseLockedAtPath(package)) {
        const std::optional<QVariantMap> lock = DatabaseTools::lockDataAtPath(package);
        const QVariantMap data = lock.value_or(QVariantMap());
        QStringList shown;
        for (auto it = data.cbegin(); it != data.cend(); ++it)
            shown << QStringLiteral("%1 = %2").arg(it.key(), it.value().toString());
        Log::always(QStringLiteral("Lock Data exists: {%1}").arg(shown.join(QStringLiteral("; "))));
        if (lock && DatabaseTools::isOwnLock(*lock)) {
            Log::always(QStringLiteral("Existing Lock Data matches current user and machine. Continuing..."));
        } else {
            MainQueue::async([this, data] { showInUseWarning(data); });
        }
    }
    if (m_library && !DatabaseTools::lockDatabaseAtPath(package))
        Log::always(QStringLiteral("Stashly2: the lock file of %1 could not be written").arg(package));
    Log::always(QStringLiteral("Stashly2: Finished launching"));

    if (m_isFirstRun) {
        Log::always(QStringLiteral("Stashly2: First run detected. Setting up database defaults..."));
        const bool ok = m_host.setUpDefaults ? m_host.setUpDefaults() : true;
        if (ok) {
            Log::always(QStringLiteral("Stashly2: First run setup succeeded. Proceeding..."));
            if (m_host.showWelcomeSheet)
                m_host.showWelcomeSheet();
        } else {
            Log::always(QStringLiteral("Stashly2: First run setup failed."));
        }
        EventBus::instance().post(Events::TBXRefreshRequestOfSourceColumn, this,
                                  { { EventKeys::sender, QStringLiteral("AppDelegate") } });
        EventBus::instance().post(Events::TBXStashly2FirstRun, this);
    }

    if (m_context && m_context->undoManager())
        m_context->undoManager()->setGroupsByEvent(true); // levels are unlimited

    EventBus::instance().observe(this, Events::ManagedObjectContextObjectsDidChange,
                                 [this](const Event &) { objectsChangedInContext(); });
    EventBus::instance().observe(this, QStringLiteral("TBXDidEndFirstRunSetupSheet"),
                                 [this](const Event &) { finishSetup(); });

    const QUrl motdAddress(Settings::text(Settings::messageCenterURL));
    if (!motdAddress.isEmpty()) {
        m_motd = new MessageOfTheDay(this);
        connect(m_motd, &MessageOfTheDay::arrived, this, [this](const MessageOfTheDay::Message &m) {
            MainQueue::async([this, m] { showMessageOfTheDay(m.text, m.link.toString()); });
        });
        m_motd->fetch(motdAddress, buildNumber());
    }

    if (m_host.redrawDetailView)
        m_host.redrawDetailView();
    m_isFirstRun = false;
    MainQueue::after(500, [this] { EventBus::instance().post(Events::TBXApplicationFinishedLaunching, this); });
}

void Stashly2_AppDelegate::showInUseWarning(const QVariantMap &lock)
{
    const QString title = QStringLiteral("Warning: Database In Use");
    const int first = TBXRunAlertPanel::runWarning(
        title,
        QStringLiteral("User '%1' on '%2', is using this database. Only one user can access the database at a time. "
                       "It is recommended that you quit.")
            .arg(lock.value(DatabaseTools::userNameKey).toString(),
                 lock.value(DatabaseTools::machineNameKey).toString()),
        QStringLiteral("Quit"), QStringLiteral("Force Continue"));
    int answer = first;
    if (first == TBXRunAlertPanel::AlternateReturn) {
        answer = TBXRunAlertPanel::runWarning(
            title,
            QStringLiteral("Forcing Stashly to continue may permanently corrupt the database. Any errors will be "
                           "irrecoverable."),
            QStringLiteral("Quit"), QStringLiteral("Force Continue"));
        if (answer == TBXRunAlertPanel::AlternateReturn) {
            DatabaseTools::unlockDatabaseAtPath(userDBDirectory());
            Log::always(QStringLiteral("User %1 forced continue").arg(DatabaseTools::currentUserName()));
            return;
        }
    }
    // Quitting leaves the other user's lock as we found it.
    if (!lock.isEmpty())
        m_foreignLock = lock;
    if (m_host.terminate)
        m_host.terminate();
}

void Stashly2_AppDelegate::showMessageOfTheDay(const QString &text, const QString &link)
{
    const int answer = TBXRunAlertPanel::runInformational(QStringLiteral("Stashly Message Center"), text,
                                                          QStringLiteral("Tell me more"), QStringLiteral("OK"));
    if (answer == TBXRunAlertPanel::DefaultReturn && !link.isEmpty())
        Workspace::openUrl(QUrl(link));
}

void Stashly2_AppDelegate::finishSetup()
{
    // There is no applications folder to offer a copy into on this platform;
    // the quick-start offer follows at once.
    MainQueue::async([] {
        const int answer = TBXRunAlertPanel::runInformational(
            QStringLiteral("Quick Start Video"), QStringLiteral("Would you like to watch a short quick-start video?"),
            QStringLiteral("Yes, watch now"), QStringLiteral("Maybe later"));
        if (answer == TBXRunAlertPanel::DefaultReturn)
            Workspace::openUrl(QUrl(quickStartVideoUrl()));
        else
            TBXRunAlertPanel::runInformational(QStringLiteral("Quick Start Video"),
                                               QStringLiteral("The video can be found at any time in the Help menu"),
                                               QStringLiteral("Thanks"));
        EventBus::instance().post(QStringLiteral("TBXAppDelegateFirstRunSetupComplete"));
    });
}

Stashly2_AppDelegate::TerminateReply Stashly2_AppDelegate::applicationShouldTerminate()
{
    Log::always(QStringLiteral("Quitting..."));
    // Only the program that holds the library takes its lock file away.
    const QString package = m_library ? m_library->packagePath() : QString();
    if (m_library) {
        DatabaseTools::unlockDatabaseAtPath(package);
        if (m_foreignLock)
            DatabaseTools::writeLockData(package, *m_foreignLock);
    }
    EventBus::instance().post(Events::TBXApplicationIsQuitting, this);
    if (!m_context) {
        Log::always(QStringLiteral("moc is gone"));
        return TerminateReply::Now;
    }
    // A cancelled quit keeps running: it must hold the lock again.
    const auto cancel = [&] {
        if (!m_foreignLock)
            DatabaseTools::lockDatabaseAtPath(package);
        return TerminateReply::Cancel;
    };
    if (m_host.commitEditing && !m_host.commitEditing()) {
        Log::always(
            QStringLiteral("Stashly2_AppDelegate:applicationShouldTerminate: unable to commit editing to terminate"));
        return cancel();
    }
    if (!m_context->hasChanges())
        return TerminateReply::Now;
    QString error;
    if (!m_context->save(&error)) {
        Log::always(QStringLiteral("Could not save changes while quitting: %1").arg(error));
        const int answer = TBXRunAlertPanel::runWarning(
            QStringLiteral("Could not save changes while quitting.  Quit anyway?"),
            QStringLiteral("Quitting now will lose any changes you have made since the last successful save"),
            QStringLiteral("Quit anyway"), QStringLiteral("Cancel"));
        if (answer == TBXRunAlertPanel::AlternateReturn)
            return cancel();
    }
    emptyTempFolder();
    return TerminateReply::Now;
}

void Stashly2_AppDelegate::emptyTempFolder()
{
    if (!m_library)
        return;
    const QString temp = QDir(m_library->packagePath()).filePath(QStringLiteral("Temp"));
    QDirIterator it(temp, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        // Read-only entries would refuse deletion; errors are ignored.
        QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
        if (info.isDir() && !info.isSymLink()) {
            QDirIterator inner(path, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                               QDirIterator::Subdirectories);
            while (inner.hasNext()) {
                const QString p = inner.next();
                QFile::setPermissions(p, QFile::permissions(p) | QFile::WriteOwner);
            }
            QDir(path).removeRecursively();
        } else {
            QFile::remove(path);
        }
    }
}

void Stashly2_AppDelegate::saveAction()
{
    if (m_host.commitEditing && !m_host.commitEditing())
        Log::always(QStringLiteral("Stashly2_AppDelegate:saveAction: unable to commit editing before saving"));
    if (!m_context)
        return;
    QString error;
    if (!m_context->save(&error))
        TBXRunAlertPanel::runWarning(QStringLiteral("The library could not be saved."), error, QStringLiteral("OK"));
}

void Stashly2_AppDelegate::undoAction()
{
    if (m_context && m_context->undoManager() && m_context->undoManager()->canUndo())
        m_context->undoManager()->undo();
    objectsChangedInContext();
}

void Stashly2_AppDelegate::redoAction()
{
    if (m_context && m_context->undoManager() && m_context->undoManager()->canRedo())
        m_context->undoManager()->redo();
    objectsChangedInContext();
}

void Stashly2_AppDelegate::objectsChangedInContext()
{
    const UndoManager *undo = m_context ? m_context->undoManager() : nullptr;
    const bool canUndo = undo && undo->canUndo();
    const bool canRedo = undo && undo->canRedo();
    if (canUndo == m_canUndo && canRedo == m_canRedo)
        return;
    m_canUndo = canUndo;
    m_canRedo = canRedo;
    emit undoStateChanged();
}

void Stashly2_AppDelegate::changeDataStoreLocationFrom(const QString &oldPath, const QString &newPath)
{
    Log::always(QStringLiteral("changeDataStoreLocationFrom: %1 to: %2").arg(oldPath, newPath));
    DatabaseTools::unlockDatabaseAtPath(oldPath);
    Settings::setValue(Settings::DatabasePath, newPath);
    relaunch();
}

bool Stashly2_AppDelegate::relaunch()
{
    const QString companion = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("relaunch"));
    const bool started = QProcess::startDetached(
        companion, { QCoreApplication::applicationFilePath(), QString::number(QCoreApplication::applicationPid()) });
    if (!started)
        Log::always(QStringLiteral("Could not start %1").arg(companion));
    if (m_host.terminate)
        m_host.terminate();
    return started;
}
