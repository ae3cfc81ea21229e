#pragma once

#include "store/ManagedObjectModel.h"

#include <QHash>
#include <QString>

#include <memory>

class QTemporaryDir;

// Decides, without writing a byte of it, whether a file is a store of ours that
// this version can open. A file with a journal left by an interrupted save is
// checked on a recovered copy, since recovering the file itself would write it.
class StoreFileCheck
{
public:
    enum class Status { Ok, Missing, NotAStore, Damaged, Newer, Unreadable };

    struct Result
    {
        Status status = Status::Unreadable;
        int version = 0;
        QString uuid;
        QHash<QString, QString> metadata; // every entry of the metadata table
        QString message; // for the user; empty when Ok
        // Set when the check ran on a recovered copy: the copy, in its folder.
        std::shared_ptr<QTemporaryDir> recoveredFolder;
        QString recoveredFile;
    };

    static Result check(const QString &path, const ManagedObjectModel &model);

    // Whether a save was interrupted: a rollback journal or write-ahead log is
    // left beside the file.
    static bool needsRecovery(const QString &path);

private:
    static Result checkConnection(const QString &file, bool readOnly, const QString &shownPath,
                                  const ManagedObjectModel &model);
};
