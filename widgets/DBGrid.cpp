#include "widgets/DBGrid.h"

#include "platform/Exceptions.h"
#include "store/DataSet.h"
#include "widgets/DBEdit.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

namespace {

bool isPrintableKey(const QKeyEvent &event)
{
    const QString text = event.text();
    return text.size() == 1 && text[0].unicode() >= 32 && text[0] != QChar(0x7F)
        && !(event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
}

bool isBinaryType(TFieldType type)
{
    switch (type) {
    case ftBytes:
    case ftVarBytes:
    case ftBlob:
    case ftADT:
    case ftArray:
    case ftReference:
    case ftDataSet:
        return true;
    default:
        return false;
    }
}

} // namespace

int defaultColumnWidth(const QFontMetrics &cellFont, int displayWidth, const QFontMetrics &titleFont,
                       const QString &title, bool titles)
{
    int width = cellFont.horizontalAdvance(QLatin1Char('0')) * std::max(0, displayWidth) + 4;
    if (titles)
        width = std::max(width, titleFont.horizontalAdvance(title) + 4);
    return width;
}

int fittingColumnWidth(const TDBGrid &grid, const TColumn &column, const QStringList &samples)
{
    const QStyle *style = grid.style();
    const QFont titleFont = column.TitleFont ? *column.TitleFont : grid.horizontalHeader()->font();
    const int titleMargin = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid.horizontalHeader());
    int width = QFontMetrics(titleFont).horizontalAdvance(column.Title) + titleMargin + 2;
    // Cell text keeps the focus frame's margin plus one pixel on each side, and the grid line.
    const int cellMargin = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1) + 1;
    const QFontMetrics cellFont(column.Font ? *column.Font : grid.font());
    for (const QString &sample : samples)
        width = std::max(width, cellFont.horizontalAdvance(sample) + cellMargin);
    return width;
}

// ---- TGridDataLink ----

TGridDataLink::TGridDataLink(TDBGrid *grid)
    : m_grid(grid)
{
}

TGridDataLink::~TGridDataLink()
{
    m_grid = nullptr;
    setDataSource(nullptr);
}

void TGridDataLink::activeChanged()
{
    if (m_grid)
        m_grid->linkActiveChanged();
}

void TGridDataLink::editingChanged()
{
    if (m_grid)
        m_grid->linkEditingChanged();
}

void TGridDataLink::recordChanged(TField *field)
{
    if (m_grid)
        m_grid->linkRecordChanged(field);
}

void TGridDataLink::dataSetChanged()
{
    if (m_grid)
        m_grid->linkDataSetChanged();
}

void TGridDataLink::dataSetScrolled(int)
{
    if (m_grid)
        m_grid->linkScrolled();
}

void TGridDataLink::layoutChanged()
{
    if (m_grid)
        m_grid->linkLayoutChanged();
}

void TGridDataLink::updateData()
{
    if (m_grid)
        m_grid->linkUpdateData();
}

void TGridDataLink::focusControl(TField *field, bool &served)
{
    if (!m_grid || !field)
        return;
    const auto &bound = m_grid->boundColumns();
    for (size_t i = 0; i < bound.size(); ++i) {
        if (bound[i].field == field && m_grid->isEnabled() && m_grid->isVisible()) {
            m_grid->setSelectedColumn(int(i));
            m_grid->setFocus(Qt::OtherFocusReason);
            served = true;
            return;
        }
    }
}

// ---- TDBGridModel ----

TDBGridModel::TDBGridModel(TDBGrid *grid)
    : QAbstractTableModel(grid)
    , m_grid(grid)
{
}

int TDBGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TDBGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant TDBGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_columns)
        return {};
    const TDBGrid::BoundColumn &bound = m_grid->m_bound[size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        break;
    case Qt::TextAlignmentRole: {
        const Qt::Alignment align = bound.column.Alignment ? *bound.column.Alignment
            : bound.field                                  ? bound.field->Alignment()
                                                           : Qt::AlignLeft;
        return QVariant::fromValue(Qt::Alignment(align | Qt::AlignVCenter));
    }
    case Qt::FontRole:
        return bound.column.Font ? QVariant(*bound.column.Font) : QVariant();
    case Qt::BackgroundRole:
        return bound.column.Color == clWindow ? QVariant() : QVariant(toQColor(bound.column.Color, m_grid->palette()));
    case Qt::ForegroundRole:
        return bound.column.FontColor == clWindowText ? QVariant()
                                                      : QVariant(toQColor(bound.column.FontColor, m_grid->palette()));
    default:
        return {};
    }
    // The text of a row of the link's window, read through the field objects without moving the table.
    TGridDataLink &link = *m_grid->m_link;
    TDataSet *dataSet = link.DataSet();
    if (!bound.field || !dataSet || !link.Active() || index.row() >= link.RecordCount())
        return {};
    try {
        ActiveRecordScope scope(*dataSet, link.FirstRecord() + index.row());
        return bound.field->DisplayText();
    } catch (const Exception &) {
        return {};
    }
}

QVariant TDBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_columns)
            return {};
        const TDBGrid::BoundColumn &bound = m_grid->m_bound[size_t(section)];
        if (role == Qt::DisplayRole) {
            if (!bound.column.Title.isEmpty())
                return bound.column.Title;
            return bound.field ? bound.field->DisplayName() : bound.column.FieldName;
        }
        if (role == Qt::FontRole && bound.column.TitleFont)
            return *bound.column.TitleFont;
        if (role == Qt::TextAlignmentRole && bound.column.TitleAlignment)
            return QVariant::fromValue(Qt::Alignment(*bound.column.TitleAlignment | Qt::AlignVCenter));
        return {};
    }
    if (role != Qt::DisplayRole || section < 0 || section >= m_rows)
        return {};
    TGridDataLink &link = *m_grid->m_link;
    const TDataSet *dataSet = link.DataSet();
    if (!dataSet || !link.Active() || section != link.ActiveRecord())
        return QString();
    switch (dataSet->State()) {
    case dsEdit:
        return QStringLiteral("I");
    case dsInsert:
        return QStringLiteral("*");
    default:
        return QStringLiteral("\u25B6");
    }
}

Qt::ItemFlags TDBGridModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void TDBGridModel::reset()
{
    beginResetModel();
    TGridDataLink &link = *m_grid->m_link;
    m_rows = link.Active() ? std::max(0, link.RecordCount()) : 0;
    m_columns = m_rows >= 0 ? int(m_grid->m_bound.size()) : 0;
    endResetModel();
}

void TDBGridModel::rowsChanged(int firstColumn, int lastColumn)
{
    if (m_rows == 0 || m_columns == 0)
        return;
    if (firstColumn < 0) {
        firstColumn = 0;
        lastColumn = m_columns - 1;
    }
    emit dataChanged(index(0, firstColumn), index(m_rows - 1, lastColumn));
}

void TDBGridModel::indicatorChanged()
{
    if (m_rows > 0)
        emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
}

// ---- TInplaceEdit ----

TInplaceEdit::TInplaceEdit(TDBGrid *grid)
    : QLineEdit(grid->viewport())
    , m_grid(grid)
{
    setFrame(false);
    hide();
    connect(this, &QLineEdit::textEdited, this, [this] { m_grid->link().setModified(true); });
}

bool TInplaceEdit::event(QEvent *event)
{
    // Tab moves between cells, not out of the grid.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && (m_grid->Options() & dgTabs)) {
            m_grid->handleKey(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TInplaceEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_F2:
        if (!m_grid->handleKey(event))
            event->ignore();
        return;
    case Qt::Key_Insert:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Delete:
        if (ctrl) {
            m_grid->handleKey(event);
            return;
        }
        break;
    default:
        break;
    }
    const TField *field = m_grid->SelectedField();
    if (isPrintableKey(*event) && field && !field->IsValidChar(event->text()[0])) {
        QApplication::beep();
        return;
    }
    const bool modifying = isPrintableKey(*event) || key == Qt::Key_Backspace || key == Qt::Key_Delete
        || event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)
        || event->matches(QKeySequence::Undo);
    if (modifying && !m_grid->canEditCell()) {
        QApplication::beep();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TInplaceEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!isTransientFocusChange(event->reason()))
        m_grid->editorLeft();
}

