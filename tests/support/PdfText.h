#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QStandardPaths>
#include <QStringList>
#include <vector>

// What a PDF file shows, as poppler's "pdftotext -bbox" reads it: every page's size in points and every word
// with its page and box (points from the page's top-left corner).
struct PdfText
{
    struct Word
    {
        int page = 0; // from 1
        QString text;
        double xMin = 0;
        double yMin = 0;
        double xMax = 0;
        double yMax = 0;
    };

    bool read = false;
    QString title;
    std::vector<QSizeF> pages;
    std::vector<Word> words;

    static bool available() { return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(); }

    static PdfText of(const QString &fileName)
    {
        PdfText pdf;
        QProcess process;
        process.start(
            QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), fileName, QStringLiteral("-") });
        if (!process.waitForFinished(30000) || process.exitCode() != 0)
            return pdf;
        const QString html = QString::fromUtf8(process.readAllStandardOutput());
        static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
        pdf.title = unescape(title.match(html).captured(1));
        static const QRegularExpression page(
            QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">"));
        static const QRegularExpression word(
            QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                           "yMax=\"([0-9.]+)\">([^<]*)</word>"));
        qsizetype at = 0;
        while (true) {
            const QRegularExpressionMatch p = page.match(html, at);
            if (!p.hasMatch())
                break;
            pdf.pages.push_back(QSizeF(p.captured(1).toDouble(), p.captured(2).toDouble()));
            const qsizetype end = html.indexOf(QStringLiteral("</page>"), p.capturedEnd());
            auto words = word.globalMatch(html.mid(p.capturedEnd(), end < 0 ? -1 : end - p.capturedEnd()));
            while (words.hasNext()) {
                const QRegularExpressionMatch w = words.next();
                pdf.words.push_back(
                    { int(pdf.pages.size()), unescape(w.captured(5)), w.captured(1).toDouble(),
                        w.captured(2).toDouble(), w.captured(3).toDouble(), w.captured(4).toDouble() });
            }
            at = end < 0 ? html.size() : end;
        }
        pdf.read = true;
        return pdf;
    }

    // The words of a page joined by blanks, in reading order.
    QString pageText(int number) const
    {
        QStringList list;
        for (const Word &w : words) {
            if (w.page == number)
                list << w.text;
        }
        return list.join(u' ');
    }

    // The first word with this text (on any page when `page` is 0); null when there is none.
    const Word *find(const QString &text, int page = 0) const
    {
        for (const Word &w : words) {
            if (w.text == text && (page == 0 || w.page == page))
                return &w;
        }
        return nullptr;
    }

private:
    static QString unescape(QString text)
    {
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
        text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        text.replace(QStringLiteral("&apos;"), QStringLiteral("'"));
        text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        return text;
    }
};
