#include "platform/IniFile.h"

#include "platform/Cp1252.h"
#include "platform/FileIO.h"

#include <QFile>
#include <QStringDecoder>

namespace {
// Settings files are small; anything larger is not one and is read as empty rather than held in memory.
constexpr qint64 kMaxIniSize = 16 * 1024 * 1024;

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// UTF-8, or Windows-1252 for a file written by a program of the old code page.
QString decodeSettings(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? Cp1252::decode(bytes) : text;
}
} // namespace

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName))
{
    QFile file(m_fileName);
    if (file.exists() && file.size() <= kMaxIniSize && file.open(QIODevice::ReadOnly))
        parse(decodeSettings(file.readAll()));
}

void IniFile::parse(const QString &text)
{
    m_sections.push_back(Section{});
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString raw = lines.at(i);
        if (raw.endsWith(QLatin1Char('\r')))
            raw.chop(1);
        if (i == lines.size() - 1 && raw.isEmpty())
            break; // the final line break
        const QString trimmed = raw.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.contains(QLatin1Char(']'))) {
            const QString name = trimmed.mid(1, trimmed.indexOf(QLatin1Char(']')) - 1).trimmed();
            m_sections.push_back(Section{name, raw, {}});
            continue;
        }
        const qsizetype equals = raw.indexOf(QLatin1Char('='));
        if (!trimmed.startsWith(QLatin1Char(';')) && equals > 0 && !raw.left(equals).trimmed().isEmpty()) {
            m_sections.back().lines.push_back(
                Line{raw.left(equals).trimmed(), raw.mid(equals + 1).trimmed(), QString()});
        } else {
            m_sections.back().lines.push_back(Line{QString(), QString(), raw});
        }
    }
}

const IniFile::Section *IniFile::findSection(const QString &name) const
{
    // The unnamed lines before the first section are not a section a caller can name.
    for (size_t i = 1; i < m_sections.size(); ++i)
        if (sameName(m_sections[i].name, name))
            return &m_sections[i];
    return nullptr;
}

IniFile::Section *IniFile::findSection(const QString &name)
{
    return const_cast<Section *>(std::as_const(*this).findSection(name));
}

const IniFile::Line *IniFile::findKey(const Section &section, const QString &key)
{
    for (const Line &line : section.lines)
        if (!line.key.isEmpty() && sameName(line.key, key))
            return &line;
    return nullptr;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Section *s = findSection(section);
    const Line *line = s ? findKey(*s, key) : nullptr;
    return line ? line->value : defaultValue;
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    const QString text = readString(section, key);
    bool ok = false;
    int value = text.toInt(&ok);
    if (!ok && text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = text.mid(2).toInt(&ok, 16);
    return ok ? value : defaultValue;
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    if (m_sections.empty())
        m_sections.push_back(Section{});
    Section *s = findSection(section);
    if (!s) {
        m_sections.push_back(Section{section, QLatin1Char('[') + section + QLatin1Char(']'), {}});
        s = &m_sections.back();
    }
    if (auto *line = const_cast<Line *>(findKey(*s, key))) {
        if (line->value == value.trimmed())
            return;
        line->value = value.trimmed();
    } else {
        // New keys go after the section's last key, before trailing blank lines and comments.
        auto at = s->lines.end();
        while (at != s->lines.begin() && std::prev(at)->key.isEmpty())
            --at;
        s->lines.insert(at, Line{key, value.trimmed(), QString()});
    }
    m_modified = true;
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (size_t i = 1; i < m_sections.size(); ++i)
        names << m_sections[i].name;
    return names;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList names;
    if (const Section *s = findSection(section))
        for (const Line &line : s->lines)
            if (!line.key.isEmpty())
                names << line.key;
    return names;
}

bool IniFile::sectionExists(const QString &section) const
{
    return findSection(section) != nullptr;
}

bool IniFile::valueExists(const QString &section, const QString &key) const
{
    const Section *s = findSection(section);
    return s && findKey(*s, key);
}

void IniFile::eraseSection(const QString &section)
{
    for (size_t i = 1; i < m_sections.size(); ++i) {
        if (sameName(m_sections[i].name, section)) {
            m_sections.erase(m_sections.begin() + qsizetype(i));
            m_modified = true;
            return;
        }
    }
}

void IniFile::deleteKey(const QString &section, const QString &key)
{
    Section *s = findSection(section);
    if (!s)
        return;
    for (auto it = s->lines.begin(); it != s->lines.end(); ++it) {
        if (!it->key.isEmpty() && sameName(it->key, key)) {
            s->lines.erase(it);
            m_modified = true;
            return;
        }
    }
}

QByteArray IniFile::toText() const
{
    QString text;
    for (const Section &section : m_sections) {
        if (!section.header.isEmpty())
            text += section.header + QStringLiteral("\r\n");
        for (const Line &line : section.lines)
            text += (line.key.isEmpty() ? line.raw : line.key + QLatin1Char('=') + line.value)
                + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

void IniFile::updateFile()
{
    if (!m_modified)
        return;
    FileIO::writeAtomically(m_fileName, toText());
    m_modified = false;
}
