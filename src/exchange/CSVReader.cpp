#include "CSVReader.h"

#include <QFile>
#include <QStringDecoder>

namespace {

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

CSVReader::Result failure(const QString &error, int line)
{
    CSVReader::Result result;
    result.error = error;
    result.errorLine = line;
    return result;
}

} // namespace

CSVReader::Result CSVReader::read(const QByteArray &bytes, const Options &options)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        // The line of the first bytes that are not UTF-8.
        int lineNumber = 1;
        for (qsizetype i = 0, start = 0; i <= bytes.size(); ++i) {
            if (i == bytes.size() || bytes.at(i) == '\n') {
                QStringDecoder probe(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
                const QString probed = probe.decode(bytes.mid(start, i - start));
                if (probe.hasError())
                    break;
                ++lineNumber;
                start = i + 1;
            }
        }
        return failure(QStringLiteral("the text is not UTF-8"), lineNumber);
    }

    const QChar sep = options.separator;
    const QChar quote = QLatin1Char('"');
    const QChar backslash = QLatin1Char('\\');
    Result result;
    QStringList fields;
    QString value; // sanitized
    QString raw; // as written
    qsizetype i = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    const qsizetype n = text.size();
    int line = 1;
    int fieldLine = 1;
    int startLine = 1;
    bool lineHasText = false;

    auto endField = [&] {
        QString f = options.sanitize ? value : raw;
        if (options.trim)
            f = f.trimmed();
        fields.append(f);
        value.clear();
        raw.clear();
    };
    auto endLine = [&] {
        endField();
        if (lineHasText) {
            result.lines.append(fields);
            result.lineNumbers.append(startLine);
        }
        fields.clear();
        lineHasText = false;
    };
    // Steps over a line end at i (CRLF counts as one).
    auto skipLineEnd = [&] {
        if (text.at(i) == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        ++i;
        ++line;
    };
    auto escapable = [&](QChar c) { return c == quote || c == sep || c == backslash; };

    while (i < n) {
        // The start of a field: white space before an opening quote belongs to no value.
        qsizetype j = i;
        while (j < n && isBlank(text.at(j)))
            ++j;
        if (j < n && text.at(j) == quote) {
            lineHasText = true;
            fieldLine = line;
            raw += text.mid(i, j - i + 1);
            i = j + 1;
            bool closed = false;
            while (i < n) {
                const QChar c = text.at(i);
                if (c == quote) {
                    if (i + 1 < n && text.at(i + 1) == quote) {
                        value += quote;
                        raw += QStringLiteral("\"\"");
                        i += 2;
                        continue;
                    }
                    raw += quote;
                    ++i;
                    closed = true;
                    break;
                }
                if (isLineEnd(c)) {
                    // A line break inside quotes is part of the value; CRLF (a file
                    // saved with Windows line ends) becomes the LF the program uses.
                    const qsizetype from = i;
                    skipLineEnd();
                    const QString lineEnd = text.mid(from, i - from);
                    value += lineEnd == QLatin1String("\r\n") ? QStringLiteral("\n") : lineEnd;
                    raw += lineEnd;
                    continue;
                }
                value += c;
                raw += c;
                ++i;
            }
            if (!closed)
                return failure(QStringLiteral("a quoted field is not closed"), fieldLine);
            while (i < n && isBlank(text.at(i)))
                raw += text.at(i++);
            if (i < n && text.at(i) != sep && !isLineEnd(text.at(i)))
                return failure(QStringLiteral("text follows the closing quote of a field"), line);
        } else {
            while (i < n && text.at(i) != sep && !isLineEnd(text.at(i))) {
                const QChar c = text.at(i);
                lineHasText = true;
                if (c == backslash && options.backslashEscapes && i + 1 < n && escapable(text.at(i + 1))) {
                    value += text.at(i + 1);
                    raw += text.mid(i, 2);
                    i += 2;
                    continue;
                }
                value += c;
                raw += c;
                ++i;
            }
        }
        if (i >= n)
            break;
        if (text.at(i) == sep) {
            lineHasText = true;
            endField();
            ++i;
            continue;
        }
        endLine();
        skipLineEnd();
        startLine = line;
    }
    // The last line without its line end (after a separator at the very end: one empty field).
    if (lineHasText)
        endLine();
    return result;
}

CSVReader::Result CSVReader::readFile(const QString &path, const Options &options)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("the file cannot be read: %1").arg(file.errorString()), 0);
    return read(file.readAll(), options);
}
