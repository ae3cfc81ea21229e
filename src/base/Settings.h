#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

// The per-user settings store (an INI file under the XDG config folder).
// Values are read when needed and written at once; QSettings keeps its own cache.
class Settings
{
public:
    enum class Type { Text, Path, Integer, Date };

    struct Key
    {
        QString name;
        Type type;
        QVariant defaultValue; // invalid: the key has no stated default
        QString meaning;
    };

    // Key names, spelled as stored.
    static inline const QString DatabasePath = QStringLiteral("DatabasePath");
    static inline const QString DownloadPath = QStringLiteral("DownloadPath");
    static inline const QString firstRunDate = QStringLiteral("firstRunDate");
    static inline const QString defaultCurrencySymbol = QStringLiteral("defaultCurrencySymbol");
    static inline const QString logLevel = QStringLiteral("logLevel");
    static inline const QString dateFormatIndex = QStringLiteral("dateFormatIndex");
    static inline const QString decFormatIndex = QStringLiteral("decFormatIndex");
    static inline const QString colorSchemeIndex = QStringLiteral("colorSchemeIndex");
    static inline const QString viewMode = QStringLiteral("viewMode");
    static inline const QString photosAppDBPath = QStringLiteral("photosAppDBPath");
    static inline const QString defaultCameraUniqueIDForBarcodeScanning
        = QStringLiteral("defaultCameraUniqueIDForBarcodeScanning");
    static inline const QString oldDBPathNeedingDeletion = QStringLiteral("oldDBPathNeedingDeletion");
    static inline const QString messageCenterURL = QStringLiteral("messageCenterURL");

    // Every key the program knows, with its type and stated default.
    static const QList<Key> &catalogue();
    static const Key *find(const QString &name);

    // Points the store at another file (tests, the CLI's --settings option).
    // An empty path returns to the per-user default.
    static void setFilePath(const QString &path);
    static QString filePath();
    // Whether `path` may serve as the settings file: one that does not exist
    // yet (in a folder that does), an empty file, or a settings file as this
    // program writes them (INI lines under a [General] section, UTF-8, small).
    // Anything else (a folder, a pipe, a file that cannot be written, a file of
    // other content) is refused with the reason, so that it is never overwritten.
    static bool isUsableFile(const QString &path, QString *why);

    // The first failure to write a setting since clearWriteError(), described
    // for the user; empty when every write reached the file.
    static QString writeError();
    static void clearWriteError();

    static bool contains(const QString &key);
    // The stored value; an invalid QVariant when the key has no value.
    static QVariant value(const QString &key);
    // False (and writeError() says why) when the value did not reach the file.
    static bool setValue(const QString &key, const QVariant &value);
    static bool remove(const QString &key);

    // Typed reads. A missing key gives the stated default, else 0 / empty.
    static int integer(const QString &key);
    static QString text(const QString &key);
    static QDateTime date(const QString &key);

    // Parses `text` by the key's type, for the command line. Empty on failure.
    static QVariant parse(const QString &key, const QString &text, QString *error);
    static QString toText(const QString &key, const QVariant &value);
};
