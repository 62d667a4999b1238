#pragma once

#include <QString>
#include <QStringList>

// The designer's open-file history: the last report files, newest first, at most MaxCount of them.
class TRpFileHistory
{
public:
    static constexpr int kDefaultMaxCount = 5;
    // Names whose folder part and file name together reach this length are shown shortened.
    static constexpr int kShortenFrom = 26;

    const QStringList &names() const { return m_names; }
    int maxCount() const { return m_maxCount; }
    void setMaxCount(int value);
    int count() const { return int(m_names.size()); }

    // Puts the name at the top (moving it there when listed); an empty name is not added.
    void add(const QString &name);
    void remove(const QString &name);
    void setNames(const QStringList &names);
    void clear() { m_names.clear(); }

    // The menu caption of entry `index` (0 for the newest): "&1 " and the shortened name.
    QString caption(int index) const;
    // Folders are dropped from the end of the folder part until the folder part and the file name together
    // are shorter than kShortenFrom characters or no folder separator is left; a shortened name shows the
    // remaining folder part, "..." between separators, and the file name.
    static QString shortened(const QString &name);

private:
    void cut();

    QStringList m_names;
    int m_maxCount = kDefaultMaxCount;
};
