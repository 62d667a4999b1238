#pragma once

#include "store/DataSet.h"

#include <QObject>
#include <functional>
#include <vector>

class TDataLink;

// Stands between a table and its observers: passes the table's events to its links (master links of detail
// tables first, then the links of controls) and carries the edit requests of the controls to the table.
class TDataSource : public QObject
{
    Q_OBJECT
    // As report files store a data source: the table it stands for.
    Q_PROPERTY(TDataSet *DataSet READ DataSet WRITE setDataSetProperty)

public:
    explicit TDataSource(QObject *parent = nullptr);
    ~TDataSource() override;

    TDataSet *DataSet() const { return m_dataSet; }
    // Refuses a table whose master-source chain leads back to this source ("Circular datalinks are not
    // allowed"); the source then keeps its table.
    void setDataSet(TDataSet *dataSet);
    // setDataSet for a table read from a file: a refused table is left out instead of raised.
    void setDataSetProperty(TDataSet *dataSet);
    bool AutoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool on) { m_autoEdit = on; }
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool on);
    // The table's state while enabled and attached, dsInactive otherwise.
    TDataSetState State() const { return m_state; }

    // An edit request from a control: puts a browsing table into its edit state when AutoEdit is on.
    void Edit();

    std::function<void(TDataSource &)> OnStateChange;
    std::function<void(TDataSource &, TField *field)> OnDataChange;
    std::function<void(TDataSource &)> OnUpdateData;

    const std::vector<TDataLink *> &links() const { return m_links; }

private:
    friend class TDataSet;
    friend class TDataLink;

    void dataEvent(TDataEvent event, const TDataEventInfo &info);
    void dataSetDestroyed(TDataSet *dataSet);
    void updateState();
    void notifyLinks(TDataEvent event, const TDataEventInfo &info);
    void addLink(TDataLink *link);
    void removeLink(TDataLink *link);
    bool hasLink(TDataLink *link) const;

    TDataSet *m_dataSet = nullptr;
    bool m_autoEdit = true;
    bool m_enabled = true;
    TDataSetState m_state = dsInactive;
    std::vector<TDataLink *> m_links;
};

// One observer of one data source. Subclasses override the notices they care about; the defaults follow the
// protocol (a scroll or a layout change is a view change, a view change is a change of the whole row).
class TDataLink
{
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink &) = delete;
    TDataLink &operator=(const TDataLink &) = delete;

    TDataSource *DataSource() const { return m_dataSource; }
    void setDataSource(TDataSource *source);
    TDataSet *DataSet() const { return m_dataSource ? m_dataSource->DataSet() : nullptr; }

    bool Active() const { return m_active; }
    bool Editing() const { return m_editing; }
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on);
    bool isVisual() const { return m_visual; }
    bool Updating() const { return m_updating; }

    // Rows the observer wants to see at once; the table's window grows to the largest request.
    int BufferCount() const { return m_bufferCount; }
    void setBufferCount(int count);
    // Index, inside this link's rows, of the table's current row.
    int ActiveRecord() const;
    void setActiveRecord(int index);
    // Rows this link sees: its buffer count or the rows in the table's window, whichever is smaller.
    int RecordCount() const;
    int FirstRecord() const { return m_firstRecord; }

    // Asks for the edit state; answers whether the link is editing afterwards.
    bool Edit();
    // Writes this link's pending text into the table now.
    void UpdateRecord();
    int MoveRows(int n);
    bool AtEnd() const;
    bool AtStart() const;

protected:
    explicit TDataLink(bool visual)
        : m_visual(visual)
    { }

    virtual void activeChanged() { }
    virtual void editingChanged() { }
    virtual void recordChanged(TField *) { }
    virtual void dataSetChanged() { recordChanged(nullptr); }
    virtual void dataSetScrolled(int) { dataSetChanged(); }
    virtual void layoutChanged() { dataSetChanged(); }
    virtual void updateData() { }
    virtual void checkBrowseMode() { }
    virtual void focusControl(TField *, bool &) { }

private:
    friend class TDataSource;

    void dataEvent(TDataEvent event, const TDataEventInfo &info);
    void updateState();
    int adjustFirstRecord();

    TDataSource *m_dataSource = nullptr;
    bool m_active = false;
    bool m_editing = false;
    bool m_readOnly = false;
    bool m_visual = true;
    bool m_updating = false;
    int m_bufferCount = 1;
    int m_firstRecord = 0;
};

// The link of a detail table on its master's data source: keeps the master field objects named by the
// detail's MasterFields and asks the detail to follow the master's current row.
class TMasterDataLink : public TDataLink
{
public:
    explicit TMasterDataLink(TDataSet *detail);
    ~TMasterDataLink() override;

    TDataSet *Detail() const { return m_detail; }
    QString FieldNames() const { return m_fieldNames; }
    void setFieldNames(const QString &names);
    const std::vector<TField *> &Fields() const { return m_fields; }

    // The detail's master-change and master-disabled steps.
    std::function<void()> OnMasterChange;
    std::function<void()> OnMasterDisable;

protected:
    void activeChanged() override;
    void layoutChanged() override;
    void recordChanged(TField *field) override;
    void checkBrowseMode() override;

private:
    void rebuildFields();
    void followMaster();

    TDataSet *m_detail;
    QString m_fieldNames;
    std::vector<TField *> m_fields;
};

// Splits a ";"-separated list of field names (blanks around names ignored, empty entries dropped).
QStringList splitFieldNames(const QString &names);
