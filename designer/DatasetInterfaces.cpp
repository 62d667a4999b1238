#include "designer/DatasetInterfaces.h"

#include "designer/DataSources.h"
#include "designer/EngineTable.h"
#include "designer/EngineTableEditForm.h"
#include "designer/RpDesigner.h"
#include "platform/Exceptions.h"
#include "report/files/ReportFile.h"
#include "report/streaming/ReportRegistry.h"
#include "store/DataSource.h"
#include "widgets/Dialogs.h"

#include <QFileInfo>

namespace {

QList<TrpbaseDatasetInterface *> &registry()
{
    static QList<TrpbaseDatasetInterface *> list;
    return list;
}

bool nameTaken(const QObject *owner, const QString &name, const QObject *except)
{
    if (!owner)
        return false;
    for (const QObject *child : owner->children()) {
        if (child != except && child->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

QString rpUniqueName(const QObject *owner, const QString &base, const QObject *except)
{
    for (int n = 1;; ++n) {
        const QString name = base + QString::number(n);
        if (!nameTaken(owner, name, except))
            return name;
    }
}

bool rpValidComponentName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        const bool ascii = c.unicode() < 128;
        const bool letter = ascii && c.isLetter();
        if (!(letter || c == QLatin1Char('_') || (i > 0 && ascii && c.isDigit())))
            return false;
    }
    return true;
}

// ---- base ----

TrpbaseDatasetInterface::TrpbaseDatasetInterface(QObject *owner)
    : QObject(owner)
{
    registry().append(this);
}

TrpbaseDatasetInterface::~TrpbaseDatasetInterface()
{
    registry().removeAll(this);
}

QList<TrpbaseDatasetInterface *> TrpbaseDatasetInterface::registered()
{
    return registry();
}

TrpbaseDatasetInterface *TrpbaseDatasetInterface::interfaceFor(const TDataSet *dataSet)
{
    if (!dataSet)
        return nullptr;
    for (TrpbaseDatasetInterface *candidate : registry()) {
        const QMetaObject *kind = candidate->DatasetClass();
        if (kind && dataSet->metaObject()->inherits(kind))
            return candidate;
    }
    return nullptr;
}

TRpDesigner *TrpbaseDatasetInterface::engine() const
{
    return m_engine;
}

void TrpbaseDatasetInterface::setEngine(TRpDesigner *engine)
{
    m_engine = engine;
    if (!engine)
        return;
    FieldDisplayLabels = engine->FieldDisplayLabels;
    AvailableDatabaseNames = engine->AvailableDatabaseNames;
    AvailableTableNames = engine->AvailableTableNames;
    IndexDisplayLabels = engine->IndexDisplayLabels;
}

bool TrpbaseDatasetInterface::Edit(QWidget *, TDataSet *, bool)
{
    return false;
}

bool TrpbaseDatasetInterface::EditWithHooks(QWidget *owner, TDataSet *dataSet, bool viewOnly)
{
    if (!dataSet)
        return false;
    if (dataSet->objectName().isEmpty())
        dataSet->setObjectName(rpUniqueName(dataSet->parent(), QStringLiteral("Dataset"), dataSet));
    const QString oldName = dataSet->objectName();
    const bool accepted
        = OnDatasetEdit ? OnDatasetEdit(owner, dataSet, viewOnly) : Edit(owner, dataSet, viewOnly);
    if (accepted && m_engine)
        m_engine->setModified(true);
    if (dataSet->objectName().isEmpty())
        dataSet->setObjectName(rpUniqueName(dataSet->parent(), QStringLiteral("Dataset"), dataSet));
    auto *module = qobject_cast<TRuntimeDatamodule *>(dataSet->parent());
    if (module && dataSet->objectName() != oldName) {
        QString sql;
        if (module->queryText(oldName, sql)) {
            module->setQueryText(oldName, QString());
            module->setQueryText(dataSet->objectName(), sql);
        }
    }
    return accepted;
}

TDataSet *TrpbaseDatasetInterface::makeDataset(QObject *owner) const
{
    return new TMemTable(owner);
}

TDataSet *TrpbaseDatasetInterface::CreateDataset(QObject *owner)
{
    if (!m_engine)
        throw Exception(QStringLiteral("RuntimeEditor not assigned!"));
    TDataSet *dataSet = makeDataset(owner);
    if (AfterDatasetCreated)
        AfterDatasetCreated(dataSet);
    return dataSet;
}

TDataSource *TrpbaseDatasetInterface::CreateDatasource(TDataSet *dataSet)
{
    auto *source = new TDataSource(dataSet->parent());
    source->setDataSet(dataSet);
    if (AfterDatasourceCreated)
        AfterDatasourceCreated(source);
    return source;
}

QString TrpbaseDatasetInterface::DisplayText(const TDataSet *dataSet) const
{
    return dataSet ? rpDisplayText(*dataSet) : QString();
}

const QMetaObject *TrpbaseDatasetInterface::DatasetClass() const
{
    // The base and query interfaces stand for no table class of this program.
    return nullptr;
}

const QMetaObject *TrpbaseDatasetInterface::DatasourceClass() const
{
    return &TDataSource::staticMetaObject;
}

QString TrpbaseDatasetInterface::DefaultName(const TDataSet *dataSet) const
{
    QString base;
    if (const auto *table = qobject_cast<const TTable *>(dataSet))
        base = QFileInfo(table->TableName()).completeBaseName();
    if (base.isEmpty())
        base = m_menuTitle;
    base.replace(QLatin1Char(' '), QLatin1Char('_'));
    QString name;
    for (const QChar c : std::as_const(base)) {
        if ((c.unicode() < 128 && c.isLetterOrNumber()) || c == QLatin1Char('_'))
            name.append(c);
    }
    return name;
}

QString TrpbaseDatasetInterface::DefaultTableName() const
{
    return QStringLiteral("Query");
}

bool TrpbaseDatasetInterface::RenameDataset(TDataSet *dataSet, const QString &typed, QWidget *parent)
{
    const QString oldName = dataSet->objectName();
    QString name = typed.trimmed();
    if (name.isEmpty())
        name = rpUniqueName(dataSet->parent(), DefaultTableName(), dataSet);
    while (name.startsWith(QLatin1Char('_')))
        name.remove(0, 1);
    if (name.isEmpty() || name.compare(oldName, Qt::CaseSensitive) == 0)
        return true;
    if (!rpValidComponentName(name) || nameTaken(dataSet->parent(), name, dataSet)) {
        const QString pattern = m_engine ? rpMessage(*m_engine, QStringLiteral("RenameError"),
                                    QStringLiteral("Error: Can not rename to %s!"))
                                         : QStringLiteral("Error: Can not rename to %s!");
        Dialogs::showError(parent, QString(pattern).replace(QStringLiteral("%s"), typed.trimmed()));
        return false;
    }
    dataSet->setObjectName(name);
    return true;
}

// ---- table and query ----

TrpbaseTableInterface::TrpbaseTableInterface(QObject *owner)
    : TrpbaseDatasetInterface(owner)
{
    setMenuTitle(QStringLiteral("Table"));
}

QString TrpbaseTableInterface::DefaultTableName() const
{
    return engine() ? rpMessage(*engine(), QStringLiteral("DefaultTableName"), QStringLiteral("Table"))
                    : QStringLiteral("Table");
}

const QMetaObject *TrpbaseTableInterface::DatasetClass() const
{
    return &TMemTable::staticMetaObject;
}

TDataSet *TrpbaseTableInterface::makeDataset(QObject *owner) const
{
    auto *table = static_cast<TCustomMemTable *>(TrpbaseDatasetInterface::makeDataset(owner));
    table->setReadOnly(m_readOnly);
    return table;
}

TrpbaseQueryInterface::TrpbaseQueryInterface(QObject *owner)
    : TrpbaseDatasetInterface(owner)
{
    setMenuTitle(QStringLiteral("Query"));
}

// ---- the engine's tables ----

TRpDesignEngineTableInterface::TRpDesignEngineTableInterface(QObject *owner)
    : TrpbaseTableInterface(owner)
{
    // Report files name these classes for the tables of a report's data module.
    reportClasses().add<TTable>();
    reportClasses().add<TDataSource>();
}

const QMetaObject *TRpDesignEngineTableInterface::DatasetClass() const
{
    return &TTable::staticMetaObject;
}

QString TRpDesignEngineTableInterface::DefaultName(const TDataSet *dataSet) const
{
    return TrpbaseTableInterface::DefaultName(dataSet);
}

TDataSet *TRpDesignEngineTableInterface::makeDataset(QObject *owner) const
{
    auto *table = new TTable(owner);
    table->setSessionName(m_sessionName);
    table->setDatabaseName(m_databaseName);
    // ReadOnly is not copied: the engine's tables are always read-only.
    return table;
}

bool TRpDesignEngineTableInterface::Edit(QWidget *owner, TDataSet *dataSet, bool viewOnly)
{
    auto *table = qobject_cast<TTable *>(dataSet);
    if (!table)
        return false;
    TEngineTableEditForm form(*this, *table, viewOnly, owner);
    return form.run();
}
