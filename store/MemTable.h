#pragma once

#include "store/DataSet.h"
#include "store/DataSource.h"
#include "store/RecordStore.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

// Filter string comparison options.
enum TFilterOption { foCaseInsensitive = 1, foNoPartialCompare = 2 };
using TFilterOptions = int;

// Options of a row search (FindRow).
enum TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = int;

namespace FileIO {
class StagedFile;
}

// A table kept wholly in memory in a record store, loaded from its file when it opens and written back to
// that file when it closes or when SaveChanges asks. It can keep its rows sorted on fields (IndexFieldNames)
// and restrict itself to the rows of the current row of a master table (MasterSource, MasterFields).
class TCustomMemTable : public TDataSet
{
    Q_OBJECT

public:
    explicit TCustomMemTable(QObject *parent = nullptr);
    // Closes the table. A destructor cannot report an error, so a failed final write is caught and logged
    // here; owners that must know call Close() first (the old file stays on disk in that case).
    ~TCustomMemTable() override;

    QString FileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    QString IndexFieldNames() const { return m_indexFieldNames; }
    void setIndexFieldNames(const QString &names);
    TDataSource *MasterSource() const { return m_masterLink.DataSource(); }
    void setMasterSource(TDataSource *source);
    QString MasterFields() const { return m_masterLink.FieldNames(); }
    void setMasterFields(const QString &names);
    QString Filter() const { return m_filter; }
    void setFilter(const QString &filter);
    bool Filtered() const { return m_filtered; }
    void setFiltered(bool on);
    TFilterOptions FilterOptions() const { return m_filterOptions; }
    void setFilterOptions(TFilterOptions options);
    // Re-applies the filters after OnFilterRecord was assigned or its meaning changed.
    void RefreshFilter();
    // Makes the first row of the view whose key fields (";"-separated) hold the key values current; false,
    // and the current row unchanged, when there is none.
    bool FindRow(const QString &fieldNames, const QVariantList &keyValues, TLocateOptions options = 0);
    // Readable and writable only while open.
    bool KeepChangeLog() const;
    void setKeepChangeLog(bool on);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on) { m_readOnly = on; }
    int PacketRecords() const { return m_packetRecords; }
    void setPacketRecords(int count) { m_packetRecords = count; }
    bool StoreDefs() const { return m_storeDefs; }
    void setStoreDefs(bool on) { m_storeDefs = on; }

    void Open() override;
    // Writes the table when it changed (see SaveChanges), then releases everything. When the write fails the
    // table is closed all the same, the old file stays, and the error is raised.
    void Close() override;
    void CreateEmpty();
    // Writes the table whole to FileName now (with its pending changes from the change journal), without
    // closing; nothing is written when nothing changed. The change counter is reset only when the write
    // succeeded.
    void SaveChanges();
    // True when the open table has posted changes that are not yet saved (in its file or in the journal).
    bool HasUnsavedChanges() const;
    // Saves the posted changes of several tables as one unit, all or nothing. Tables in one folder share its
    // change journal (store/ChangeJournal.h): their changes go into one record appended to it and flushed to
    // the disk, which costs what the changes take, not what the tables take. When the journal has grown past
    // a share of the tables, or a table has no file yet, the tables are folded: written whole, each to a
    // temporary file and renamed over its file, and then their parts are dropped from the journal. A table
    // alone in its folder with nothing in the journal is written whole. A failure saves nothing and leaves
    // every table with its changes still to save; closed and unchanged tables are skipped.
    static void SaveChangesTogether(const std::vector<TCustomMemTable *> &tables);
    // Saves like SaveChangesTogether and then folds every given table that has parts in the journal, so the
    // files alone hold the tables (the end of a run). A fold that fails after the changes were saved is only
    // logged: the journal still holds them.
    static void FoldChangesTogether(const std::vector<TCustomMemTable *> &tables);
    // Whether a table file, or the change journal beside it, holds the table (a table saved for the first
    // time lives in the journal until it is folded).
    static bool TableExists(const QString &fileName);
    // What opening the table found wrong in the change journal (damaged or cut-off records, parts that did
    // not fit): each a sentence naming the journal. The table holds everything else.
    QStringList LoadWarnings() const { return m_loadWarnings; }

    void First() override;
    void Last() override;
    int MoveRows(int n) override;
    int ViewRowCount() const override;
    int CurrentRowNumber() const override;
    bool MoveToRow(int rowNumber) override;
    void Insert() override;
    void AppendRow() override;
    void Edit() override;
    void Post() override;
    void Cancel() override;
    void Delete() override;
    bool CanModify() const override;

    TDataSource *masterSource() const override { return MasterSource(); }

    // The store and cursor of an open table (nullptr while closed), for tools and the filter.
    IRecordStore *store() const { return m_store.get(); }
    IRecordCursor *cursor() const { return m_cursor.get(); }
    // The store column a field object is bound to, -1 when unbound.
    static int columnOf(const TField &field) { return field.FieldNo() - 1; }

