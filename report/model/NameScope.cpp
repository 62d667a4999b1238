#include "report/model/NameScope.h"

#include <QObject>

NameScope::NameScope(const QObject *root)
{
    if (!root)
        return;
    reserve(root->objectName());
    const QList<QObject *> all = root->findChildren<QObject *>();
    for (const QObject *object : all)
        reserve(object->objectName());
}

bool NameScope::isFree(const QString &name) const
{
    return !m_used.contains(name.toLower());
}

void NameScope::reserve(const QString &name)
{
    if (!name.isEmpty())
        m_used.insert(name.toLower());
}

QString NameScope::numbered(const QString &base)
{
    const QString key = base.toLower();
    qint64 n = m_next.value(key, 1);
    while (!isFree(base + QString::number(n)))
        ++n;
    m_next.insert(key, n + 1);
    const QString name = base + QString::number(n);
    reserve(name);
    return name;
}

QString NameScope::unique(const QString &wanted, bool allowUnchanged)
{
    if (wanted.isEmpty())
        return wanted;
    if (allowUnchanged && isFree(wanted)) {
        reserve(wanted);
        return wanted;
    }
    qsizetype end = wanted.size();
    while (end > 0 && wanted[end - 1].isDigit())
        --end;
    return numbered(wanted.left(end));
}

const QObject *nameScopeRoot(const QObject *object)
{
    while (object && object->parent())
        object = object->parent();
    return object;
}
