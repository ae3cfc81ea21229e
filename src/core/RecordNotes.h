#pragma once

#include <QByteArray>
#include <QString>
#include <QTextBlockFormat>
#include <QVariant>

// The archive of a record's formatted notes: HTML as a Qt text document reads
// and writes it. Every archive is normalised to one paragraph style (no
// indents, left aligned, line spacing 1.75, no paragraph spacing, no tab stops,
// default tab interval 5 points) with no character formatting at all, so a
// normalised archive is determined by its plain text alone. List items keep
// their numbers and bullets as text, in the archive and in the plain text.
class RecordNotes
{
public:
    static constexpr double lineSpacing = 1.75;
    static constexpr double defaultTabInterval = 5.0;

    // The normalised archive of `archive` (bytes of HTML, or plain text; a QString
    // is taken as such bytes). No value or empty bytes give no notes (a null array).
    static QByteArray normalized(const QVariant &archive);
    // The archive of a plain text, one paragraph per line.
    static QByteArray fromPlainText(const QString &text);
    // The text of an archive without formatting (null for no notes), for search and export.
    static QString plainText(const QByteArray &archive);

    // The one paragraph style, for the widgets that edit notes. The default tab
    // interval belongs to the document (QTextOption::setTabStopDistance).
    static QTextBlockFormat paragraphFormat();
};
