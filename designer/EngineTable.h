#pragma once

#include "store/MemTable.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

// The database engine behind the designer's table interface: named databases, each a folder of table files,
// and tables opened from those files. Report tables reached through it are read-only and never written: a
// second copy of a finance table in memory must not write over the table file the program keeps.
class RpEngineSession
{
public:
    // The session reports use ("Default"; every session name reaches it).
    static RpEngineSession &session(const QString &name = QString());

    struct Database
    {
        QString name;
        QString directory;
    };

    // Adds (or points again) a database at a folder.
    void addDatabase(const QString &name, const QString &directory);
    void removeDatabase(const QString &name);
    QStringList databaseNames() const;
    // The folder of a database, or the name itself when it names no database (a folder given directly).
    QString directoryOf(const QString &databaseName) const;
    // The table files of a database or folder, with their extensions, sorted; empty when it cannot be read.
    QStringList tableNames(const QString &databaseName) const;
    // The path of a table file.
    QString tablePath(const QString &databaseName, const QString &tableName) const;

    // The kinds of file a table is read from.
    static QStringList tablePatterns();

private:
    QList<Database> m_databases;
};

// An index of an engine table: its name (empty for the primary index) and its fields (";"-separated).
struct RpIndexDef
{
    QString name;
    QString fields;
};

// The engine's table: a table file of a database, opened read-only. It holds the names that lead to its file
// and the settings reports give it; the rows are read from the file when it opens and are never written back.
class TTable : public TMemTable
{
    Q_OBJECT
    Q_PROPERTY(QString SessionName READ SessionName WRITE setSessionName)
    Q_PROPERTY(QString DatabaseName READ DatabaseName WRITE setDatabaseName)
    Q_PROPERTY(QString TableName READ TableName WRITE setTableName)
    Q_PROPERTY(QString IndexName READ IndexName WRITE setIndexName)
    Q_PROPERTY(QString Filter READ Filter WRITE setFilterProperty)
    Q_PROPERTY(bool Filtered READ Filtered WRITE setFilteredProperty)
    Q_PROPERTY(TDataSource *MasterSource READ MasterSource WRITE setMasterSourceProperty)
    Q_PROPERTY(QString MasterFields READ MasterFields WRITE setMasterFieldsProperty)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnlyProperty)

public:
    Q_INVOKABLE explicit TTable(QObject *parent = nullptr);
    ~TTable() override;

    QString SessionName() const { return m_sessionName; }
    void setSessionName(const QString &name) { m_sessionName = name; }
    QString DatabaseName() const { return m_databaseName; }
    void setDatabaseName(const QString &name);
    QString TableName() const { return m_tableName; }
    void setTableName(const QString &name);
    // The index whose fields order the rows ("" for the primary index).
    QString IndexName() const { return m_indexName; }
    void setIndexName(const QString &name);

    // Always true: a report never writes an engine table.
    void setReadOnlyProperty(bool) { setReadOnly(true); }
    // Settings read from a report file: a value the table refuses is left out.
    void setFilterProperty(const QString &filter);
    void setFilteredProperty(bool on);
    void setMasterSourceProperty(TDataSource *source);
    void setMasterFieldsProperty(const QString &fields);

    // Reads the table file; raises EDatabaseError when there is no such table or it cannot be read.
    void Open() override;

    // The field and index definitions of the table file (the open table's own when it is open).
    TFieldDefs readFieldDefs() const;
    QList<RpIndexDef> indexDefs() const;

private:
    void applyIndexName();

    QString m_sessionName;
    QString m_databaseName;
    QString m_tableName;
    QString m_indexName;
};

// The indexes a table file offers: the primary index on its auto-increment field (unnamed) and one index per
// other field, named after it.
QList<RpIndexDef> rpIndexDefsOf(const TFieldDefs &defs);
