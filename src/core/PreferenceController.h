#pragma once

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

    static constexpr int PaneCount = 7;
    // The pane title by index; any index outside 1-6 is the payment methods pane.
    static QString paneTitle(int index);
    static int normalisedPane(int index);

    int selectedDateFormatIndex() const { return m_dateIndex; }
    int selectedDecFormatIndex() const { return m_decIndex; }
    int selectedColorSchemeIndex() const { return m_colorIndex; }
    int currentPane() const { return m_pane; }
    QString windowTitle() const { return paneTitle(m_pane); }
    QString selectedToolbarIdentifier() const { return QString::number(m_pane); }

    // Preferences window start: select the stored indexes, storing 0, 0 and 1
    // for those that have none. The window opens on pane 0.
    void startPreferencesWindow();

    void changeDateFormatIndex(int index);
    void changeDecFormatIndex(int index);
    void changeColorSchemeIndex(int index);
    void changePreferenceView(int index);

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
    int m_pane = 0;
    Saver m_saver;
    QLocale m_locale;
};
