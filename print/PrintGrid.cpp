#include "print/PrintGrid.h"

#include "platform/Exceptions.h"
#include "print/GridLayout.h"
#include "store/DataSet.h"
#include "store/DataSource.h"
#include "widgets/DBGrid.h"
#include "widgets/Dialogs.h"
#include "widgets/GradPanel.h"

#include <QFile>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QPrinter>
#include <QProgressBar>

using namespace GridLayout;

// ---- bound lists ----

void TPrintBound::AddBound(
    qint32 line, const QString &text, qint32 fontSize, Rp::TFontStyles fontStyle, Qt::Alignment alignment)
{
    m_records.push_back({ line, text, fontSize, fontStyle, alignment });
}

// ---- the printer as pages ----

PrinterPages::PrinterPages(QPrinter &printer)
    : m_printer(printer)
{ }

void PrinterPages::setOrientation(QPageLayout::Orientation orientation)
{
    m_printer.setPageOrientation(orientation);
}

QPaintDevice &PrinterPages::device()
{
    m_printer.setResolution(kResolution);
    if (m_printer.outputFormat() == QPrinter::PdfFormat) {
        m_printer.setFullPage(true);
        m_printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    }
    return m_printer;
}

int PrinterPages::pageWidth() const
{
    return m_printer.width();
}

int PrinterPages::pageHeight() const
{
    return m_printer.height();
}

bool PrinterPages::newPage()
{
    return m_printer.newPage();
}

bool PrinterPages::failed() const
{
    return m_printer.printerState() == QPrinter::Error || m_printer.printerState() == QPrinter::Aborted;
}

void PrinterPages::abortJob()
{
    m_printer.abort();
}

void PrinterPages::removeOutput()
{
    // Aborting does not stop a PDF file from being written when the painter ends.
    if (m_printer.outputFormat() == QPrinter::PdfFormat && !m_printer.outputFileName().isEmpty())
        QFile::remove(m_printer.outputFileName());
}

// ---- one print ----

namespace {

QFont printFont(QFont font)
{
    // Window fonts may be sized in screen pixels; on paper they keep their size in points.
    if (font.pixelSize() > 0)
        font.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
    return font;
}

// A cell's text: amounts as the windows show them, through the program's one currency formatter
// ("-245,10 €", "8 200,00 €"); every other field its plain text.
QString cellText(const TField &field)
{
    const auto *number = dynamic_cast<const TFloatField *>(&field);
    return number && number->Currency() ? field.DisplayText() : field.AsString();
}

bool isNumeric(const TField *field)
{
    switch (field->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftAutoInc:
    case ftLargeint:
    case ftBCD:
    case ftFMTBcd:
        return true;
    default:
        return false;
    }
}

// One printed column, filled at each print.
struct TColumnRect
{
    int Left = 0;
    int Right = 0;
    int Top = 0;
    Qt::Alignment Alignment = Qt::AlignLeft;
    QFont Font;
    QColor FontColor;
    QColor Color;
    QFont TitleFont;
    Qt::Alignment TitleAlignment = Qt::AlignLeft;
    QColor TitleColor;
    QColor TitleFontColor;
    QString TitleCaption;
    QString FieldName;
    TField *field = nullptr; // nullptr for the row-number column
    bool numeric = false;
};

// Restores the progress bar to 0 when a print ends, however it ends.
class ProgressReset
{
public:
    explicit ProgressReset(QProgressBar *bar)
        : m_bar(bar)
    { }
    ~ProgressReset()
    {
        if (m_bar)
            m_bar->setValue(m_bar->minimum());
    }
    ProgressReset(const ProgressReset &) = delete;
    ProgressReset &operator=(const ProgressReset &) = delete;

private:
    QPointer<QProgressBar> m_bar;
};

} // namespace

class TPrintGrid::Render
{
public:
    Render(TPrintGrid &grid, PrintPages &pages)
        : m_grid(grid)
        , m_pages(pages)
    { }

