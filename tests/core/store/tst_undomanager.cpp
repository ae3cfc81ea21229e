#include "base/EventBus.h"
#include "base/Events.h"
#include "store/UndoManager.h"

#include <QCoreApplication>
#include <QTest>

// Grouping by event-loop turn, explicit groups, the registration switch, redo,
// and the three notifications.
class TestUndoManager : public QObject
{
    Q_OBJECT

    // Each step of a script: "r<x>" registers an action that logs x, "b"/"e"
    // begin/end a group, "t" ends the event-loop turn, "d"/"n" disable/enable.
    static void play(UndoManager &undo, const QString &script, QStringList &log)
    {
        for (const QString &step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step.startsWith(QLatin1Char('r'))) {
                const QString name = step.mid(1);
                undo.registerUndo(nullptr, [&log, name] { log.append(name); });
            } else if (step == QLatin1String("b")) {
                undo.beginUndoGrouping();
            } else if (step == QLatin1String("e")) {
                undo.endUndoGrouping();
            } else if (step == QLatin1String("t")) {
                QCoreApplication::processEvents();
            } else if (step == QLatin1String("d")) {
                undo.disableUndoRegistration();
            } else if (step == QLatin1String("n")) {
                undo.enableUndoRegistration();
            }
        }
    }

private slots:
    void grouping_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("levels");
        QTest::addColumn<QStringList>("firstUndo");
        QTest::newRow("one turn is one step") << "r1 r2 t r3 t" << 2 << QStringList { "3" };
        QTest::newRow("actions undo in reverse") << "r1 r2 r3 t" << 1 << QStringList { "3", "2", "1" };
        QTest::newRow("explicit group") << "b r1 r2 e r3" << 2 << QStringList { "3" };
        QTest::newRow("nested groups are one step") << "b r1 b r2 e r3 e t" << 1 << QStringList { "3", "2", "1" };
        QTest::newRow("explicit group inside the turn's step")
            << "r1 b r2 e r3 t" << 1 << QStringList { "3", "2", "1" };
        QTest::newRow("group open across turns") << "b r1 t r2 e t" << 1 << QStringList { "2", "1" };
        QTest::newRow("empty group makes no step") << "b e t r1 t" << 1 << QStringList { "1" };
        QTest::newRow("registration off") << "d r1 n r2 t" << 1 << QStringList { "2" };
        QTest::newRow("switch calls nest") << "d d r1 n r2 n r3 t" << 1 << QStringList { "3" };
        QTest::newRow("undo closes the open turn") << "r1 t r2" << 2 << QStringList { "2" };
    }

    void grouping()
    {
        QFETCH(QString, script);
        QFETCH(int, levels);
        QFETCH(QStringList, firstUndo);
        UndoManager undo;
        QStringList log;
        play(undo, script, log);
        QVERIFY(undo.canUndo());
        undo.undo();
        QCOMPARE(undo.undoLevels(), levels - 1);
        QCOMPARE(log, firstUndo);
    }

    void redoRepeatsWhatUndoUndid()
    {
        UndoManager undo;
        int value = 0;
        // A setter that registers its own inverse, as the store does.
        std::function<void(int)> set = [&](int v) {
            const int old = value;
            value = v;
            undo.registerUndo(nullptr, [&set, old] { set(old); });
        };
        set(1);
        QCoreApplication::processEvents();
        set(2);
        QCoreApplication::processEvents();
        undo.undo();
        QCOMPARE(value, 1);
        undo.undo();
        QCOMPARE(value, 0);
        QVERIFY(!undo.canUndo());
        QVERIFY(undo.canRedo());
        undo.redo();
        QCOMPARE(value, 1);
        undo.redo();
        QCOMPARE(value, 2);
        undo.undo();
        QCOMPARE(value, 1);
        // A new change drops what could be redone.
        set(5);
        QVERIFY(!undo.canRedo());
        undo.undo();
        QCOMPARE(value, 1);
    }

    void unlimitedLevels()
    {
        UndoManager undo;
        int undone = 0;
        for (int i = 0; i < 1000; ++i) {
            undo.beginUndoGrouping();
            undo.registerUndo(nullptr, [&undone] { ++undone; });
            undo.endUndoGrouping();
        }
        QCOMPARE(undo.levelsOfUndo(), 0);
        while (undo.canUndo())
            undo.undo();
        QCOMPARE(undone, 1000);
    }

    void notifications()
    {
        UndoManager undo;
        QStringList seen;
        for (const QString &name : { Events::UndoManagerDidOpenUndoGroup, Events::UndoManagerDidUndoChange,
                                     Events::UndoManagerDidRedoChange })
            EventBus::instance().observe(
                this, name,
                [&seen, &undo](const Event &e) {
                    QCOMPARE(e.object, static_cast<const void *>(&undo));
                    seen.append(e.name);
                },
                &undo);
        // An action that registers itself again, so that undo leaves a redo step.
        std::function<void()> flip = [&undo, &flip] { undo.registerUndo(nullptr, flip); };
        undo.registerUndo(nullptr, flip); // opens the turn's group
        undo.beginUndoGrouping();
        undo.registerUndo(nullptr, flip);
        undo.endUndoGrouping();
        QCoreApplication::processEvents();
        undo.undo();
        undo.redo();
        QCOMPARE(seen,
                 (QStringList { Events::UndoManagerDidOpenUndoGroup, Events::UndoManagerDidOpenUndoGroup,
                                Events::UndoManagerDidUndoChange, Events::UndoManagerDidRedoChange }));
        EventBus::instance().remove(this);
    }

    void actionsOfATargetCanBeRemoved()
    {
        UndoManager undo;
        int a = 0, b = 0;
        undo.registerUndo(&a, [&a] { ++a; });
        undo.registerUndo(&b, [&b] { ++b; });
        QCoreApplication::processEvents();
        undo.registerUndo(&a, [&a] { ++a; });
        QCoreApplication::processEvents();
        undo.removeAllActionsWithTarget(&a);
        QCOMPARE(undo.undoLevels(), 1);
        undo.undo();
        QCOMPARE(a, 0);
        QCOMPARE(b, 1);
    }
};

QTEST_GUILESS_MAIN(TestUndoManager)
#include "tst_undomanager.moc"
