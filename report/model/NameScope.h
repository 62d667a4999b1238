#pragma once

#include <QHash>
#include <QSet>
#include <QString>

class QObject;

// The names in use under one root object, for giving objects unique names: a wanted name that is free is
// used unchanged (where the caller allows it); otherwise its trailing digits are stripped and the smallest
// number from 1 upwards that makes it free is appended. Names compare without regard to case. Stays linear
// when many objects share a base name: each base remembers where its search stopped.
class NameScope
{
public:
    NameScope() = default;
    // Every name of `root` and of all its descendants.
    explicit NameScope(const QObject *root);

    bool isFree(const QString &name) const;
    void reserve(const QString &name);
    // Returns the unique name and reserves it. An empty wanted name stays empty.
    QString unique(const QString &wanted, bool allowUnchanged = true);
    // Base name plus the first free number from 1 ("DetailBand1").
    QString numbered(const QString &base);

private:
    QSet<QString> m_used;
    QHash<QString, qint64> m_next;
};

// The root of the naming scope an object belongs to: its topmost ancestor.
const QObject *nameScopeRoot(const QObject *object);
