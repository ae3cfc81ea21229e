#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ManagedObjectContext;
class Predicate;

// Fills a library that was just created with its defaults (locations, currency,
// payment methods, smart folders, categories, web groups of shops), and holds
// the state of the welcome sheet that follows: a main button ("Next" when an
// older library was found, "Finish" otherwise), the import page with its text,
// and the buttons that decline or accept the import. The sheet's widgets render
// this state and call the button actions.
class TBXFirstRunSetup : public QObject
{
    Q_OBJECT

public:
    struct Website
    {
        QString name;
        QString url;
        QString referralURL;
    };
    struct WebGroup
    {
        QString name;
        QList<Website> websites;
    };
    struct CategoryDefault
    {
        QString name;
        QString type;
    };

    static const QList<CategoryDefault> &defaultCategories();
    static const QList<WebGroup> &defaultWebGroups();
    // The predicates of the smart folders "Warranty Warning" and "Warranty Expired".
    static Predicate warrantyWarningPredicate();
    static Predicate warrantyExpiredPredicate();

    // Finds an older library for the welcome sheet: its path, or the empty text.
    using Locator = std::function<QString()>;
    // Imports the older library at the path.
    using Importer = std::function<void(const QString &path)>;
    static void setOldLibraryLocator(Locator locator);
    static void setOldLibraryImporter(Importer importer);

    static constexpr int WelcomePage = 0;
    static constexpr int ImportPage = 1;

    explicit TBXFirstRunSetup(ManagedObjectContext *context, QObject *parent = nullptr);
    ~TBXFirstRunSetup() override;

    // Creates every default and saves them in one transaction, with the
    // library's mark that its defaults are made. False when that save failed
    // (the defaults stay in the context for the next save).
    bool setUpDefaults();
    // Ends editing, processes pending changes and saves; the save error or none.
    std::optional<QString> commitChanges();

    // The sheet's interface was loaded: looks for an older library.
    void sheetDidLoad();
    QString mainButtonTitle() const
    {
        return m_oldLibrary.isEmpty() ? QStringLiteral("Finish") : QStringLiteral("Next");
    }
    // "Next" carries a right-pointing arrow to the right of its title.
    bool mainButtonHasArrow() const { return !m_oldLibrary.isEmpty(); }
    int currentPage() const { return m_page; }
    QString importPathTextString() const { return m_importPathTextString; }
    QString oldLibraryPath() const { return m_oldLibrary; }
    bool hasEnded() const { return m_ended; }

    void nextOrFinishButtonAction();
    void dontImportButtonAction();
    void importButtonAction();

signals:
    void pageChanged(int page);
    // Close the sheet and enable every top-level item of the main menu again.
    void sheetEnded();

private:
    void endSheet(bool post);

    ManagedObjectContext *m_context;
    QString m_oldLibrary;
    QString m_importPathTextString;
    int m_page = WelcomePage;
    bool m_ended = false;
};