// ---- TDBGrid ----

TDBGrid::TDBGrid(QWidget *parent)
    : QTableView(parent)
    , m_link(std::make_unique<TGridDataLink>(this))
    , m_model(new TDBGridModel(this))
{
    setModel(m_model);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectItems);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabKeyNavigation(true);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setMinimumWidth(14);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (!m_applyingWidths && section >= 0 && size_t(section) < m_widths.size())
            m_widths[size_t(section)] = size;
    });
    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setRange(0, 2);
    m_scrollBar->setPageStep(1);
    connect(m_scrollBar, &QAbstractSlider::actionTriggered, this, &TDBGrid::scrollBarAction);
    m_editor = new TInplaceEdit(this);
    setOptions(kDefaultGridOptions);
}

TDBGrid::~TDBGrid()
{
    // Detach first: the link's last notices must not reach a half-destroyed grid.
    m_link.reset();
}

void TDBGrid::setDataSource(TDataSource *source)
{
    closeEditor();
    m_link->setDataSource(source);
    bindColumns();
    updateBufferCount();
    m_model->reset();
    applyColumnWidths();
    syncCurrent();
}

void TDBGrid::setOptions(TDBGridOptions options)
{
    m_options = options;
    horizontalHeader()->setVisible(options & dgTitles);
    verticalHeader()->setVisible(options & dgIndicator);
    setShowGrid(options & (dgColLines | dgRowLines));
    setTabKeyNavigation(options & dgTabs);
    horizontalHeader()->setSectionResizeMode(options & dgColumnResize ? QHeaderView::Interactive
                                                                      : QHeaderView::Fixed);
    setSelectionBehavior(options & dgRowSelect ? SelectRows : SelectItems);
}

void TDBGrid::setReadOnly(bool on)
{
    m_readOnly = on;
    if (on)
        closeEditor();
}

void TDBGrid::setColumns(std::vector<TColumn> columns)
{
    m_columns = std::move(columns);
    bindColumns();
    m_model->reset();
    applyColumnWidths();
    syncCurrent();
}

TField *TDBGrid::SelectedField() const
{
    if (m_column < 0 || size_t(m_column) >= m_bound.size())
        return nullptr;
    return m_bound[size_t(m_column)].field;
}

bool TDBGrid::editorOpen() const
{
    return m_editor && !m_editor->isHidden();
}

int TDBGrid::visibleRowCount() const
{
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    return std::clamp(viewport()->height() / rowHeight, 1, kMaxRows);
}

bool TDBGrid::guarded(const std::function<void()> &action)
{
    return Dialogs::guarded(this, action);
}

// ---- columns ----

void TDBGrid::bindColumns()
{
    m_bound.clear();
    TDataSet *dataSet = m_link->Active() ? m_link->DataSet() : nullptr;
    if (m_columns.empty()) {
        if (dataSet) {
            for (const auto &field : dataSet->Fields()) {
                if (!field->Visible())
                    continue;
                TColumn column;
                column.FieldName = field->FieldName();
                m_bound.push_back({column, field.get()});
            }
        }
    } else {
        for (const TColumn &column : m_columns) {
            if (column.Visible)
                m_bound.push_back({column, dataSet ? dataSet->LookupField(column.FieldName) : nullptr});
        }
    }
    m_column = std::clamp(m_column, 0, std::max(0, int(m_bound.size()) - 1));
    m_widths.clear();
    for (const BoundColumn &bound : m_bound) {
        if (bound.column.Width >= 0) {
            m_widths.push_back(bound.column.Width);
            continue;
        }
        const QFont cellFont = bound.column.Font ? *bound.column.Font : font();
        const QFont titleFont = bound.column.TitleFont ? *bound.column.TitleFont : horizontalHeader()->font();
        const QString title = !bound.column.Title.isEmpty() ? bound.column.Title
            : bound.field                                   ? bound.field->DisplayName()
                                                            : bound.column.FieldName;
        m_widths.push_back(defaultColumnWidth(QFontMetrics(cellFont), bound.field ? bound.field->DisplayWidth() : 10,
                                              QFontMetrics(titleFont), title, m_options & dgTitles));
    }
}

