#include "base/Settings.h"

#include "base/PlatformPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>

#include <memory>

namespace {

QMutex &mutex()
{
    static QMutex m;
    return m;
}

QString &overridePath()
{
    static QString path;
    return path;
}

std::unique_ptr<QSettings> &store()
{
    static std::unique_ptr<QSettings> s;
    return s;
}

QString &lastWriteError()
{
    static QString error;
    return error;
}

// Callers hold the mutex.
bool synced(QSettings &s)
{
    s.sync();
    if (s.status() == QSettings::NoError)
        return true;
    if (lastWriteError().isEmpty())
        lastWriteError() = QStringLiteral("The settings file %1 could not be written.").arg(s.fileName());
    return false;
}

QString defaultFilePath()
{
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        config = QDir::tempPath();
    return QDir(config).filePath(QStringLiteral("Stashly2/Stashly2.ini"));
}

// Callers hold the mutex.
QSettings &settingsLocked()
{
    auto &s = store();
    if (!s) {
        const QString path = overridePath().isEmpty() ? defaultFilePath() : overridePath();
        s = std::make_unique<QSettings>(path, QSettings::IniFormat);
    }
    return *s;
}

} // namespace

const QList<Settings::Key> &Settings::catalogue()
{
    static const QList<Key> keys = {
        { DatabasePath, Type::Path, {}, QStringLiteral("where the library package lies") },
        { DownloadPath, Type::Path, {}, QStringLiteral("where web downloads are saved") },
        { firstRunDate, Type::Date, {}, QStringLiteral("first use of this library") },
        { defaultCurrencySymbol, Type::Text, {}, QStringLiteral("long form of the default currency") },
        { logLevel, Type::Integer, 0, QStringLiteral("how much is written to the log (0-2)") },
        { dateFormatIndex, Type::Integer, {}, QStringLiteral("date display format (0-2)") },
        { decFormatIndex, Type::Integer, {}, QStringLiteral("decimal and grouping symbols (0-1)") },
        { colorSchemeIndex, Type::Integer, 1, QStringLiteral("colour scheme of the detail card") },
        { viewMode, Type::Integer, {}, QStringLiteral("0 icon view, 1 list view, 2 enhanced view") },
        { photosAppDBPath, Type::Path, {}, QStringLiteral("the photo library database chosen by the user") },
        { defaultCameraUniqueIDForBarcodeScanning, Type::Text, {}, QStringLiteral("camera chosen for scanning") },
        { oldDBPathNeedingDeletion, Type::Path, {}, QStringLiteral("a replaced library to delete after a restore") },
        { messageCenterURL, Type::Text, {}, QStringLiteral("address of the message of the day; empty: none") },
    };
    return keys;
}

const Settings::Key *Settings::find(const QString &name)
{
    for (const Key &key : catalogue())
        if (key.name == name)
            return &key;
    return nullptr;
}

void Settings::setFilePath(const QString &path)
{
    QMutexLocker lock(&mutex());
    if (store())
        store()->sync();
    store().reset();
    overridePath() = path;
}

QString Settings::filePath()
{
    QMutexLocker lock(&mutex());
    return settingsLocked().fileName();
}

bool Settings::contains(const QString &key)
{
    QMutexLocker lock(&mutex());
    return settingsLocked().contains(key);
}

QVariant Settings::value(const QString &key)
{
    QMutexLocker lock(&mutex());
    return settingsLocked().value(key);
}

bool Settings::setValue(const QString &key, const QVariant &value)
{
    QMutexLocker lock(&mutex());
    QSettings &s = settingsLocked();
    s.setValue(key, value);
    return synced(s);
}

bool Settings::remove(const QString &key)
{
    QMutexLocker lock(&mutex());
    QSettings &s = settingsLocked();
    s.remove(key);
    return synced(s);
}

QString Settings::writeError()
{
    QMutexLocker lock(&mutex());
    return lastWriteError();
}

void Settings::clearWriteError()
{
    QMutexLocker lock(&mutex());
    lastWriteError().clear();
}

