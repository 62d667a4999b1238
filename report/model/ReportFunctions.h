#pragma once

#include "report/notation/StreamHooks.h"

#include <QStringList>

// The report's named expressions (`Functions`): upper-cased names, each with its expression text. Streamed
// as the names ("Strings") and the texts ("DATA") in the same order; the two are paired after both are read.
class ReportFunctions : public RpPersistent
{
    Q_OBJECT

public:
    explicit ReportFunctions(QObject *parent = nullptr);

    struct Entry
    {
        QString name;
        QString expression;
        bool operator==(const Entry &) const = default;
    };

    const QList<Entry> &entries() const { return m_entries; }
    int indexOf(const QString &name) const; // case-insensitive, −1 when missing
    QString expression(const QString &name) const;
    // Adds the name (upper-cased) when missing, else replaces its expression.
    void addNamedExpression(const QString &name, const QString &expression);
    void removeNamedExpression(const QString &name);
    // Gives the entry at `index` another name (upper-cased), keeping its place in the list.
    void renameNamedExpression(int index, const QString &name);
    void clear();

    void writeDefinedProperties(std::vector<StreamProperty> &properties) const override;
    bool readDefinedProperty(const QString &name, const StreamValue &value, bool &ok) override;
    void loaded() override;

private:
    QList<Entry> m_entries;
    QStringList m_readNames;
    QStringList m_readTexts;
    bool m_namesRead = false;
};