void TDBGrid::applyColumnWidths()
{
    m_applyingWidths = true;
    for (size_t i = 0; i < m_widths.size() && int(i) < m_model->columnCount(); ++i)
        horizontalHeader()->resizeSection(int(i), m_widths[i]);
    m_applyingWidths = false;
}

// ---- notices from the link ----

void TDBGrid::linkActiveChanged()
{
    if (!m_link->Active())
        closeEditor();
    bindColumns();
    m_model->reset();
    applyColumnWidths();
    syncCurrent();
}

void TDBGrid::linkEditingChanged()
{
    m_model->indicatorChanged();
}

void TDBGrid::linkRecordChanged(TField *field)
{
    int first = -1, last = -1;
    if (field) {
        for (size_t i = 0; i < m_bound.size(); ++i) {
            if (m_bound[i].field == field) {
                first = first < 0 ? int(i) : first;
                last = int(i);
            }
        }
        if (first < 0)
            return;
    }
    m_model->rowsChanged(first, last);
    m_model->indicatorChanged();
    if (editorOpen() && (!field || field == SelectedField())) {
        const TField *selected = SelectedField();
        if (selected && selected->EditText() != m_editor->text())
            reloadEditor();
    }
}

void TDBGrid::linkDataSetChanged()
{
    m_model->reset();
    applyColumnWidths();
    syncCurrent();
    if (editorOpen())
        reloadEditor();
}

void TDBGrid::linkScrolled()
{
    m_model->rowsChanged();
    m_model->indicatorChanged();
    syncCurrent();
    if (editorOpen())
        reloadEditor();
}

void TDBGrid::linkLayoutChanged()
{
    bindColumns();
    m_model->reset();
    applyColumnWidths();
    syncCurrent();
}

void TDBGrid::linkUpdateData()
{
    TField *field = SelectedField();
    if (!m_link->Modified() || !field)
        return;
    field->setText(m_editor->text());
    m_link->setModified(false);
}

// ---- view ----

void TDBGrid::updateBufferCount()
{
    m_link->setBufferCount(visibleRowCount());
    const int rows = m_link->Active() ? m_link->RecordCount() : 0;
    if (rows != m_model->rowCount()) {
        m_model->reset();
        applyColumnWidths();
        syncCurrent();
    }
}

void TDBGrid::syncCurrent()
{
    m_syncing = true;
    if (m_model->rowCount() > 0 && m_model->columnCount() > 0) {
        const QModelIndex index = m_model->index(std::clamp(m_link->ActiveRecord(), 0, m_model->rowCount() - 1),
                                                 std::clamp(m_column, 0, m_model->columnCount() - 1));
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    } else {
        selectionModel()->clearCurrentIndex();
    }
    verticalScrollBar()->setValue(0);
    m_syncing = false;
    updateScrollBar();
    placeEditor();
}

void TDBGrid::updateScrollBar()
{
    const TDataSet *dataSet = m_link->DataSet();
    int position = 0;
    if (dataSet && m_link->Active() && !dataSet->IsEmpty())
        position = dataSet->AtEnd() ? 2 : dataSet->AtStart() ? 0 : 1;
    const QSignalBlocker blocker(m_scrollBar);
    m_scrollBar->setSliderPosition(position);
}

