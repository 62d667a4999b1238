#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TDataSet;
class TDataSource;
class TRpDesignEngineTableInterface;
class TTable;

// The table properties dialog of the engine's tables: name, database, table (with "Open table"), index,
// filter, master table and linked fields. On OK the table takes them and is opened again; a database error
// is shown with its message, any other with "Error activating query!", and the dialog counts as accepted.
class TEngineTableEditForm : public QDialog
{
    Q_OBJECT

public:
    TEngineTableEditForm(
        TRpDesignEngineTableInterface &face, TTable &table, bool viewOnly, QWidget *parent = nullptr);

    // Runs the dialog modally; true for OK.
    bool run();

    QLineEdit *EName;
    QComboBox *ComboDatabase;
    QComboBox *ComboTable;
    QPushButton *BTable;
    QComboBox *ComboIndex;
    QLineEdit *EFilter;
    QComboBox *ComboMaster;
    QLineEdit *EMasterFields;
    QPushButton *BMasterFields;
    QPushButton *BOK;
    QPushButton *BCancel;

    // Steps of the dialog as the controls trigger them.
    void databaseChanged();
    void tableChanged();
    void openTableClick();
    void linkedFieldsClick();
    void apply();

private:
    struct IndexEntry
    {
        QString name;
        QString fields;
    };
    QString indexLabel(const IndexEntry &index) const;
    QList<TDataSource *> masters() const;
    TDataSet *chosenMaster() const;
    QString fieldLabel(TDataSet *dataSet, const QString &fieldName) const;
    QString fieldNameOfLabel(TDataSet *dataSet, const QString &label) const;

    TRpDesignEngineTableInterface &m_face;
    TTable &m_table;
    bool m_viewOnly;
    QList<IndexEntry> m_indexes;
    QList<QPointer<TDataSource>> m_masters;
};

// "Open table": a database (the empty entry for a folder) or a folder and a file of the chosen type.
class TDBOpenForm : public QDialog
{
    Q_OBJECT

public:
    TDBOpenForm(const QStringList &databases, const QString &currentDatabase, bool defaultDatabaseOnly,
        const QStringList &restrictingTables, QWidget *parent = nullptr);

    QComboBox *ComboAlias;
    QComboBox *ComboDrive;
    QLineEdit *EDirectory;
    QComboBox *ComboType;
    QLineEdit *EFileName;
    QListWidget *ListFiles;
    QPushButton *BOpen;
    QPushButton *BCancel;

    // The chosen database (empty for a folder) and table, valid after an accepted run.
    QString database() const { return m_database; }
    QString table() const { return m_table; }
    // Runs modally; true when a table was chosen.
    bool run();

    void fillFiles();
    void fileNameEntered();
    // "Open": a database's table, or an existing file of a folder without wildcards.
    bool openClick();

private:
    QString currentFolder() const;

    QStringList m_restricting;
    QString m_database;
    QString m_table;
};

// The linked fields dialog: pairs the fields of the detail table's index with fields of the master table.
class TDBSetupFieldlistForm : public QDialog
{
    Q_OBJECT

public:
    // Labels: the detail index's fields and the master's fields, by display label; `joined` the master fields
    // paired so far.
    TDBSetupFieldlistForm(const QString &title, const QStringList &detailFields,
        const QStringList &masterFields, const QStringList &joined, QWidget *parent = nullptr);

    QListWidget *ListDetail;
    QListWidget *ListMaster;
    QListWidget *ListJoined;
    QPushButton *BAdd;
    QPushButton *BClear;

    void addClick();
    void clearClick();
    // The paired master field labels joined by ";".
    QString result() const;

private:
    QStringList m_detail;
    QStringList m_master;
    QStringList m_paired;
};
