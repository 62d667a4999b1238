#include "report/elements/RtfText.h"

#include "platform/Cp1252.h"

#include <QTextDocument>

#include <vector>

bool isRtfText(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    return QStringView(text).mid(start).startsWith(u"{\\rtf");
}

namespace {

struct Style
{
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0; // 0: the document's own size
    bool skip = false; // inside a destination that holds no text
    int fallbackChars = 1; // characters after \uN that stand in for it
};

// Destinations whose content is not text of the document.
bool isSkippedDestination(QStringView word)
{
    static const char *const skipped[] = { "fonttbl", "colortbl", "stylesheet", "info", "pict", "object",
        "header", "footer", "headerl", "headerr", "headerf", "footerl", "footerr", "footerf", "listtable",
        "listoverridetable", "generator", "xmlnstbl", "themedata", "colorschememapping", "latentstyles",
        "rsidtbl", "datastore", "fldinst", "filetbl", "revtbl", "pn", "bkmkstart", "bkmkend", "footnote",
        "annotation" };
    for (const char *name : skipped)
        if (word == QLatin1String(name))
            return true;
    return false;
}

class HtmlWriter
{
public:
    void text(const QString &piece, const Style &style)
    {
        if (piece.isEmpty() || style.skip)
            return;
        openParagraph();
        m_html += QStringLiteral("<span style=\"");
        if (style.bold)
            m_html += QStringLiteral("font-weight:bold;");
        if (style.italic)
            m_html += QStringLiteral("font-style:italic;");
        if (style.underline)
            m_html += QStringLiteral("text-decoration:underline;");
        if (style.halfPoints > 0)
            m_html += QStringLiteral("font-size:%1pt;").arg(style.halfPoints / 2.0);
        m_html += QStringLiteral("\">") + piece.toHtmlEscaped() + QStringLiteral("</span>");
    }
    void lineBreak(const Style &style)
    {
        if (style.skip)
            return;
        openParagraph();
        m_html += QStringLiteral("<br/>");
    }
    void paragraph(const Style &style)
    {
        if (style.skip)
            return;
        openParagraph();
        closeParagraph();
    }
    void setAlignment(const char *alignment) { m_alignment = QLatin1String(alignment); }
    QString finish()
    {
        closeParagraph();
        return QStringLiteral("<html><body>") + m_html + QStringLiteral("</body></html>");
    }

private:
    void openParagraph()
    {
        if (m_open)
            return;
        // RTF text is literal: runs of spaces and tabs stay as they are.
        m_html
            += QStringLiteral("<p style=\"margin:0; white-space:pre-wrap\" align=\"%1\">").arg(m_alignment);
        m_open = true;
    }
    void closeParagraph()
    {
        if (m_open)
            m_html += QStringLiteral("</p>");
        m_open = false;
    }

    QString m_html;
    QString m_alignment = QStringLiteral("left");
    bool m_open = false;
};

} // namespace

