#pragma once

#include <QHash>
#include <QString>

class QObject;
struct QMetaObject;

// Class name → constructor, for creating the objects named in an object block. Names compare without regard
// to case. Filled explicitly: registerAll() adds the report classes.
class ClassRegistry
{
public:
    using Factory = QObject *(*)(QObject *parent);

    template<typename T>
    void add()
    {
        add(&T::staticMetaObject, [](QObject *parent) -> QObject * { return new T(parent); });
    }
    void add(const QMetaObject *meta, Factory factory);

    bool contains(const QString &className) const;
    // A new object of the class, parented to `parent`; null for a class that is not registered.
    QObject *create(const QString &className, QObject *parent = nullptr) const;

private:
    struct Entry
    {
        const QMetaObject *meta;
        Factory factory;
    };
    QHash<QString, Entry> m_entries; // keyed by the lower-cased class name
};

// The registry of the report classes; empty until registerAll() ran.
ClassRegistry &reportClasses();
// Registers every report class in reportClasses(); running it again changes nothing.
void registerAll();