    void run()
    {
        QPaintDevice &device = m_pages.device();
        m_device = &device;
        m_pageWidth = m_pages.pageWidth();
        m_pageHeight = m_pages.pageHeight();
        layoutColumns();
        if (!m_painter.begin(&device))
            throw Exception(
                QStringLiteral("Cannot start printing: the printer or its output file is not available"));
        try {
            render();
        } catch (...) {
            m_pages.abortJob();
            if (m_painter.isActive())
                m_painter.end();
            m_pages.removeOutput();
            throw;
        }
        const bool ended = m_painter.end();
        if (!ended || m_pages.failed()) {
            m_pages.removeOutput();
            throw Exception(QStringLiteral("The printer reported an error: the print was not completed"));
        }
    }

private:
    void log(const char *text) { m_grid.LogMessage(QString::fromLatin1(text)); }

    void render()
    {
        log("Preparing to output image");
        m_y = kPageTop;
        m_page = 1;
        pageNumber();
        if (!m_grid.m_headerBounds.IsEmpty()) {
            boundLines(m_grid.m_headerBounds);
            m_y += kBoundGap;
        }
        log("Computing number of visible columns and width of table");
        log("Calculating the coefficient of compression/stretch");
        log("If there is an auto-number field, add one more column");
        log("Calculating row coordinates");
        titleRow();
        rows();
        if (!m_grid.m_footerBounds.IsEmpty()) {
            m_y += m_rowHeight + kBoundGap;
            boundLines(m_grid.m_footerBounds);
        }
    }

    // The column table from the grid's visible columns, stretched to the page; raises when the table cannot
    // be laid out on this page.
    void layoutColumns()
    {
        TDBGrid &grid = *m_grid.m_boundGrid;
        const auto &bound = grid.boundColumns();
        m_rowHeight = 0;
        m_titleHeight = 0;
        std::vector<int> widths;
        const QString probe = QStringLiteral("ROW HEIGHT");
        for (size_t i = 0; i < bound.size(); ++i) {
            const TDBGrid::BoundColumn &column = bound[i];
            TColumnRect entry;
            const TColumn &c = column.column;
            entry.Alignment = c.Alignment ? *c.Alignment
                : column.field            ? column.field->Alignment()
                                          : Qt::AlignLeft;
            entry.Font = printFont(c.Font ? *c.Font : grid.font());
            entry.FontColor = toQColor(c.FontColor, grid.palette());
            entry.Color = toQColor(c.Color, grid.palette());
            entry.TitleFont = printFont(c.TitleFont ? *c.TitleFont : grid.horizontalHeader()->font());
            entry.TitleAlignment = c.TitleAlignment ? *c.TitleAlignment : Qt::AlignLeft;
            entry.TitleColor = toQColor(c.TitleColor, grid.palette());
            entry.TitleFontColor = toQColor(clWindowText, grid.palette());
            entry.TitleCaption = !c.Title.isEmpty() ? c.Title
                : column.field                      ? column.field->DisplayName()
                                                    : c.FieldName;
            entry.FieldName = c.FieldName;
            entry.field = column.field;
            entry.numeric = column.field && isNumeric(column.field);
            widths.push_back(grid.horizontalHeader()->sectionSize(int(i)));
            const int cellHeight = QFontMetrics(entry.Font, m_device).boundingRect(probe).height();
            if (cellHeight > m_rowHeight)
                m_rowHeight = cellHeight + 2;
            const int titleHeight = QFontMetrics(entry.TitleFont, m_device).boundingRect(probe).height();
            if (titleHeight > m_titleHeight)
                m_titleHeight = titleHeight + 2;
            m_columns.push_back(entry);
        }
        if (m_pageWidth - m_grid.m_leftMargin - m_grid.m_rightMargin <= 0)
            throw Exception(QStringLiteral("The page has no printable width between its margins"));
        if (kPageTop + m_titleHeight + m_rowHeight > m_pageHeight - m_grid.m_bottomMargin)
            throw Exception(QStringLiteral("The page is too small for the column titles and one row"));
        if (m_grid.m_rowNumbers) {
            TColumnRect entry = m_columns.front();
            entry.Alignment = Qt::AlignLeft;
            entry.FieldName = QStringLiteral("Num");
            entry.TitleAlignment = Qt::AlignLeft;
            entry.TitleCaption = QStringLiteral("Num");
            entry.field = nullptr;
            entry.numeric = true;
            m_columns.insert(m_columns.begin(), entry);
        }
        const std::vector<ColumnSpan> spans = stretchColumns(
            widths, m_grid.m_rowNumbers, m_pageWidth, m_grid.m_leftMargin, m_grid.m_rightMargin);
        for (size_t i = 0; i < m_columns.size(); ++i) {
            m_columns[i].Left = spans[i].left;
            m_columns[i].Right = spans[i].right;
        }
        for (TColumnRect &entry : m_columns) {
            m_cellMetrics.emplace_back(entry.Font, m_device);
            m_titleMetrics.emplace_back(entry.TitleFont, m_device);
        }
    }

