#pragma once

#include <QString>

class QTextDocument;

// Rich text written in the Rich Text Format, as the rich-text elements of older report files hold it.
bool isRtfText(const QString &text);

// The text, paragraphs, paragraph alignment, bold, italic, underline and font sizes of an RTF text as HTML
// the platform's rich-text formatter reads. Tables of fonts, colours and styles, pictures and other
// destinations are left out. Read in one pass; any text gives some HTML.
QString rtfToHtml(const QString &rtf);

// Puts a rich-text element's text into a document: RTF converted, HTML as HTML, anything else as plain text.
void setRichTextContent(QTextDocument &document, const QString &text);