void TDBGrid::scrollBarAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        moveBy(1);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        moveBy(-1);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        moveBy(visibleRowCount());
        break;
    case QAbstractSlider::SliderPageStepSub:
        moveBy(-visibleRowCount());
        break;
    case QAbstractSlider::SliderToMinimum:
        first();
        break;
    case QAbstractSlider::SliderToMaximum:
        last();
        break;
    case QAbstractSlider::SliderMove:
        if (m_scrollBar->sliderPosition() <= 0)
            first();
        else if (m_scrollBar->sliderPosition() >= 2)
            last();
        break;
    default:
        break;
    }
    const TDataSet *dataSet = m_link->DataSet();
    int position = 0;
    if (dataSet && m_link->Active() && !dataSet->IsEmpty())
        position = dataSet->AtEnd() ? 2 : dataSet->AtStart() ? 0 : 1;
    m_scrollBar->setSliderPosition(position);
}

void TDBGrid::updateGeometries()
{
    QTableView::updateGeometries();
    if (!m_scrollBar)
        return; // still being built
    const int barWidth = m_scrollBar->sizeHint().width();
    const QMargins margins = viewportMargins();
    if (margins.right() != barWidth)
        setViewportMargins(margins.left(), margins.top(), barWidth, margins.bottom());
    const QRect area = viewport()->geometry();
    m_scrollBar->setGeometry(area.right() + 1, area.top(), barWidth, area.height());
}

void TDBGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    updateBufferCount();
    placeEditor();
}

void TDBGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    placeEditor();
}

bool TDBGrid::event(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    return QTableView::event(event);
}

// ---- editor ----

bool TDBGrid::canEditCell()
{
    if (m_readOnly || m_link->ReadOnly() || !(m_options & dgEditing) || !m_link->Active())
        return false;
    if (m_column < 0 || size_t(m_column) >= m_bound.size())
        return false;
    const BoundColumn &bound = m_bound[size_t(m_column)];
    TField *field = bound.field;
    if (!field || bound.column.ReadOnly || field->ReadOnly() || !field->CanModify())
        return false;
    if (isBinaryType(field->DataType()) && !field->OnSetText)
        return false;
    bool editing = false;
    guarded([&] { editing = m_link->Edit(); });
    if (editing)
        m_link->setModified(true);
    return editing;
}

void TDBGrid::openEditor(const QString &typed)
{
    if (!(m_options & dgEditing) || m_readOnly || m_model->rowCount() == 0 || m_bound.empty())
        return;
    const TField *field = SelectedField();
    const bool textField = field && (field->DataType() == ftString || field->DataType() == ftFixedChar);
    m_editor->setMaxLength(textField && field->Size() > 0 ? field->Size() : 32767);
    m_editor->setText(field ? field->EditText() : QString());
    m_editor->show();
    placeEditor();
    m_editor->setFocus(Qt::OtherFocusReason);
    m_editor->selectAll();
    if (!typed.isEmpty()) {
        m_editor->insert(typed);
        m_link->setModified(true);
    } else {
        m_link->setModified(false);
    }
}

void TDBGrid::closeEditor()
{
    if (!editorOpen())
        return;
    // The focus goes back to the grid before the editor hides, so it never wanders out of the grid.
    if (m_editor->hasFocus())
        setFocus(Qt::OtherFocusReason);
    m_editor->hide();
    m_link->setModified(false);
}

void TDBGrid::placeEditor()
{
    if (!editorOpen() || m_model->rowCount() == 0)
        return;
    const QModelIndex index = m_model->index(std::clamp(m_link->ActiveRecord(), 0, m_model->rowCount() - 1),
                                             std::clamp(m_column, 0, std::max(0, m_model->columnCount() - 1)));
    m_editor->setGeometry(visualRect(index));
}

void TDBGrid::reloadEditor()
{
    const TField *field = SelectedField();
    m_editor->setText(field ? field->EditText() : QString());
    m_editor->selectAll();
    m_link->setModified(false);
}

bool TDBGrid::writeEditor()
{
    if (!editorOpen() || !m_link->Modified())
        return true;
    return guarded([this] { m_link->UpdateRecord(); });
}

bool TDBGrid::focusInside(QWidget *widget) const
{
    return widget && (widget == this || isAncestorOf(widget));
}