    void pageNumber()
    {
        log("Page number output");
        QFont font(m_grid.m_pageNumFontName);
        font.setPointSize(std::max(1, m_grid.m_pageNumFontSize));
        m_textColor = toQColor(m_grid.m_headerColor);
        if (!m_grid.m_printPageNum)
            return;
        m_painter.setFont(font);
        const QFontMetrics metrics(font, m_device);
        const QString text = QStringLiteral("Page ") + QString::number(m_page);
        const int x = m_pageWidth - metrics.horizontalAdvance(text) - m_grid.m_rightMargin;
        drawText(x, kPageNumberY, text, metrics, QColor());
    }

    void boundLines(const TPrintBound &bounds)
    {
        log("Bounds drawing");
        const auto fontOf = [](const TBoundRec &record) {
            QFont font(QStringLiteral("MS Sans Serif"));
            font.setPointSize(std::max(1, int(record.FontSize)));
            font.setBold(record.FontStyle & Rp::fsBold);
            font.setItalic(record.FontStyle & Rp::fsItalic);
            font.setUnderline(record.FontStyle & Rp::fsUnderline);
            font.setStrikeOut(record.FontStyle & Rp::fsStrikeOut);
            return font;
        };
        const auto measure = [&](const TBoundRec &record) {
            const QFontMetrics metrics(fontOf(record), m_device);
            return QSize(metrics.horizontalAdvance(record.Text), metrics.height());
        };
        const std::vector<TBoundRec> &records = bounds.Records();
        const BoundPlacement placement
            = placeBounds(records, m_y, m_pageWidth, m_grid.m_leftMargin, m_grid.m_rightMargin, measure);
        for (size_t i = 0; i < records.size(); ++i) {
            const QFont font = fontOf(records[i]);
            m_painter.setFont(font);
            drawText(placement.positions[i].x(), placement.positions[i].y(), records[i].Text,
                QFontMetrics(font, m_device), Qt::white);
        }
        m_y = placement.bottom;
    }

    void titleRow()
    {
        log("Table title output");
        for (size_t i = 0; i < m_columns.size(); ++i) {
            const TColumnRect &entry = m_columns[i];
            const QRect cell(QPoint(entry.Left, m_y), QPoint(entry.Right, m_y + m_titleHeight));
            m_painter.setPen(QPen(Qt::black, 1));
            if (i == 0)
                m_painter.drawLine(cell.left(), cell.top(), cell.left(), cell.bottom());
            const QPoint path[] = { { cell.left(), cell.top() }, { cell.right(), cell.top() },
                { cell.right(), cell.bottom() }, { cell.left(), cell.bottom() } };
            m_painter.drawPolyline(path, 4);
            m_textColor = entry.TitleFontColor;
            paintCell(cell, entry.TitleFont, m_titleMetrics[i], entry.TitleCaption, entry.TitleColor,
                entry.TitleAlignment, false);
        }
        m_y += m_titleHeight;
    }

