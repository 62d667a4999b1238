#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// A settings file in the classic INI form: "[Section]" lines, "Key=Value" lines, ";" comments, read as UTF-8 or,
// when that is not valid, as Windows-1252, and written as UTF-8. Sections and
// keys compare without case; values are kept as they stand (only the blanks around them are dropped).
// Changes stay in memory until updateFile(), which rewrites the whole file atomically, keeping the sections,
// keys and comments it did not touch in their order.
class IniFile
{
public:
    // Reads the file when it exists; a missing file is an empty one. Lines that are neither a section, a
    // key nor a comment are kept as they stand.
    explicit IniFile(QString fileName);

    const QString &fileName() const { return m_fileName; }

    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);

    QStringList sections() const;
    QStringList keys(const QString &section) const;
    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    void eraseSection(const QString &section);
    void deleteKey(const QString &section, const QString &key);

    bool modified() const { return m_modified; }
    // Writes the file when anything changed; throws EFileError when it cannot.
    void updateFile();
    QByteArray toText() const;

private:
    struct Line
    {
        QString key; // empty for comments and other lines
        QString value;
        QString raw; // the line as read, for lines that are not keys
    };
    struct Section
    {
        QString name;
        QString header; // the "[Name]" line as read (empty for the lines before the first section)
        std::vector<Line> lines;
    };

    void parse(const QString &text);
    const Section *findSection(const QString &name) const;
    Section *findSection(const QString &name);
    static const Line *findKey(const Section &section, const QString &key);

    QString m_fileName;
    std::vector<Section> m_sections;
    bool m_modified = false;
};