QString rtfToHtml(const QString &rtf)
{
    HtmlWriter writer;
    std::vector<Style> stack { Style() };
    QString pending; // text in the current style, written when the style changes
    int fallbackLeft = 0; // characters still to drop after \uN
    auto flush = [&] {
        writer.text(pending, stack.back());
        pending.clear();
    };
    auto append = [&](QChar c) {
        if (fallbackLeft > 0) {
            --fallbackLeft;
            return;
        }
        if (!stack.back().skip)
            pending += c;
    };
    bool groupStart = false; // the last token opened a group
    const qsizetype n = rtf.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = rtf.at(i);
        if (c == u'{') {
            flush();
            stack.push_back(stack.back());
            groupStart = true;
            ++i;
            continue;
        }
        if (c == u'}') {
            flush();
            if (stack.size() > 1)
                stack.pop_back();
            groupStart = false;
            ++i;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            ++i;
            continue;
        }
        if (c != u'\\') {
            append(c);
            groupStart = false;
            ++i;
            continue;
        }
        // A control symbol or word.
        if (i + 1 >= n)
            break;
        const QChar next = rtf.at(i + 1);
        if (!next.isLetter()) {
            i += 2;
            if (next == u'\'') {
                bool ok = false;
                const int code = rtf.mid(i, 2).toInt(&ok, 16);
                i += 2;
                if (ok) {
                    const char byte = char(code);
                    const QString decoded = Cp1252::decode(QByteArrayView(&byte, 1));
                    if (!decoded.isEmpty())
                        append(decoded.at(0));
                }
            } else if (next == u'*') {
                if (groupStart)
                    stack.back().skip = true; // an optional destination this reader does not know
            } else if (next == u'~') {
                append(QChar(0x00A0));
            } else if (next == u'_') {
                append(u'-');
            } else if (next == u'\\' || next == u'{' || next == u'}') {
                append(next);
            } else if (next == u'\r' || next == u'\n') {
                flush();
                writer.paragraph(stack.back());
            }
            groupStart = false;
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && j - i <= 32 && rtf.at(j).isLetter() && rtf.at(j).unicode() < 128)
            ++j;
        const QStringView word = QStringView(rtf).mid(i + 1, j - i - 1);
        qsizetype k = j;
        if (k < n && rtf.at(k) == u'-')
            ++k;
        while (k < n && k - j <= 10 && rtf.at(k).isDigit())
            ++k;
        bool hasParameter = false;
        const int parameter = rtf.mid(j, k - j).toInt(&hasParameter);
        if (k < n && rtf.at(k) == u' ')
            ++k; // the delimiting space belongs to the control word
        i = k;
        const bool wasGroupStart = groupStart;
        groupStart = false;
        Style &style = stack.back();
        auto toggle = [&](bool &flag) {
            const bool on = !hasParameter || parameter != 0;
            if (flag != on) {
                flush();
                flag = on;
            }
        };
        if (wasGroupStart && isSkippedDestination(word)) {
            flush();
            style.skip = true;
        } else if (word == u"par") {
            flush();
            writer.paragraph(style);
        } else if (word == u"line") {
            flush();
            writer.lineBreak(style);
        } else if (word == u"tab") {
            append(u'\t');
        } else if (word == u"b") {
            toggle(style.bold);
        } else if (word == u"i") {
            toggle(style.italic);
        } else if (word == u"ul") {
            toggle(style.underline);
        } else if (word == u"ulnone") {
            flush();
            style.underline = false;
        } else if (word == u"plain") {
            flush();
            style.bold = style.italic = style.underline = false;
            style.halfPoints = 0;
        } else if (word == u"fs" && hasParameter) {
            flush();
            style.halfPoints = std::clamp(parameter, 0, 3200);
        } else if (word == u"pard") {
            flush();
            writer.setAlignment("left");
        } else if (word == u"ql") {
            writer.setAlignment("left");
        } else if (word == u"qc") {
            writer.setAlignment("center");
        } else if (word == u"qr") {
            writer.setAlignment("right");
        } else if (word == u"qj") {
            writer.setAlignment("justify");
        } else if (word == u"uc" && hasParameter) {
            style.fallbackChars = std::clamp(parameter, 0, 10);
        } else if (word == u"u" && hasParameter) {
            append(QChar(char16_t(parameter < 0 ? parameter + 65536 : parameter)));
            fallbackLeft = style.fallbackChars;
        } else if (word == u"emdash") {
            append(QChar(0x2014));
        } else if (word == u"endash") {
            append(QChar(0x2013));
        } else if (word == u"bullet") {
            append(QChar(0x2022));
        } else if (word == u"lquote") {
            append(QChar(0x2018));
        } else if (word == u"rquote") {
            append(QChar(0x2019));
        } else if (word == u"ldblquote") {
            append(QChar(0x201C));
        } else if (word == u"rdblquote") {
            append(QChar(0x201D));
        }
        // Every other control word changes nothing this reader shows.
    }
    flush();
    return writer.finish();
}

void setRichTextContent(QTextDocument &document, const QString &text)
{
    if (isRtfText(text))
        document.setHtml(rtfToHtml(text));
    else if (Qt::mightBeRichText(text))
        document.setHtml(text);
    else
        document.setPlainText(text);
}