    void rows()
    {
        log("Preparing rows for output");
        TDataSet &dataSet = *m_grid.m_dataSet;
        m_rowNo = 1;
        dataSet.suspendObservers();
        const int remembered = dataSet.CurrentRowNumber();
        try {
            dataSet.First();
            while (!dataSet.AtEnd()) {
                drawRow();
                dataSet.Next();
                ++m_rowNo;
                m_y += m_rowHeight;
                if (breaksAfterRow(m_y, m_rowHeight, m_pageHeight, m_grid.m_bottomMargin))
                    nextPage();
            }
            returnTo(dataSet, remembered);
        } catch (...) {
            // Back to the row first, while the controls still do not follow, then let them follow again; an
            // error on the way back must not hide the one that stopped the print.
            try {
                returnTo(dataSet, remembered);
            } catch (const Exception &) { }
            try {
                dataSet.resumeObservers();
            } catch (const Exception &) { }
            throw;
        }
        dataSet.resumeObservers();
    }

    static void returnTo(TDataSet &dataSet, int row)
    {
        if (row != 0 && !dataSet.MoveToRow(row))
            dataSet.First();
    }

    void nextPage()
    {
        ++m_page;
        if (m_grid.OnNextPageEvent)
            m_grid.OnNextPageEvent(m_grid, m_page);
        if (!m_pages.newPage())
            throw Exception(QStringLiteral("The printer could not start page %1").arg(m_page));
        m_y = kPageTop;
        pageNumber();
        titleRow();
    }

    void drawRow()
    {
        log("Formatting row output");
        for (size_t i = 0; i < m_columns.size(); ++i) {
            const TColumnRect &entry = m_columns[i];
            const QRect cell(QPoint(entry.Left, m_y), QPoint(entry.Right, m_y + m_rowHeight));
            m_painter.setPen(QPen(Qt::black, 1));
            if (i == 0)
                m_painter.drawLine(cell.left(), cell.top(), cell.left(), cell.bottom());
            const QPoint path[] = { { cell.left(), cell.bottom() }, { cell.right(), cell.bottom() },
                { cell.right(), cell.top() } };
            m_painter.drawPolyline(path, 3);
            const QString text = entry.field ? cellText(*entry.field) : QString::number(m_rowNo);
            m_textColor = entry.FontColor;
            paintCell(cell, entry.Font, m_cellMetrics[i], text, entry.Color, entry.Alignment, entry.numeric);
        }
    }

    // Cell drawing: the background inside the lines, then the text, fitted, aligned and centred vertically.
    void paintCell(const QRect &cell, const QFont &font, const QFontMetrics &metrics, const QString &text,
        const QColor &color, Qt::Alignment alignment, bool numeric)
    {
        const int left = cell.left(), top = cell.top(), right = cell.right(), bottom = cell.bottom();
        if (right - 1 > left && bottom - 1 > top)
            m_painter.fillRect(QRect(QPoint(left + 1, top + 1), QPoint(right - 1, bottom - 1)), color);
        m_painter.setFont(font);
        const int room = right - left - metrics.horizontalAdvance(QLatin1Char('A'));
        const QString shown = fitCellText(
            text, room, numeric, [&](const QString &t) { return metrics.horizontalAdvance(t); });
        if (shown.isEmpty())
            return;
        const int x = cellTextX(left, right, metrics.horizontalAdvance(shown), alignment);
        const int y = cellTextY(top, bottom, metrics.height());
        drawText(x, y, shown, metrics, QColor());
    }

    // Text with its top-left corner at (x, y), in the current text colour, on an optional background.
    void drawText(int x, int y, const QString &text, const QFontMetrics &metrics, const QColor &background)
    {
        if (background.isValid())
            m_painter.fillRect(QRect(x, y, metrics.horizontalAdvance(text), metrics.height()), background);
        m_painter.setPen(m_textColor);
        m_painter.drawText(x, y + metrics.ascent(), text);
    }

    TPrintGrid &m_grid;
    PrintPages &m_pages;
    QPaintDevice *m_device = nullptr;
    QPainter m_painter;
    int m_pageWidth = 0;
    int m_pageHeight = 0;
    int m_y = 0;
    int m_rowHeight = 0;
    int m_titleHeight = 0;
    int m_rowNo = 0;
    int m_page = 0;
    QColor m_textColor = Qt::black;
    std::vector<TColumnRect> m_columns;
    std::vector<QFontMetrics> m_cellMetrics;
    std::vector<QFontMetrics> m_titleMetrics;
};

