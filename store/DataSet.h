#pragma once

#include "store/DatabaseError.h"
#include "store/Fields.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class TDataSource;

// Table states.
enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey, dsCalcFields, dsFilter, dsOpening };

// What a table tells its observers, in the order of their codes.
enum TDataEvent {
    deFieldChange = 0, // a field value changed (info: the field)
    deRecordChange = 1, // the current row changed (info: a field or none)
    deDataSetChange = 2, // the view changed
    deDataSetScroll = 3, // the view scrolled (info: shift of the row window)
    deLayoutChange = 4, // the field layout changed
    deUpdateRecord = 5, // write pending control text into the fields
    deUpdateState = 6, // the state changed
    deCheckBrowseMode = 7, // finish any pending edit
    dePropertyChange = 8,
    deFieldListChange = 9,
    deFocusControl = 10, // put the focus on a field's control (info: the field)
};

// The argument of an event: a field (codes 0, 1, 10), a row shift (code 3), or nothing.
struct TDataEventInfo
{
    TField *field = nullptr;
    int shift = 0;
    // Code 10: set by the control that took the focus.
    bool *served = nullptr;
};

enum class TDataAction { daFail, daAbort, daRetry };

// A table as its observers, fields and data sources see it: state, field objects, events, the window of row
// buffers and the delivery of observer events. TCustomMemTable supplies the rows.
class TDataSet : public QObject
{
    Q_OBJECT

public:
    explicit TDataSet(QObject *parent = nullptr);
    ~TDataSet() override;

    using Event = std::function<void(TDataSet &)>;
    using ErrorEvent = std::function<void(TDataSet &, const EDatabaseError &, TDataAction &)>;
    Event BeforeOpen, AfterOpen, BeforeClose, AfterClose, BeforeInsert, AfterInsert, BeforeEdit, AfterEdit,
        BeforePost, AfterPost, BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll,
        AfterScroll, OnNewRecord;
    ErrorEvent OnPostError, OnEditError, OnDeleteError;
    // A row-by-row filter beside the expression filter: set `accept` to false to hide the row.
    std::function<void(TDataSet &, bool &accept)> OnFilterRecord;

    TDataSetState State() const { return m_state; }
    bool Active() const { return m_state != dsInactive; }
    void setActive(bool active);

    virtual void Open() = 0;
    virtual void Close() = 0;
    virtual void First() = 0;
    virtual void Last() = 0;
    void Next() { MoveRows(1); }
    void Prior() { MoveRows(-1); }
    virtual int MoveRows(int n) = 0;
    bool AtEnd() const { return m_atEnd; }
    bool AtStart() const { return m_atStart; }
    virtual int ViewRowCount() const = 0;
    // The store's number of the current row, 0 when there is none: a bookmark that survives moves and
    // changes of order (a walk over the rows remembers it and comes back with MoveToRow).
    virtual int CurrentRowNumber() const = 0;
    // Makes the row with this number current when the view shows it; false (and no move) otherwise.
    virtual bool MoveToRow(int rowNumber) = 0;
    bool IsEmpty() const { return ViewRowCount() == 0; }

    virtual void Insert() = 0;
    virtual void AppendRow() = 0;
    virtual void Edit() = 0;
    virtual void Post() = 0;
    virtual void Cancel() = 0;
    virtual void Delete() = 0;
    // Finishing a pending row: posted when RowChanged, cancelled otherwise.
    void FinishPendingRow();
    // Asks the controls to write their pending text ("Dataset not in edit or insert mode" outside those
    // states).
    void UpdateRecord();
    virtual bool CanModify() const = 0;
    bool RowChanged() const { return m_rowChanged; }

    // Field objects, in definition order.
    const std::vector<std::unique_ptr<TField>> &Fields() const { return m_fields; }
    int FieldCount() const { return int(m_fields.size()); }
    TField *FieldNamed(const QString &name) const;
    TField *LookupField(const QString &name) const;
    // Adds a persistent field object (only while closed); the table owns it.
    TField *AddField(std::unique_ptr<TField> field);
    // Moves a field object to another place in the field order (grids and lists follow that order).
    void MoveField(int from, int to);
    TFieldDefs &FieldDefs() { return m_fieldDefs; }
    const TFieldDefs &FieldDefs() const { return m_fieldDefs; }

