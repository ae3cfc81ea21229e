#include "CSVWriter.h"

namespace CSVWriter {

namespace {

bool needsQuotes(const QString &text)
{
    for (const QChar c : text) {
        switch (c.unicode()) {
        case ',':
        case '"':
        case '\\': // bare, it would escape the next character for our own reader
        case 0x000A: // line feed
        case 0x000B: // vertical tab
        case 0x000C: // form feed
        case 0x000D: // carriage return
        case 0x0085: // next line
        case 0x2028: // line separator
        case 0x2029: // paragraph separator
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace

QString field(const QString &text)
{
    if (!needsQuotes(text))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString line(const QStringList &fields)
{
    QStringList written;
    written.reserve(fields.size());
    for (const QString &f : fields)
        written.append(field(f));
    return written.join(QLatin1Char(',')) + QLatin1Char('\n');
}

} // namespace CSVWriter
