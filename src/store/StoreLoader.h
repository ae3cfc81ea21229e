#pragma once

#include "store/SQLiteStore.h"

#include <QSqlDatabase>
#include <QString>

#include <atomic>
#include <mutex>
#include <vector>

// Reads every row of a store file into a load target. The work is split into
// jobs (a table, or half of a large one, or a join table) that two threads take
// in turn, each on its own read-only connection; members are linked on the
// calling thread at the end. Rows of one job go to distinct objects, so the
// target's addRow may run on both threads at once (never for the same object).
class StoreLoader
{
public:
    StoreLoader(const ManagedObjectModel &model, const QString &file, QSqlDatabase &db);
    bool load(SQLiteStore::LoadTarget &target, QString *error);

private:
    struct Job
    {
        int entity = -1;
        int relationship = -1; // >= 0: a join table
        qint64 from = 0;
        qint64 to = 0;
        QString sql;
        std::vector<int> attributeOfColumn;
        double weight = 0;
    };

    bool plan(SQLiteStore::LoadTarget &target, QString *error);
    bool run(QSqlDatabase &db, const Job &job, SQLiteStore::LoadTarget &target, QString *error);
    void work(QSqlDatabase &db, SQLiteStore::LoadTarget &target);
    void helperWork(SQLiteStore::LoadTarget &target);
    void fail(const QString &error);

    const ManagedObjectModel &m_model;
    QString m_file;
    QSqlDatabase &m_db;
    std::vector<Job> m_jobs;
    // Members of every join table, by job.
    std::vector<std::vector<std::pair<qint64, qint64>>> m_members;
    std::atomic<int> m_next { 0 };
    std::atomic<bool> m_failed { false };
    std::mutex m_errorLock;
    QString m_error;
};
