#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>

class QWidget;
class TDataSet;
class TDataSource;
class TRpDesigner;

// A component of the host window that knows how to create, describe and edit one kind of table for the
// report's own data module. Every interface is listed in one program-wide registry from its creation to its
// destruction, in creation order; the interface for a table is the first whose table class it belongs to.
class TrpbaseDatasetInterface : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString MenuTitle READ MenuTitle WRITE setMenuTitle)

public:
    explicit TrpbaseDatasetInterface(QObject *owner = nullptr);
    ~TrpbaseDatasetInterface() override;

    static QList<TrpbaseDatasetInterface *> registered();
    static TrpbaseDatasetInterface *interfaceFor(const TDataSet *dataSet);

    // The entry of the "&New" menu of the "Datasets" dialog.
    QString MenuTitle() const { return m_menuTitle; }
    void setMenuTitle(const QString &title) { m_menuTitle = title; }

    std::function<void(TDataSet *dataSet)> AfterDatasetCreated;
    std::function<void(TDataSource *source)> AfterDatasourceCreated;
    // Replaces the interface's own dialog; answers whether it was accepted.
    std::function<bool(QWidget *owner, TDataSet *dataSet, bool viewOnly)> OnDatasetEdit;

    // The engine the interface works for, with copies of its lists (taken each time the "Datasets" dialog
    // opens).
    TRpDesigner *engine() const;
    void setEngine(TRpDesigner *engine);
    QStringList FieldDisplayLabels;
    QStringList AvailableDatabaseNames;
    QStringList AvailableTableNames;
    QStringList IndexDisplayLabels;

    // The interface's own properties dialog for the table; true when accepted.
    virtual bool Edit(QWidget *owner, TDataSet *dataSet, bool viewOnly);
    // Names an unnamed table, runs OnDatasetEdit or Edit, and on OK marks the design modified; a table left
    // unnamed is named again, and a new name is carried into the report data module's query texts.
    bool EditWithHooks(QWidget *owner, TDataSet *dataSet, bool viewOnly);
    // A new table of the interface's class owned by `owner`; raises "RuntimeEditor not assigned!" without an
    // engine.
    TDataSet *CreateDataset(QObject *owner);
    // A new data source beside the table, bound to it.
    TDataSource *CreateDatasource(TDataSet *dataSet);
    virtual QString DisplayText(const TDataSet *dataSet) const;
    // The class of the tables it makes (null for none): the interface of a table is the first registered one
    // whose class the table belongs to.
    virtual const QMetaObject *DatasetClass() const;
    const QMetaObject *DatasourceClass() const;
    // The table's file name without its extension, or else the menu title, made a name: blanks become "_",
    // anything but letters, digits and "_" is dropped.
    virtual QString DefaultName(const TDataSet *dataSet) const;

    // Renames the table to the typed name (trimmed; empty gives the default base with a number; leading "_"
    // are stripped; nothing left keeps the old name). A name the table cannot take shows "Error: Can not
    // rename to %s!" and returns false.
    bool RenameDataset(TDataSet *dataSet, const QString &typed, QWidget *parent);
    // The base of an unnamed table's name: "Table" for table interfaces, "Query" for others.
    virtual QString DefaultTableName() const;

protected:
    // Makes the table and gives it the interface's settings.
    virtual TDataSet *makeDataset(QObject *owner) const;

private:
    QString m_menuTitle = QStringLiteral("Dataset");
    QPointer<TRpDesigner> m_engine;
};

// A table interface: its tables are made read-only when ReadOnly is set.
class TrpbaseTableInterface : public TrpbaseDatasetInterface
{
    Q_OBJECT
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnly)

public:
    explicit TrpbaseTableInterface(QObject *owner = nullptr);

    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on) { m_readOnly = on; }
    QString DefaultTableName() const override;
    const QMetaObject *DatasetClass() const override;

protected:
    TDataSet *makeDataset(QObject *owner) const override;

private:
    bool m_readOnly = false;
};

// A query interface: no query kind is placed in this program, so it reports no parameters and no SQL.
class TrpbaseQueryInterface : public TrpbaseDatasetInterface
{
    Q_OBJECT
    Q_PROPERTY(bool RequestLive READ RequestLive WRITE setRequestLive)
    Q_PROPERTY(bool UniDirectional READ UniDirectional WRITE setUniDirectional)

public:
    explicit TrpbaseQueryInterface(QObject *owner = nullptr);

    bool RequestLive() const { return m_requestLive; }
    void setRequestLive(bool on) { m_requestLive = on; }
    bool UniDirectional() const { return m_uniDirectional; }
    void setUniDirectional(bool on) { m_uniDirectional = on; }
    virtual QStringList ParamNames(const TDataSet *) const { return {}; }
    virtual QString SQL(const TDataSet *) const { return {}; }

private:
    bool m_requestLive = false;
    bool m_uniDirectional = false;
};

// The interface for the database engine's tables (TTable): new tables take the session and database names,
// and its dialog is the table properties dialog. Tables of this kind are read-only whatever ReadOnly says:
// they are report data and never written.
class TRpDesignEngineTableInterface : public TrpbaseTableInterface
{
    Q_OBJECT
    Q_PROPERTY(QString SessionName READ SessionName WRITE setSessionName)
    Q_PROPERTY(QString DatabaseName READ DatabaseName WRITE setDatabaseName)
    Q_PROPERTY(bool DefaultDatabaseOnly READ DefaultDatabaseOnly WRITE setDefaultDatabaseOnly)

public:
    explicit TRpDesignEngineTableInterface(QObject *owner = nullptr);

    QString SessionName() const { return m_sessionName; }
    void setSessionName(const QString &name) { m_sessionName = name; }
    QString DatabaseName() const { return m_databaseName; }
    void setDatabaseName(const QString &name) { m_databaseName = name; }
    bool DefaultDatabaseOnly() const { return m_defaultDatabaseOnly; }
    void setDefaultDatabaseOnly(bool on) { m_defaultDatabaseOnly = on; }

    bool Edit(QWidget *owner, TDataSet *dataSet, bool viewOnly) override;
    const QMetaObject *DatasetClass() const override;
    QString DefaultName(const TDataSet *dataSet) const override;

protected:
    TDataSet *makeDataset(QObject *owner) const override;

private:
    QString m_sessionName;
    QString m_databaseName;
    bool m_defaultDatabaseOnly = false;
};

// The smallest "base" + number (from 1) that no child of `owner` is named (ignoring case).
QString rpUniqueName(const QObject *owner, const QString &base, const QObject *except = nullptr);
// Whether `name` is a component name: a letter or "_" and then letters, digits and "_".
bool rpValidComponentName(const QString &name);
