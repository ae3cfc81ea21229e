#include "core/RecordNotes.h"

#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>

namespace {

// Written by hand rather than by QTextDocument::toHtml(), which names the
// application's default font and so would differ between the program and the
// command line.
const char kHead[]
    = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" \"http://www.w3.org/TR/REC-html40/strict.dtd\">\n"
      "<html><head><meta name=\"qrichtext\" content=\"1\" /><meta charset=\"utf-8\" />"
      "<style type=\"text/css\">\np, li { white-space: pre-wrap; }\n</style></head><body>\n";
const char kParagraph[] = "<p style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; "
                          "-qt-block-indent:0; text-indent:0px; line-height:175%;\">";
const char kEmptyParagraph[] = "<p style=\"-qt-paragraph-type:empty; margin-top:0px; margin-bottom:0px; "
                               "margin-left:0px; margin-right:0px; -qt-block-indent:0; text-indent:0px; "
                               "line-height:175%;\"><br /></p>";
const char kTail[] = "</body></html>";

// What a list item shows before its text: its number ("1.", "b.") or its bullet.
QString markerOf(const QTextList *list, const QTextBlock &block)
{
    switch (list->format().style()) {
    case QTextListFormat::ListDisc:
        return QStringLiteral("\u2022");
    case QTextListFormat::ListCircle:
        return QStringLiteral("\u25e6");
    case QTextListFormat::ListSquare:
        return QStringLiteral("\u25aa");
    default:
        return list->itemText(block);
    }
}

// The one paragraph style has no list indents, so the markers become text; a
// nested list is set off by one tab per level.
void writeListMarkers(QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextList *list = block.textList();
        if (!list)
            continue;
        const QString indent(std::max(0, list->format().indent() - 1), QLatin1Char('\t'));
        const QString marker = markerOf(list, block);
        QTextCursor(block).insertText(indent + marker + (block.length() > 1 ? QStringLiteral(" ") : QString()));
    }
}

QString textOf(const QByteArray &archive)
{
    const QString text = QString::fromUtf8(archive);
    if (!Qt::mightBeRichText(text))
        return text;
    QTextDocument document;
    document.setHtml(text);
    writeListMarkers(document);
    return document.toPlainText();
}

} // namespace

QByteArray RecordNotes::normalized(const QVariant &archive)
{
    if (!archive.isValid() || archive.isNull())
        return {};
    const QByteArray bytes
        = archive.typeId() == QMetaType::QString ? archive.toString().toUtf8() : archive.toByteArray();
    if (bytes.isEmpty())
        return {};
    return fromPlainText(textOf(bytes));
}

QByteArray RecordNotes::fromPlainText(const QString &text)
{
    QByteArray html(kHead);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            html += '\n';
        QString line = lines.at(i);
        line.remove(QLatin1Char('\r'));
        if (line.isEmpty()) {
            html += kEmptyParagraph;
            continue;
        }
        html += kParagraph;
        html += line.toHtmlEscaped().toUtf8();
        html += "</p>";
    }
    html += kTail;
    return html;
}

QString RecordNotes::plainText(const QByteArray &archive)
{
    if (archive.isNull())
        return {};
    const QString text = textOf(archive);
    return text.isNull() ? QString(QLatin1String("")) : text;
}

QTextBlockFormat RecordNotes::paragraphFormat()
{
    QTextBlockFormat format;
    format.setLeftMargin(0);
    format.setTextIndent(0);
    format.setRightMargin(0);
    format.setAlignment(Qt::AlignLeft);
    format.setLineHeight(lineSpacing * 100, QTextBlockFormat::ProportionalHeight);
    format.setTopMargin(0);
    format.setBottomMargin(0);
    format.setTabPositions({});
    return format;
}
