#pragma once

#include "platform/Colors.h"
#include "report/model/ReportTypes.h"
#include "store/DataSet.h"
#include "widgets/DBGrid.h"
#include "widgets/GradPanel.h"

#include <QObject>
#include <QPageLayout>
#include <QPointer>
#include <QProgressBar>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QPaintDevice;
class QPrinter;
class QWidget;

// Prints the rows and visible columns of a data grid as a ruled table over as many pages as needed.
//
// Usage (a window's print button, inside its error guard):
//
//     PrintGrid1->setDBGrid(DBGrid1);          // or once at creation
//     PrintGrid1->FinishLoading();             // binds the grid and takes its data set
//     PrintGrid1->HeaderBounds().Clear();
//     PrintGrid1->HeaderBounds().AddBound(250, text, 10, Rp::fsBold, Qt::AlignHCenter);
//     if (!PrintGrid1->Print())                // false: the print dialog was cancelled, nothing printed
//         ...;
//
// Print() raises the program's exceptions (Exception / EDatabaseError) when the print cannot be made or fails
// halfway: the caller shows the error box. After a failure the job is closed, a partial PDF file removed, the
// table back on its row with its observers live and the progress bar reset.

// One text of a header or footer line.
struct TBoundRec
{
    qint32 Line = 0; // records with the same number share a line; a greater number starts a new one
    QString Text;
    qint32 FontSize = 10; // points
    Rp::TFontStyles FontStyle;
    Qt::Alignment Alignment = Qt::AlignLeft; // AlignLeft, AlignRight or AlignHCenter
};

// The header or footer lines of a print, in the order added.
class TPrintBound
{
public:
    void AddBound(qint32 line, const QString &text, qint32 fontSize, Rp::TFontStyles fontStyle,
        Qt::Alignment alignment);
    void Clear() { m_records.clear(); }
    int Count() const { return int(m_records.size()); }
    bool IsEmpty() const { return m_records.empty(); }
    const std::vector<TBoundRec> &Records() const { return m_records; }

private:
    std::vector<TBoundRec> m_records;
};

// The pages one print draws on: the printer in the program, a recorder in tests. All sizes are device pixels.
class PrintPages
{
public:
    virtual ~PrintPages() = default;
    // Sets the orientation before the job starts.
    virtual void setOrientation(QPageLayout::Orientation orientation) = 0;
    // Prepares the job (resolution, margins); the device the painter then begins on.
    virtual QPaintDevice &device() = 0;
    // The printable area of a page.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;
    // Starts the next page; false when the device refused.
    virtual bool newPage() = 0;
    // Whether the device reports an error (a printer in its error state).
    virtual bool failed() const { return false; }
    // A print failed: cancels the job while the painter is still active ...
    virtual void abortJob() { }
    // ... and, once the painter ended, removes what it left behind (a partial output file).
    virtual void removeOutput() { }
};

// The printer as pages: 300 dots per inch, the whole sheet for PDF output (Letter landscape is 3300 × 2550).
class PrinterPages : public PrintPages
{
public:
    explicit PrinterPages(QPrinter &printer);
    void setOrientation(QPageLayout::Orientation orientation) override;
    QPaintDevice &device() override;
    int pageWidth() const override;
    int pageHeight() const override;
    bool newPage() override;
    bool failed() const override;
    void abortJob() override;
    void removeOutput() override;

    static constexpr int kResolution = 300;

private:
    QPrinter &m_printer;
};

class TPrintGrid : public QObject
{
    Q_OBJECT
public:
    explicit TPrintGrid(QObject *parent = nullptr);
    ~TPrintGrid() override;

    // Published properties.
    bool RowNumbers() const { return m_rowNumbers; }
    void setRowNumbers(bool on) { m_rowNumbers = on; }
    int PageNumFontSize() const { return m_pageNumFontSize; }
    void setPageNumFontSize(int size) { m_pageNumFontSize = size; }
    // Assigning only records the grid; FinishLoading binds it.
    TDBGrid *DBGrid() const { return m_dbGrid; }
    void setDBGrid(TDBGrid *grid) { m_dbGrid = grid; }
    QString PageNumFontName() const { return m_pageNumFontName; }
    void setPageNumFontName(const QString &name) { m_pageNumFontName = name; }
    TColor HeaderColor() const { return m_headerColor; }
    void setHeaderColor(TColor color) { m_headerColor = color; }
    TGradPanel *LogPanel() const { return m_logPanel; }
    void setLogPanel(TGradPanel *panel);
    bool PrintDialog() const { return m_printDialog; }
    void setPrintDialog(bool on) { m_printDialog = on; }
    QPageLayout::Orientation PrintOrientation() const { return m_orientation; }
    void setPrintOrientation(QPageLayout::Orientation orientation) { m_orientation = orientation; }
    bool PrintPageNum() const { return m_printPageNum; }
    void setPrintPageNum(bool on) { m_printPageNum = on; }
    QProgressBar *PrintProgressBar() const { return m_progressBar; }
    void setPrintProgressBar(QProgressBar *bar);
    int TopMargin() const { return m_topMargin; }
    void setTopMargin(int margin) { m_topMargin = margin; }
    int BottomMargin() const { return m_bottomMargin; }
    void setBottomMargin(int margin) { m_bottomMargin = margin; }
    int LeftMargin() const { return m_leftMargin; }
    void setLeftMargin(int margin) { m_leftMargin = margin; }
    int RightMargin() const { return m_rightMargin; }
    void setRightMargin(int margin) { m_rightMargin = margin; }

    // Events: every progress message with the whole log so far; the number of each page about to start.
    std::function<void(const QStringList &log, const QString &aStr)> OnLogChangeEvent;
    std::function<void(TPrintGrid &sender, int NumPage)> OnNextPageEvent;

    TPrintBound &HeaderBounds() { return m_headerBounds; }
    TPrintBound &FooterBounds() { return m_footerBounds; }

    // The load step: binds DBGrid when one is set.
    void FinishLoading();
    void BindGrid(TDBGrid *grid);
    TDataSet *BoundDataSet() const { return m_dataSet; }

    // Runs the whole print on the printer. False only when the print dialog was not confirmed (nothing is
    // printed then); a print that cannot be made or fails raises.
    bool Print();
    // The same on other pages (tests, previews); the print dialog, when on, still runs on Printer().
    bool Print(PrintPages &pages);

    // The printer the print goes to; the print dialog configures it.
    QPrinter &Printer();
    // The progress messages of the last print (or of the one running).
    const QStringList &Log() const { return m_log; }

    // The column table's capacity, the row-number column included.
    static constexpr int kMaxColumns = 10;

private:
    class Render;
    friend class Render;

    void LogMessage(const QString &text);
    void checkPrintable() const;
    void finishPendingEdit();
    QWidget *dialogParent() const;

    bool m_rowNumbers = true;
    int m_pageNumFontSize = 8;
    QPointer<TDBGrid> m_dbGrid;
    QPointer<TDBGrid> m_boundGrid;
    QPointer<TDataSet> m_dataSet;
    QString m_pageNumFontName = QStringLiteral("Times New Roman");
    TColor m_headerColor = clBlack;
    QPointer<TGradPanel> m_logPanel;
    bool m_printDialog = false;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    bool m_printPageNum = true;
    QPointer<QProgressBar> m_progressBar;
    int m_topMargin = 0;
    int m_bottomMargin = 160;
    int m_leftMargin = 240;
    int m_rightMargin = 60;

    TPrintBound m_headerBounds;
    TPrintBound m_footerBounds;
    QStringList m_log;
    std::unique_ptr<QPrinter> m_printer;
};
