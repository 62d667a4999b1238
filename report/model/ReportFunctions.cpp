#include "report/model/ReportFunctions.h"

ReportFunctions::ReportFunctions(QObject *parent) : RpPersistent(parent)
{
    m_entries = {{QStringLiteral("PAGENUMBER"), QStringLiteral("0")},
                 {QStringLiteral("COLUMNNUMBER"), QStringLiteral("0")},
                 {QStringLiteral("REPORTTITLE"), QStringLiteral("''")}};
}

int ReportFunctions::indexOf(const QString &name) const
{
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QString ReportFunctions::expression(const QString &name) const
{
    const int index = indexOf(name);
    return index < 0 ? QString() : m_entries[index].expression;
}

void ReportFunctions::addNamedExpression(const QString &name, const QString &expression)
{
    const int index = indexOf(name);
    if (index < 0)
        m_entries.append({name.toUpper(), expression});
    else
        m_entries[index].expression = expression;
    emit changed();
}

void ReportFunctions::removeNamedExpression(const QString &name)
{
    const int index = indexOf(name);
    if (index >= 0) {
        m_entries.removeAt(index);
        emit changed();
    }
}

void ReportFunctions::renameNamedExpression(int index, const QString &name)
{
    if (index < 0 || index >= m_entries.size())
        return;
    m_entries[index].name = name.toUpper();
    emit changed();
}

void ReportFunctions::clear()
{
    m_entries.clear();
    emit changed();
}

namespace {

StreamValue stringList(const QStringList &texts)
{
    StreamValue list;
    list.kind = StreamValue::Kind::List;
    for (const QString &text : texts)
        list.items.push_back(StreamValue::fromString(text));
    return list;
}

bool readStrings(const StreamValue &value, QStringList &texts)
{
    if (value.kind != StreamValue::Kind::List)
        return false;
    QStringList read;
    for (const StreamValue &item : value.items) {
        if (item.kind != StreamValue::Kind::String)
            return false;
        read.append(item.text);
    }
    texts = read;
    return true;
}

} // namespace

void ReportFunctions::writeDefinedProperties(std::vector<StreamProperty> &properties) const
{
    QStringList names;
    QStringList texts;
    for (const Entry &entry : m_entries) {
        names.append(entry.name);
        texts.append(entry.expression);
    }
    properties.push_back({QStringLiteral("Strings"), stringList(names)});
    properties.push_back({QStringLiteral("DATA"), stringList(texts)});
}

bool ReportFunctions::readDefinedProperty(const QString &name, const StreamValue &value, bool &ok)
{
    if (name.compare(u"Strings", Qt::CaseInsensitive) == 0) {
        ok = readStrings(value, m_readNames);
        m_namesRead = m_namesRead || ok;
        return true;
    }
    if (name.compare(u"DATA", Qt::CaseInsensitive) == 0) {
        ok = readStrings(value, m_readTexts);
        return true;
    }
    return false;
}

void ReportFunctions::loaded()
{
    if (!m_namesRead)
        return;
    // Names and texts pair by index; a name without a text gets an empty expression.
    m_entries.clear();
    for (qsizetype i = 0; i < m_readNames.size(); ++i) {
        const QString text = i < m_readTexts.size() ? m_readTexts[i] : QString();
        const int existing = indexOf(m_readNames[i]);
        if (existing >= 0)
            m_entries[existing].expression = text;
        else
            m_entries.append({m_readNames[i].toUpper(), text});
    }
    m_readNames.clear();
    m_readTexts.clear();
    m_namesRead = false;
    emit changed();
}
