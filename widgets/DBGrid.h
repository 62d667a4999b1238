#pragma once

#include "platform/Colors.h"
#include "store/DataSource.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QScrollBar;
class TDBGrid;

enum TDBGridOption {
    dgEditing = 0x1,
    dgAlwaysShowEditor = 0x2,
    dgTitles = 0x4,
    dgIndicator = 0x8,
    dgColumnResize = 0x10,
    dgColLines = 0x20,
    dgRowLines = 0x40,
    dgTabs = 0x80,
    dgRowSelect = 0x100,
    dgAlwaysShowSelection = 0x200,
    dgConfirmDelete = 0x400,
    dgCancelOnExit = 0x800,
    dgMultiSelect = 0x1000,
};
using TDBGridOptions = int;
constexpr TDBGridOptions kDefaultGridOptions = dgEditing | dgTitles | dgIndicator | dgColumnResize | dgColLines
    | dgRowLines | dgTabs | dgConfirmDelete | dgCancelOnExit;

// One column of a grid as a window defines it; unset values follow the field.
struct TColumn
{
    QString FieldName;
    QString Title;                        // empty: the field's display name
    int Width = -1;                       // pixels; −1: from the field's display width
    std::optional<Qt::Alignment> Alignment;
    std::optional<QFont> Font;
    TColor Color = clWindow;              // cell background
    TColor FontColor = clWindowText;
    std::optional<QFont> TitleFont;
    bool ReadOnly = false;
    bool Visible = true;
    std::optional<Qt::Alignment> TitleAlignment; // unset: left
    TColor TitleColor = clBtnFace;                // title background
};

// The width of a column without a stored width: the "0" of its font times the field's display width plus 4
// pixels, and at least the title's width plus 4 when titles are shown.
int defaultColumnWidth(const QFontMetrics &cellFont, int displayWidth, const QFontMetrics &titleFont,
                       const QString &title, bool titles);

// The narrowest width of `column` on `grid` that shows its whole title in the title font and each of the
// sample texts in the cell font, with the margins the grid's style draws around titles and cells.
int fittingColumnWidth(const TDBGrid &grid, const TColumn &column, const QStringList &samples);

// The grid's link on its data source: passes the table's notices to the grid.
class TGridDataLink : public TDataLink
{
public:
    explicit TGridDataLink(TDBGrid *grid);
    ~TGridDataLink() override;

    // The open cell editor's text was changed and not yet written.
    bool Modified() const { return m_modified; }
    void setModified(bool on) { m_modified = on; }

protected:
    void activeChanged() override;
    void editingChanged() override;
    void recordChanged(TField *field) override;
    void dataSetChanged() override;
    void dataSetScrolled(int distance) override;
    void layoutChanged() override;
    void updateData() override;
    void focusControl(TField *field, bool &served) override;

private:
    TDBGrid *m_grid;
    bool m_modified = false;
};

// The grid's rows are the rows of the link's buffer window, read through the field objects; the table is
// never copied, so the model costs the same for ten rows as for a million. The row count changes only in a
// model reset, which follows every change of the table's view.
class TDBGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TDBGridModel(TDBGrid *grid);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void reset();
    void rowsChanged(int firstColumn = -1, int lastColumn = -1);
    void indicatorChanged();

private:
    TDBGrid *m_grid;
    int m_rows = 0;
    int m_columns = 0;
};

class TDBGrid;

// The grid's cell editor.
class TInplaceEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TInplaceEdit(TDBGrid *grid);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    TDBGrid *m_grid;
};

// A data grid bound to a data source: one column per field (or per defined column), the table's current row
// follows the grid and the grid follows the table. Typing edits the current cell, Enter writes it, moving to
// another row posts it, Escape undoes in two steps. Table errors are shown in the error box; the grid keeps
// its state.
class TDBGrid : public QTableView
{
    Q_OBJECT
public:
    explicit TDBGrid(QWidget *parent = nullptr);
    ~TDBGrid() override;

    TDataSource *DataSource() const { return m_link->DataSource(); }
    void setDataSource(TDataSource *source);
    TDBGridOptions Options() const { return m_options; }
    void setOptions(TDBGridOptions options);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on);
    // Empty: a column for every visible field of the table.
    const std::vector<TColumn> &Columns() const { return m_columns; }
    void setColumns(std::vector<TColumn> columns);
    TGridDataLink &link() { return *m_link; }

    // The shown columns with their fields (nullptr for a column whose field is missing).
    struct BoundColumn
    {
        TColumn column;
        TField *field = nullptr;
    };
    const std::vector<BoundColumn> &boundColumns() const { return m_bound; }
    int selectedColumn() const { return m_column; }
    void setSelectedColumn(int column);
    TField *SelectedField() const;
    TInplaceEdit *editor() const { return m_editor; }
    bool editorOpen() const;
    // Rows the grid asks its link for: the rows that fit, at least 1 and at most kMaxRows.
    int visibleRowCount() const;
    static constexpr int kMaxRows = 500;

    // The same actions as the keys, for windows and tests.
    bool handleKey(QKeyEvent *event);
    void openEditor(const QString &typed = QString());
    void closeEditor();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    bool event(QEvent *event) override;

private:
    friend class TGridDataLink;
    friend class TDBGridModel;
    friend class TInplaceEdit;

    // Notices from the link.
    void linkActiveChanged();
    void linkEditingChanged();
    void linkRecordChanged(TField *field);
    void linkDataSetChanged();
    void linkScrolled();
    void linkLayoutChanged();
    void linkUpdateData();

    void bindColumns();
    void applyColumnWidths();
    void updateBufferCount();
    void syncCurrent();
    void updateScrollBar();
    void placeEditor();
    void reloadEditor();
    bool canEditCell();
    bool writeEditor();
    bool guarded(const std::function<void()> &action);
    void editorLeft();
    bool focusInside(QWidget *widget) const;
    bool isUntouchedNewRow() const;

    void moveDown();
    void moveUp();
    void moveBy(int rows);
    void moveColumn(int delta, bool wrap);
    bool changeColumn(int column);
    void scrollBarAction(int action);
    void enterKey();
    void escapeKey();
    void insertKey();
    void deleteKey();
    void first();
    void last();

    std::unique_ptr<TGridDataLink> m_link;
    TDBGridModel *m_model;
    TInplaceEdit *m_editor = nullptr;
    QScrollBar *m_scrollBar = nullptr;
    TDBGridOptions m_options = kDefaultGridOptions;
    bool m_readOnly = false;
    std::vector<TColumn> m_columns;
    std::vector<BoundColumn> m_bound;
    std::vector<int> m_widths;
    int m_column = 0;
    bool m_syncing = false;
    bool m_applyingWidths = false;
};