bool TDBGrid::isUntouchedNewRow() const
{
    const TDataSet *dataSet = m_link->DataSet();
    return dataSet && dataSet->State() == dsInsert && !dataSet->RowChanged() && !m_link->Modified();
}

void TDBGrid::editorLeft()
{
    if (focusInside(QApplication::focusWidget()) || !m_link->Active())
        return;
    if ((m_options & dgCancelOnExit) && isUntouchedNewRow()) {
        guarded([this] { m_link->DataSet()->Cancel(); });
        closeEditor();
        return;
    }
    if (!writeEditor())
        QTimer::singleShot(0, this, [this] { (editorOpen() ? static_cast<QWidget *>(m_editor) : this)->setFocus(); });
}

void TDBGrid::focusOutEvent(QFocusEvent *event)
{
    QTableView::focusOutEvent(event);
    if (!isTransientFocusChange(event->reason()))
        editorLeft();
}

// ---- keys and mouse ----

void TDBGrid::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event))
        event->ignore();
}

bool TDBGrid::handleKey(QKeyEvent *event)
{
    if (!m_link->Active())
        return false;
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const int rowsInWindow = m_link->RecordCount();
    switch (key) {
    case Qt::Key_Down:
        ctrl ? moveBy(rowsInWindow - 1 - m_link->ActiveRecord()) : moveDown();
        return true;
    case Qt::Key_Up:
        ctrl ? moveBy(-m_link->ActiveRecord()) : moveUp();
        return true;
    case Qt::Key_PageDown:
        ctrl ? moveBy(rowsInWindow - 1 - m_link->ActiveRecord()) : moveBy(visibleRowCount());
        return true;
    case Qt::Key_PageUp:
        ctrl ? moveBy(-m_link->ActiveRecord()) : moveBy(-visibleRowCount());
        return true;
    case Qt::Key_Home:
        if (ctrl || m_bound.size() == 1 || (m_options & dgRowSelect))
            first();
        else
            changeColumn(0);
        return true;
    case Qt::Key_End:
        if (ctrl || m_bound.size() == 1 || (m_options & dgRowSelect))
            last();
        else
            changeColumn(int(m_bound.size()) - 1);
        return true;
    case Qt::Key_Left:
        moveColumn(-1, false);
        return true;
    case Qt::Key_Right:
        moveColumn(1, false);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!(m_options & dgTabs))
            return false;
        moveColumn(key == Qt::Key_Backtab || (mods & Qt::ShiftModifier) ? -1 : 1, true);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        enterKey();
        return true;
    case Qt::Key_Escape:
        if (!editorOpen() && !(m_link->DataSet()->State() == dsEdit || m_link->DataSet()->State() == dsInsert))
            return false;
        escapeKey();
        return true;
    case Qt::Key_Insert:
        if (mods == Qt::NoModifier)
            insertKey();
        return true;
    case Qt::Key_Delete:
        if (ctrl)
            deleteKey();
        return true;
    case Qt::Key_F2:
        openEditor();
        return true;
    default:
        break;
    }
    if ((m_options & dgEditing) && (isPrintableKey(*event) || key == Qt::Key_Backspace)) {
        const TField *field = SelectedField();
        if (isPrintableKey(*event) && field && !field->IsValidChar(event->text()[0])) {
            QApplication::beep();
            return true;
        }
        if (!canEditCell()) {
            QApplication::beep();
            return true;
        }
        openEditor(isPrintableKey(*event) ? event->text() : QString());
        if (key == Qt::Key_Backspace) {
            m_editor->backspace();
            m_link->setModified(true);
        }
        return true;
    }
    return false;
}

void TDBGrid::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || !m_link->Active()) {
        event->accept();
        return;
    }
    if (index.column() != m_column && !changeColumn(index.column()))
        return;
    const int delta = index.row() - m_link->ActiveRecord();
    if (delta != 0)
        moveBy(delta);
    syncCurrent();
    event->accept();
}

void TDBGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    mousePressEvent(event);
    if (canEditCell())
        openEditor();
}

