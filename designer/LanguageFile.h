#pragma once

#include <QHash>
#include <QString>
#include <memory>

class QWidget;
class RpMessageTable;

// A language file: sections of "Key=Value" lines that replace the captions, hints, items and lines of a
// window's named components. Section and key names compare ignoring case. The file is read as UTF-8, or as
// Windows-1252 when it is not valid UTF-8.
class TRpLanguageFile
{
public:
    static std::unique_ptr<TRpLanguageFile> fromText(const QByteArray &bytes);

    bool hasSection(const QString &section) const;
    bool contains(const QString &section, const QString &key) const;
    QString value(const QString &section, const QString &key) const;

    // Applies the section to a window: its own caption ("<Section>.Caption"), then for every named
    // component its caption, hint, items or lines. `engine`, when given, is a message table whose lines the
    // keys "<engineName>.Item<n>" replace.
    void apply(QWidget *window, const QString &section, RpMessageTable *engine = nullptr,
        const QString &engineName = QString()) const;

private:
    QHash<QString, QHash<QString, QString>> m_sections; // lower-cased section → lower-cased key → value
};

// The language file in use, read once per file name. A name that does not exist shows "File <name> not
// found!" as an error box (once, when it is first used) and translates nothing.
namespace LanguageFiles {
const TRpLanguageFile *use(const QString &fileName, QWidget *parent = nullptr);
// Forgets the file read last, so that the next use reads it again.
void reset();
} // namespace LanguageFiles