// ---- the component ----

TPrintGrid::TPrintGrid(QObject *parent)
    : QObject(parent)
{ }

TPrintGrid::~TPrintGrid() = default;

void TPrintGrid::setLogPanel(TGradPanel *panel)
{
    m_logPanel = panel;
}

void TPrintGrid::setPrintProgressBar(QProgressBar *bar)
{
    m_progressBar = bar;
}

void TPrintGrid::FinishLoading()
{
    if (m_dbGrid)
        BindGrid(m_dbGrid);
}

void TPrintGrid::BindGrid(TDBGrid *grid)
{
    m_boundGrid = grid;
    m_dataSet = grid && grid->DataSource() ? grid->DataSource()->DataSet() : nullptr;
}

QPrinter &TPrintGrid::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool TPrintGrid::Print()
{
    PrinterPages pages(Printer());
    return Print(pages);
}

bool TPrintGrid::Print(PrintPages &pages)
{
    const ProgressReset reset(m_progressBar);
    // The log holds the messages of one print: a long session that prints often does not grow it without end.
    m_log.clear();
    LogMessage(QStringLiteral("Formatting document"));
    checkPrintable();
    const bool confirmed = !m_printDialog || Dialogs::choosePrinter(dialogParent(), Printer());
    if (confirmed) {
        finishPendingEdit();
        pages.setOrientation(m_orientation);
        Render(*this, pages).run();
    }
    LogMessage(QStringLiteral("Formatting complete and job sent to printer"));
    return confirmed;
}

void TPrintGrid::checkPrintable() const
{
    if (!m_boundGrid)
        throw Exception(QStringLiteral("No data grid is bound to the grid printer"));
    if (!m_dataSet || !m_dataSet->Active())
        throw Exception(QStringLiteral("The grid to print has no open table"));
    const int visible = int(m_boundGrid->boundColumns().size());
    if (visible == 0)
        throw Exception(QStringLiteral("The grid to print has no visible column"));
    for (const TDBGrid::BoundColumn &column : m_boundGrid->boundColumns()) {
        if (!column.field)
            throw Exception(QStringLiteral("Field '%1' not found").arg(column.column.FieldName));
        // The rows are walked on the bound table; cells read from another table would repeat one row.
        if (column.field->DataSet() != m_dataSet)
            throw Exception(QStringLiteral("The grid shows another table than the one bound for printing"));
    }
    std::vector<int> widths;
    for (int i = 0; i < visible; ++i)
        widths.push_back(m_boundGrid->horizontalHeader()->sectionSize(i));
    if (totalWidth(widths, m_rowNumbers) <= 0)
        throw Exception(QStringLiteral("The grid's columns have no width to print"));
    const int columns = visible + (m_rowNumbers ? 1 : 0);
    if (columns > kMaxColumns)
        throw Exception(QStringLiteral("The grid has %1 columns to print; at most %2 fit on the page")
                            .arg(columns)
                            .arg(kMaxColumns));
}

void TPrintGrid::finishPendingEdit()
{
    // A cell still being edited is written and its row posted while the grid still follows the table, so
    // the print shows what the user sees and the remembered row is a stored one.
    m_dataSet->FinishPendingRow();
}

QWidget *TPrintGrid::dialogParent() const
{
    return m_boundGrid ? m_boundGrid->window() : nullptr;
}

void TPrintGrid::LogMessage(const QString &text)
{
    m_log.append(text);
    if (OnLogChangeEvent)
        OnLogChangeEvent(m_log, text);
    if (m_progressBar) {
        // A bar that was never set reads below its minimum.
        const int next = std::max(m_progressBar->value(), m_progressBar->minimum()) + 1;
        m_progressBar->setValue(next > m_progressBar->maximum() ? m_progressBar->minimum() : next);
    }
    if (m_logPanel) {
        m_logPanel->setCaption(text);
        m_logPanel->repaint();
    }
}
