#pragma once

#include "CliCommand.h"

#include "core/Stashly2_AppDelegate.h"

#include <memory>

class ManagedObjectContext;

// A library opened for one command, the way the program opens it: the same
// resolution, package creation and store opening. A command that changes the
// library refuses while another running program holds it (unless --force) and
// takes the lock only for as long as it works; it never leaves a lock behind.
class CliLibrary
{
public:
    enum class Access { Read, Change };

    // None, after writing the reason to ctx.err, when the library cannot be used.
    static std::unique_ptr<CliLibrary> open(CliContext &ctx, Access access);
    ~CliLibrary();

    QString packagePath() const { return m_package; }
    ManagedObjectContext &context() { return *m_context; }
    Stashly2_AppDelegate &delegate() { return m_delegate; }

    // Saves; on failure writes the reason to ctx.err.
    bool save(CliContext &ctx);

    // The package a command works on: --library, else the one the settings name
    // (the program's resolution, without opening anything).
    static QString resolvePackagePath(const CliContext &ctx);

    // "USER on MACHINE (process N)" for a lock dictionary.
    static QString describeLock(const QVariantMap &lock);

private:
    CliLibrary() = default;

    Stashly2_AppDelegate m_delegate;
    QString m_package;
    ManagedObjectContext *m_context = nullptr;
    bool m_ownLock = false;
};
