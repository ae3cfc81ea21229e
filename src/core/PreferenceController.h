#pragma once

#include <QList>
#include <QLocale>
#include <QObject>
#include <QStringList>

#include <functional>

// The preferences window's logic: format, colour scheme and pane selection, the
// first-run formats and the save step. The window renders this state.
class PreferenceController : public QObject
{
    Q_OBJECT

public:
    explicit PreferenceController(QObject *parent = nullptr);
    ~PreferenceController() override;

    // Menu texts; the index of an entry is the stored value.
    static QStringList dateFormatMenu();
    static QStringList decFormatMenu();
    static QStringList colorSchemeMenu();

    // The panes in toolbar order. A pane's index in this order is its number:
    // its toolbar item's identifier is that number as text ("0" to "6").
    enum class Pane {
        PaymentMethods,
        Insurance,
        Locations,
        Currencies,
        Websites,
        Database,
        Misc,
    };
    Q_ENUM(Pane)
    static constexpr int PaneCount = int(Pane::Misc) + 1;
    static QList<Pane> panes();
    static QString paneTitle(Pane pane);
    static QString toolbarIdentifier(Pane pane);
    // The pane of a number; any number outside 1-6 is the payment methods pane.
    static Pane paneFromIndex(int index);

    int selectedDateFormatIndex() const { return m_dateIndex; }
    int selectedDecFormatIndex() const { return m_decIndex; }
    int selectedColorSchemeIndex() const { return m_colorIndex; }
    Pane currentPane() const { return m_pane; }
    QString windowTitle() const { return paneTitle(m_pane); }
    QString selectedToolbarIdentifier() const { return toolbarIdentifier(m_pane); }

    // Preferences window start: select the stored indexes, storing 0, 0 and 1
    // for those that have none. The window opens on the payment methods pane.
    void startPreferencesWindow();

    void changeDateFormatIndex(int index);
    void changeDecFormatIndex(int index);
    void changeColorSchemeIndex(int index);
    void changePreferenceView(Pane pane);

    // On TBXStashly2FirstRun: formats from the locale's decimal separator, and the
    // inbox's sidebar favourite removed.
    void handleFirstRunDefaultsSetup();

    // The save step. Without a saver installed there is nothing to save.
    using Saver = std::function<bool(QString *error)>;
    void setSaver(Saver saver) { m_saver = std::move(saver); }
    bool commitChanges(QString *error = nullptr);

    // The locale whose decimal separator decides the first-run formats.
    void setLocale(const QLocale &locale) { m_locale = locale; }

signals:
    void stateChanged();

private:
    int m_dateIndex = 1;
    int m_decIndex = 0;
    int m_colorIndex = 1;
    Pane m_pane = Pane::PaymentMethods;
    Saver m_saver;
    QLocale m_locale;
};
