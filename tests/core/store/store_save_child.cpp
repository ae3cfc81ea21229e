// Saves into a store until the test that started it kills it.
//   store_save_child PATH hang   changes every record and stops inside the save
//                                transaction, after the first pages were written
//   store_save_child PATH loop   saves generation after generation, printing
//                                "saved N" after each save
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/SQLiteStore.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

static QString itemOfGeneration(int generation)
{
    return QStringLiteral("gen %1 ").arg(generation) + QString(600, QLatin1Char('x'));
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    QString error;
    auto context = ManagedObjectContext::open(args.at(1), ManagedObjectContext::OpenMode::OpenExisting, &error);
    if (!context) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    context->setUndoManager(nullptr);
    const QList<ManagedObject *> records = context->executeFetchRequest({ QStringLiteral("Record"), {}, {}, 0 });
    if (args.at(2) == QLatin1String("hang")) {
        SQLiteStore::setBeforeCommitHook([] {
            std::printf("committing\n");
            std::fflush(stdout);
            for (;;)
                QThread::sleep(1);
        });
        for (ManagedObject *r : records)
            r->set(QStringLiteral("item"), itemOfGeneration(999));
        context->save();
        return 0;
    }
    for (int generation = 1;; ++generation) {
        for (ManagedObject *r : records)
            r->set(QStringLiteral("item"), itemOfGeneration(generation));
        if (!context->save(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        std::printf("saved %d\n", generation);
        std::fflush(stdout);
    }
}
