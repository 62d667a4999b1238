#include "designer/FileHistory.h"

#include <QDir>

void TRpFileHistory::setMaxCount(int value)
{
    m_maxCount = value < 1 ? 1 : value;
    cut();
}

void TRpFileHistory::add(const QString &name)
{
    if (name.isEmpty())
        return;
    m_names.removeAll(name);
    m_names.prepend(name);
    cut();
}

void TRpFileHistory::remove(const QString &name)
{
    m_names.removeAll(name);
}

void TRpFileHistory::setNames(const QStringList &names)
{
    m_names.clear();
    for (const QString &name : names) {
        if (!name.isEmpty() && !m_names.contains(name))
            m_names << name;
    }
    cut();
}

QString TRpFileHistory::caption(int index) const
{
    if (index < 0 || index >= m_names.size())
        return {};
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shortened(m_names.at(index)));
}

QString TRpFileHistory::shortened(const QString &name)
{
    const QChar separator = QDir::separator();
    const qsizetype split = name.lastIndexOf(separator);
    if (split < 0)
        return name;
    QString folder = name.left(split);
    const QString file = name.mid(split + 1);
    bool dropped = false;
    while (folder.size() + file.size() >= kShortenFrom && folder.contains(separator)) {
        folder.truncate(folder.lastIndexOf(separator));
        dropped = true;
    }
    if (!dropped)
        return name;
    return folder + separator + QStringLiteral("...") + separator + file;
}

void TRpFileHistory::cut()
{
    while (m_names.size() > m_maxCount)
        m_names.removeLast();
}