    // Data sources observing this table, in attachment order.
    const std::vector<TDataSource *> &DataSources() const { return m_dataSources; }
    // Sends an observer event (after the table's own bookkeeping), unless observers are suspended.
    void DataEvent(TDataEvent event, const TDataEventInfo &info = {});
    // Suspends event delivery to the data sources (nested); the outermost resume delivers one refresh.
    void suspendObservers();
    void resumeObservers();
    bool ObserversSuspended() const { return m_suspendCount > 0; }
    // Asks the control that shows the field to take the focus.
    void FocusField(TField *field);

    // The window of row buffers that controls read from.
    int BufferCount() const { return m_bufferCount; }
    int WindowRowCount() const { return m_recordCount; }
    int ActiveRecord() const { return m_activeRecord; }
    // Lets a grid read another row of the window through the field objects; see ActiveRecordScope.
    void setActiveRecord(int index);
    // Recomputes the window size from the links of the data sources (at least 1).
    void UpdateBufferCount();

    // The buffer the field objects read (the current or pending row), nullptr when there is none.
    const char *activeBuffer() const;
    bool DisableStringTrim() const { return m_disableStringTrim; }
    void setDisableStringTrim(bool on);

    // The data source of the master table, for detail tables.
    virtual TDataSource *masterSource() const { return nullptr; }

    // Raises EDatabaseError for this table: "name: text" when the table has a name.
    [[noreturn]] void databaseError(const QString &text) const;
    QString prefixed(const QString &text) const;

protected:
    friend class TField;
    friend class TDataSource;

    virtual const RecordLayout *recordLayout() const = 0;
    virtual const ColumnDesc *columnDesc(int column) const = 0;
    virtual void storeTrimChanged() { }

    void checkActive() const;
    void setState(TDataSetState state);
    void setRowChanged(bool changed) { m_rowChanged = changed; }
    void setAtEnd(bool on) { m_atEnd = on; }
    void setAtStart(bool on) { m_atStart = on; }

    // Field objects: created from definitions when none are persistent, bound to columns by name.
    void createDefaultFields();
    void destroyDefaultFields();
    void unbindFields();
    void bindField(TField &field, int column);
    bool hasDefaultFields() const { return m_defaultFields; }

    // The window.
    std::vector<QByteArray> m_buffers;
    std::vector<int> m_bufferRows; // row number of each window row (0 for a pending new row)
    int m_recordCount = 0;
    int m_activeRecord = 0;
    int m_bufferCount = 1;
    virtual void bufferCountChanged() { }
    void clearWindow();
    char *pendingBuffer();
    // A row shown to the field objects while a row-by-row filter looks at it.
    const char *m_tempBuffer = nullptr;

private:
    void attachDataSource(TDataSource *source);
    void detachDataSource(TDataSource *source);
    // The field-value write path: checks, then the buffer, then the events.
    char *beginFieldWrite(TField &field);
    void endFieldWrite(TField &field);
    void deliver(TDataEvent event, const TDataEventInfo &info);

    TDataSetState m_state = dsInactive;
    bool m_rowChanged = false;
    bool m_atEnd = true;
    bool m_atStart = true;
    bool m_disableStringTrim = false;
    bool m_defaultFields = false;
    TFieldDefs m_fieldDefs;
    std::vector<std::unique_ptr<TField>> m_fields;
    std::vector<TDataSource *> m_dataSources;

    int m_suspendCount = 0;
    TDataSetState m_suspendState = dsInactive;
    TDataEvent m_pendingEvent = deDataSetChange;
};

// Suspends a table's observers for a scope (a walk over many rows); the end of the scope refreshes them once.
class ObserverSuspension
{
public:
    explicit ObserverSuspension(TDataSet &dataSet);
    // The refresh at the end may fail (a detail table following its master); it is raised unless the scope is
    // already being left by another exception, which then takes precedence.
    ~ObserverSuspension() noexcept(false);
    ObserverSuspension(const ObserverSuspension &) = delete;
    ObserverSuspension &operator=(const ObserverSuspension &) = delete;

private:
    TDataSet &m_dataSet;
    int m_uncaught;
};

// Points the field objects at another row of the window for a scope (a grid painting its rows).
class ActiveRecordScope
{
public:
    ActiveRecordScope(TDataSet &dataSet, int index)
        : m_dataSet(dataSet)
        , m_saved(dataSet.ActiveRecord())
    {
        m_dataSet.setActiveRecord(index);
    }
    ~ActiveRecordScope() { m_dataSet.setActiveRecord(m_saved); }
    ActiveRecordScope(const ActiveRecordScope &) = delete;
    ActiveRecordScope &operator=(const ActiveRecordScope &) = delete;

private:
    TDataSet &m_dataSet;
    int m_saved;
};
