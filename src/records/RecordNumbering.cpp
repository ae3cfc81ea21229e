#include "records/RecordNumbering.h"

#include "base/Clock.h"
#include "core/Record.h"
#include "records/RecordPackageFiles.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>

namespace {

// The step to the next free record number: the last digit of the recordID text.
constexpr double kRecordNumberStep = 1e-6;

} // namespace

RecordNumbering::RecordNumbering(const QString &package)
    : m_package(package)
{
}

std::optional<double> RecordNumbering::makeRecordFolder(QString *error)
{
    double candidate = Clock::timeIntervalSinceReferenceDate();
    if (candidate <= m_lastRecordNumber)
        candidate = m_lastRecordNumber + kRecordNumberStep;
    for (int attempt = 0; attempt < 100000; ++attempt, candidate += kRecordNumberStep) {
        // The number is what its text says, so that both always name the same folder.
        const QString text = Record::recordIDText(candidate);
        candidate = text.toDouble();
        const QString folder = RecordPackageFiles::filesFolder(m_package, text);
        // A folder or thumbnail of that number belongs to another record (perhaps
        // a deleted one that undo may bring back): take the next free number.
        if (QFileInfo::exists(folder) || QFileInfo::exists(RecordPackageFiles::thumbnailPath(m_package, text)))
            continue;
        errno = 0;
        if (!QDir().mkdir(folder)) {
            *error = QStringLiteral("The folder \"%1\" could not be created: %2")
                         .arg(folder, errno ? qt_error_string(errno) : QStringLiteral("unknown error"));
            return std::nullopt;
        }
        m_lastRecordNumber = candidate;
        return candidate;
    }
    *error = QStringLiteral("No free record number near %1").arg(Record::recordIDText(candidate));
    return std::nullopt;
}