void TDBGrid::wheelEvent(QWheelEvent *event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0 && m_link->Active())
        moveBy(-steps);
    event->accept();
}

// ---- actions ----

void TDBGrid::moveBy(int rows)
{
    if (rows == 0)
        return;
    if (guarded([&] { m_link->MoveRows(rows); }))
        closeEditor();
    syncCurrent();
}

void TDBGrid::moveDown()
{
    TDataSet *dataSet = m_link->DataSet();
    const bool ok = guarded([&] {
        if (isUntouchedNewRow()) {
            if (!dataSet->AtEnd())
                dataSet->Cancel();
            return;
        }
        m_link->MoveRows(1);
        if (dataSet->AtEnd() && dataSet->CanModify() && !m_readOnly && (m_options & dgEditing))
            dataSet->AppendRow();
    });
    if (ok)
        closeEditor();
    syncCurrent();
}

void TDBGrid::moveUp()
{
    TDataSet *dataSet = m_link->DataSet();
    const bool ok = guarded([&] {
        if (isUntouchedNewRow() && dataSet->AtEnd())
            dataSet->Cancel();
        else
            m_link->MoveRows(-1);
    });
    if (ok)
        closeEditor();
    syncCurrent();
}

bool TDBGrid::changeColumn(int column)
{
    column = std::clamp(column, 0, std::max(0, int(m_bound.size()) - 1));
    if (column == m_column)
        return true;
    if (!writeEditor())
        return false;
    closeEditor();
    m_column = column;
    syncCurrent();
    return true;
}

void TDBGrid::setSelectedColumn(int column)
{
    changeColumn(column);
}

void TDBGrid::moveColumn(int delta, bool wrap)
{
    const int target = m_column + delta;
    if (target >= 0 && target < int(m_bound.size())) {
        changeColumn(target);
        return;
    }
    if (!wrap || m_bound.empty() || !writeEditor())
        return;
    if (delta > 0) {
        moveDown();
        changeColumn(0);
    } else {
        const int before = m_link->ActiveRecord();
        const bool atStart = m_link->DataSet()->AtStart();
        moveUp();
        if (!(atStart && before == m_link->ActiveRecord()))
            changeColumn(int(m_bound.size()) - 1);
    }
}

void TDBGrid::enterKey()
{
    if (editorOpen()) {
        if (m_link->Modified() && !writeEditor())
            return;
        if (!(m_options & dgAlwaysShowEditor))
            closeEditor();
        return;
    }
    openEditor();
}

void TDBGrid::escapeKey()
{
    if (editorOpen() && m_link->Modified()) {
        reloadEditor();
    } else {
        TDataSet *dataSet = m_link->DataSet();
        if (dataSet->State() == dsEdit || dataSet->State() == dsInsert)
            guarded([dataSet] { dataSet->Cancel(); });
    }
    if (!(m_options & dgAlwaysShowEditor))
        closeEditor();
    syncCurrent();
}

void TDBGrid::insertKey()
{
    TDataSet *dataSet = m_link->DataSet();
    if (!dataSet->CanModify() || m_readOnly || !(m_options & dgEditing))
        return;
    if (guarded([dataSet] { dataSet->Insert(); }))
        closeEditor();
    syncCurrent();
}

void TDBGrid::deleteKey()
{
    TDataSet *dataSet = m_link->DataSet();
    if (m_readOnly || dataSet->IsEmpty() || !dataSet->CanModify())
        return;
    if ((m_options & dgConfirmDelete) && !Dialogs::confirmOkCancel(this, QStringLiteral("Delete record?")))
        return;
    if (guarded([dataSet] { dataSet->Delete(); }))
        closeEditor();
    syncCurrent();
}

void TDBGrid::first()
{
    if (guarded([this] { m_link->DataSet()->First(); }))
        closeEditor();
    syncCurrent();
}

void TDBGrid::last()
{
    if (guarded([this] { m_link->DataSet()->Last(); }))
        closeEditor();
    syncCurrent();
}
