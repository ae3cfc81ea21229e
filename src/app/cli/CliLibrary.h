#pragma once

#include "CliCommand.h"

#include "core/Stashly2_AppDelegate.h"

#include <memory>

class ManagedObjectContext;

// A library opened for one command through Library::open, the way the program
// opens it. A command that only reads opens it read-only and writes nothing,
// not even a setting. A command that changes it takes the writer lock first
// (waiting for --wait seconds when another writer on this machine has it),
// refuses while the lock file names another holder who may still be using it
// (unless --force), writes the lock file while it works and removes it after,
// and gives a library whose first-run defaults never landed its defaults.
class CliLibrary
{
public:
    enum class Access { Read, Change };

    // None, after writing one line with the reason to ctx.err, when the
    // library cannot be used.
    static std::unique_ptr<CliLibrary> open(CliContext &ctx, Access access);
    ~CliLibrary();

    QString packagePath() const { return m_package; }
    ManagedObjectContext &context() { return *m_context; }
    Stashly2_AppDelegate &delegate() { return m_delegate; }

    // Saves; on failure writes the reason to ctx.err.
    bool save(CliContext &ctx);

    // The package a command works on: --library, else the one the settings
    // name (found without writing anything).
    static QString resolvePackagePath(const CliContext &ctx);

private:
    CliLibrary() = default;
    void finishOpening(CliContext &ctx);

    Stashly2_AppDelegate m_delegate;
    QString m_package;
    ManagedObjectContext *m_context = nullptr;
    bool m_ownLock = false;
};