bool Settings::isUsableFile(const QString &path, QString *why)
{
    const auto refuse = [why](const QString &text) {
        if (why)
            *why = text;
        return false;
    };
    if (path.trimmed().isEmpty())
        return refuse(QStringLiteral("No settings file was given: --settings needs a path."));
    const QFileInfo info(path);
    if (!info.exists()) {
        if (info.isSymLink())
            return refuse(QStringLiteral("The settings file %1 is a symbolic link to nothing.").arg(path));
        const QFileInfo folder(info.absolutePath());
        if (!folder.isDir())
            return refuse(QStringLiteral("The settings file %1 cannot be made: there is no folder %2.")
                              .arg(path, folder.filePath()));
        if (!folder.isWritable())
            return refuse(QStringLiteral("The settings file %1 cannot be made: the folder %2 is not writable.")
                              .arg(path, folder.filePath()));
        return true;
    }
    if (info.isDir())
        return refuse(QStringLiteral("%1 is a folder, not a settings file.").arg(path));
    if (!info.isFile())
        return refuse(QStringLiteral("%1 is not a regular file, so it cannot be a settings file.").arg(path));
    if (!info.isWritable())
        return refuse(QStringLiteral("The settings file %1 cannot be written.").arg(path));
    constexpr qint64 kLargest = 1 << 20;
    const QString notOurs = QStringLiteral("%1 is not a Stashly settings file; it is left as it is.").arg(path);
    if (info.size() > kLargest)
        return refuse(notOurs);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("The settings file %1 cannot be read: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (bytes.trimmed().isEmpty())
        return true;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError() || bytes.contains('\0'))
        return refuse(notOurs);
    static const QRegularExpression line(QStringLiteral(R"(^\s*(|[;#].*|\[[^\]]+\]|[^=\s][^=]*=.*)\s*$)"));
    bool general = false;
    for (const QString &l : text.split(QLatin1Char('\n'))) {
        if (!line.match(l).hasMatch())
            return refuse(notOurs);
        general = general || l.trimmed() == QLatin1String("[General]");
    }
    return general || refuse(notOurs);
}

int Settings::integer(const QString &key)
{
    const QVariant v = value(key);
    if (v.isValid()) {
        bool ok = false;
        const int i = v.toInt(&ok);
        if (ok)
            return i;
    }
    const Key *k = find(key);
    return k && k->defaultValue.isValid() ? k->defaultValue.toInt() : 0;
}

QString Settings::text(const QString &key)
{
    const QVariant v = value(key);
    if (v.isValid())
        return v.toString();
    const Key *k = find(key);
    return k && k->defaultValue.isValid() ? k->defaultValue.toString() : QString();
}

QDateTime Settings::date(const QString &key)
{
    const QVariant v = value(key);
    if (v.canConvert<QDateTime>())
        return v.toDateTime();
    return {};
}

QVariant Settings::parse(const QString &key, const QString &text, QString *error)
{
    const Key *k = find(key);
    const Type type = k ? k->type : Type::Text;
    switch (type) {
    case Type::Integer: {
        bool ok = false;
        const int i = text.trimmed().toInt(&ok);
        if (!ok) {
            if (error)
                *error = QStringLiteral("%1 takes a whole number, not \"%2\"").arg(key, text);
            return {};
        }
        return i;
    }
    case Type::Date: {
        const QDateTime dt = QDateTime::fromString(text.trimmed(), Qt::ISODate);
        if (!dt.isValid()) {
            if (error)
                *error = QStringLiteral("%1 takes an ISO 8601 date, not \"%2\"").arg(key, text);
            return {};
        }
        return dt;
    }
    case Type::Path:
    case Type::Text:
        return text;
    }
    return text;
}

QString Settings::toText(const QString &key, const QVariant &value)
{
    if (!value.isValid())
        return {};
    const Key *k = find(key);
    if (k && k->type == Type::Date)
        return value.toDateTime().toUTC().toString(Qt::ISODate);
    return value.toString();
}