protected:
    const RecordLayout *recordLayout() const override;
    const ColumnDesc *columnDesc(int column) const override;
    void bufferCountChanged() override;
    void storeTrimChanged() override;

private:
    void checkOpen() const { checkActive(); }
    void loadStore();
    void buildFieldDefsFromStore();
    void bindFields();
    std::vector<ColumnDesc> columnsFromDefs();
    void abandon();
    void writeFile();
    void forgetJournalState();

    enum class FoldMode { WhenLarge, Always };
    static void saveTables(const std::vector<TCustomMemTable *> &tables, FoldMode mode);
    static void saveGroup(const QString &journal, const std::vector<TCustomMemTable *> &group, FoldMode mode);
    static void writeWhole(const std::vector<TCustomMemTable *> &tables);
    static void fold(const QString &journal, const std::vector<TCustomMemTable *> &tables);
    std::unique_ptr<FileIO::StagedFile> stageWholeTable() const;
    bool usesJournal() const;
    void markSaved();
    QList<int> indexColumns() const;
    void applyIndex();
    void applyFilters();
    void applyMasterRange();
    // More master fields than key fields cannot make a range.
    void checkKeyFieldCounts(const QString &masterFields, const QString &indexFieldNames) const;
    void masterChange();
    void masterDisable();
    QByteArray masterKey(const QList<int> &columns) const;
    void fillFromMaster();

    // The window.
    void fillWindow(int viewIndex, int activePos);
    void positionCursor(int viewIndex);
    bool cursorOnRow(int row);
    int currentViewIndex() const;
    void resyncAfterChange(int activePos);
    void refreshKeepingRow();

    QString m_fileName;
    QString m_indexFieldNames;
    QString m_filter;
    bool m_filtered = false;
    TFilterOptions m_filterOptions = 0;
    bool m_readOnly = false;
    int m_packetRecords = -1;
    bool m_storeDefs = false;

    std::unique_ptr<IRecordStore> m_store;
    std::unique_ptr<IRecordCursor> m_cursor;
    TMasterDataLink m_masterLink;
    // The key of the master range in force; none means no range, which equals no key, not even a null one.
    std::optional<QByteArray> m_rangeKey;
    int m_rangeColumns = 0;
    std::vector<int> m_filterIds;
    int m_windowStart = 0;
    // Row before which a pending insert goes (0: after the last row).
    int m_insertBeforeRow = 0;
    bool m_appending = false;

    // The file the store was opened or created for; the journal is used only while FileName names it.
    QString m_openedFileName;
    // The table's last saved state is on the disk (its file, or a whole-table part in the journal), so
    // changes can be saved as changes.
    bool m_onDisk = false;
    // The journal holds parts of this table that its file does not hold yet.
    bool m_journalParts = false;
    QStringList m_loadWarnings;
};

class TMemTable : public TCustomMemTable
{
    Q_OBJECT

public:
    using TCustomMemTable::TCustomMemTable;
};
