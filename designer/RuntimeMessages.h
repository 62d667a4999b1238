#pragma once

#include <QString>
#include <QStringList>

// The designer's message table: lines of a key, "=" and a text. Texts are looked up by key (ignoring case);
// a key that is missing shows as "[" key "]". A language file may replace whole lines by their number, key
// included, so the table is kept as its lines.
class RpMessageTable
{
public:
    // The designer's own English table.
    static RpMessageTable designerDefaults();

    RpMessageTable() = default;
    explicit RpMessageTable(QStringList lines)
        : m_lines(std::move(lines))
    { }

    const QStringList &lines() const { return m_lines; }
    void setLines(const QStringList &lines) { m_lines = lines; }
    // Replaces the line numbered from 1; a number past the end is ignored.
    void replaceLine(int number, const QString &line);

    bool contains(const QString &key) const;
    // The text of the key, or "[key]".
    QString text(const QString &key) const;
    // The text as a pattern: every "%s" becomes `argument`, literally; nothing else in the text or in the
    // argument is interpreted.
    QString format(const QString &key, const QString &argument) const;

private:
    QStringList m_lines;
};

// Substitutes `argument` for every "%s" of `pattern`, in one pass, so an argument holding "%s" or "%d" stays
// as it is.
QString substitutePattern(const QString &pattern, const QString &argument);
