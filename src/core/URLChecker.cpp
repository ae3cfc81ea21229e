#include "core/URLChecker.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// Another scheme followed by "//", or one of the schemes that have no host part.
bool hasOtherScheme(const QString &text)
{
    static const QRegularExpression withAuthority(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    static const QRegularExpression withoutAuthority(QStringLiteral("^(mailto|about|tel):"),
                                                     QRegularExpression::CaseInsensitiveOption);
    return withAuthority.match(text).hasMatch() || withoutAuthority.match(text).hasMatch();
}

} // namespace

QString URLChecker::validateURLString(const QString &text)
{
    const QString trimmed = text.trimmed();
    const QStringList pieces = trimmed.split(u'/', Qt::SkipEmptyParts);
    if (pieces.isEmpty())
        return QString();
    const QString first = pieces.constFirst().toLower();
    const bool web = first == QLatin1String("http:") || first == QLatin1String("https:");
    if (!web && hasOtherScheme(trimmed))
        return trimmed;
    QString result;
    qsizetype hostIndex = 0;
    if (web) {
        if (pieces.size() < 2)
            return QString();
        result = first + QLatin1String("//");
        hostIndex = 1;
    } else {
        result = QStringLiteral("http://");
    }
    const QString &host = pieces.at(hostIndex);
    result += host;
    if (!host.contains(u'.'))
        result += QLatin1String(".com");
    for (qsizetype i = hostIndex + 1; i < pieces.size(); ++i)
        result += u'/' + pieces.at(i);
    return result;
}
