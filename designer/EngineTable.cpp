#include "designer/EngineTable.h"

#include "platform/Exceptions.h"

#include <QDir>
#include <QFileInfo>

// ---- session ----

RpEngineSession &RpEngineSession::session(const QString &)
{
    static RpEngineSession instance;
    return instance;
}

QStringList RpEngineSession::tablePatterns()
{
    return { QStringLiteral("*.dat"), QStringLiteral("*.xml") };
}

void RpEngineSession::addDatabase(const QString &name, const QString &directory)
{
    for (Database &database : m_databases) {
        if (database.name.compare(name, Qt::CaseInsensitive) == 0) {
            database.directory = directory;
            return;
        }
    }
    m_databases.append({ name, directory });
}

void RpEngineSession::removeDatabase(const QString &name)
{
    m_databases.removeIf(
        [&name](const Database &database) { return database.name.compare(name, Qt::CaseInsensitive) == 0; });
}

QStringList RpEngineSession::databaseNames() const
{
    QStringList names;
    for (const Database &database : m_databases)
        names << database.name;
    return names;
}

QString RpEngineSession::directoryOf(const QString &databaseName) const
{
    for (const Database &database : m_databases) {
        if (database.name.compare(databaseName, Qt::CaseInsensitive) == 0)
            return database.directory;
    }
    return databaseName;
}

QStringList RpEngineSession::tableNames(const QString &databaseName) const
{
    const QString directory = directoryOf(databaseName);
    if (directory.isEmpty())
        return {};
    const QDir dir(directory);
    if (!dir.exists())
        return {};
    return dir.entryList(tablePatterns(), QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
}

QString RpEngineSession::tablePath(const QString &databaseName, const QString &tableName) const
{
    if (QFileInfo(tableName).isAbsolute())
        return tableName;
    const QString directory = directoryOf(databaseName);
    return directory.isEmpty() ? tableName : QDir(directory).filePath(tableName);
}

// ---- table ----

TTable::TTable(QObject *parent)
    : TMemTable(parent)
{
    setReadOnly(true);
}

TTable::~TTable() = default;

void TTable::setDatabaseName(const QString &name)
{
    if (Active())
        databaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    m_databaseName = name;
}

void TTable::setTableName(const QString &name)
{
    if (Active())
        databaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    m_tableName = name;
}

void TTable::setIndexName(const QString &name)
{
    m_indexName = name;
    if (Active())
        applyIndexName();
}

void TTable::setFilterProperty(const QString &filter)
{
    try {
        setFilter(filter);
    } catch (const Exception &) {
        // A filter the table cannot read is left out; the table shows all its rows.
    }
}

void TTable::setFilteredProperty(bool on)
{
    try {
        setFiltered(on);
    } catch (const Exception &) { }
}

void TTable::setMasterSourceProperty(TDataSource *source)
{
    try {
        setMasterSource(source);
    } catch (const Exception &) { }
}

void TTable::setMasterFieldsProperty(const QString &fields)
{
    try {
        setMasterFields(fields);
    } catch (const Exception &) { }
}

void TTable::Open()
{
    if (Active())
        return;
    if (m_tableName.isEmpty())
        databaseError(QStringLiteral("Missing TableName property"));
    const QString path = RpEngineSession::session(m_sessionName).tablePath(m_databaseName, m_tableName);
    if (!QFileInfo::exists(path))
        databaseError(QStringLiteral("Table does not exist: %1").arg(QDir::toNativeSeparators(path)));
    // The file name is known only while the rows are read: with none, the table has nowhere to write.
    setFileName(path);
    try {
        TMemTable::Open();
    } catch (...) {
        setFileName(QString());
        throw;
    }
    setFileName(QString());
    setReadOnly(true);
    try {
        applyIndexName();
    } catch (const Exception &) {
        // An index that no longer fits the table leaves the rows in file order.
    }
}

void TTable::applyIndexName()
{
    for (const RpIndexDef &index : indexDefs()) {
        if (index.name.compare(m_indexName, Qt::CaseInsensitive) == 0) {
            setIndexFieldNames(index.fields);
            return;
        }
    }
    setIndexFieldNames(QString());
}

TFieldDefs TTable::readFieldDefs() const
{
    if (Active())
        return FieldDefs();
    TTable probe;
    probe.setSessionName(m_sessionName);
    probe.setDatabaseName(m_databaseName);
    probe.setTableName(m_tableName);
    try {
        probe.Open();
    } catch (const Exception &) {
        return {};
    }
    TFieldDefs defs = probe.FieldDefs();
    probe.Close();
    return defs;
}

QList<RpIndexDef> TTable::indexDefs() const
{
    return rpIndexDefsOf(readFieldDefs());
}

QList<RpIndexDef> rpIndexDefsOf(const TFieldDefs &defs)
{
    QList<RpIndexDef> indexes;
    for (const TFieldDef &def : defs) {
        if (def.DataType == ftAutoInc) {
            indexes.append({ QString(), def.Name });
            break;
        }
    }
    for (const TFieldDef &def : defs) {
        if (def.DataType != ftAutoInc)
            indexes.append({ def.Name, def.Name });
    }
    return indexes;
}
