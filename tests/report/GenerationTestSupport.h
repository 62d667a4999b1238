#pragma once

#include "report/generation/RunReport.h"
#include "report/model/Printable.h"
#include "report/model/Report.h"
#include "report/pages/RpPrinter.h"
#include "store/FinanceTables.h"
#include "store/MemTable.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

// Pages are recorded in screen pixels: a position read back is exact to about one pixel in native units.
constexpr double kPixel = 2.7;

// What a recorded page holds, replayed through a paint engine that logs instead of drawing: every text with
// its position, every filled rectangle. Positions are given back in native units (0.1 mm) on the page.
class PageLog
{
public:
    struct Text
    {
        QString text;
        double x = 0; // native units from the page's left edge
        double y = 0; // native units from the top edge to the baseline
    };
    struct Fill
    {
        QRectF rect; // native units
        QColor color;
    };

    PageLog(const QPicture &picture, double devicePerNative)
    {
        Device device(*this, devicePerNative, picture.boundingRect().size());
        QPainter painter(&device);
        const_cast<QPicture &>(picture).play(&painter);
        painter.end();
        width = picture.boundingRect().width() / devicePerNative;
        height = picture.boundingRect().height() / devicePerNative;
    }

    QStringList textList() const
    {
        QStringList list;
        for (const Text &t : texts)
            list << t.text;
        return list;
    }
    const Text *find(const QString &text) const
    {
        for (const Text &t : texts) {
            if (t.text == text)
                return &t;
        }
        return nullptr;
    }
    int count(const QString &text) const
    {
        int n = 0;
        for (const Text &t : texts)
            n += t.text == text ? 1 : 0;
        return n;
    }
    // Texts that start with the prefix, in drawing order.
    QStringList startingWith(const QString &prefix) const
    {
        QStringList list;
        for (const Text &t : texts) {
            if (t.text.startsWith(prefix))
                list << t.text;
        }
        return list;
    }

    std::vector<Text> texts;
    std::vector<Fill> fills;
    double width = 0;
    double height = 0;

private:
    class Engine : public QPaintEngine
    {
    public:
        Engine(PageLog &log, double factor)
            : QPaintEngine(QPaintEngine::AllFeatures)
            , m_log(log)
            , m_factor(factor)
        { }
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &state) override
        {
            if (state.state() & DirtyBrush)
                m_brush = state.brush();
            if (state.state() & DirtyTransform)
                m_transform = state.transform();
        }
        void drawTextItem(const QPointF &p, const QTextItem &item) override
        {
            const QPointF at = m_transform.map(p);
            m_log.texts.push_back({ item.text(), at.x() / m_factor, at.y() / m_factor });
        }
        void drawRects(const QRectF *rects, int count) override
        {
            for (int i = 0; i < count; ++i) {
                const QRectF r = m_transform.mapRect(rects[i]);
                m_log.fills.push_back(
                    { QRectF(r.x() / m_factor, r.y() / m_factor, r.width() / m_factor, r.height() / m_factor),
                        m_brush.color() });
            }
        }
        void drawRects(const QRect *rects, int count) override
        {
            for (int i = 0; i < count; ++i) {
                const QRectF r(rects[i]);
                drawRects(&r, 1);
            }
        }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
        // Filled rectangles arrive as paths once the picture's own scale is in force.
        void drawPath(const QPainterPath &path) override
        {
            if (m_brush.style() == Qt::NoBrush)
                return;
            const QRectF r = m_transform.map(path).boundingRect();
            m_log.fills.push_back(
                { QRectF(r.x() / m_factor, r.y() / m_factor, r.width() / m_factor, r.height() / m_factor),
                    m_brush.color() });
        }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
        Type type() const override { return QPaintEngine::User; }

    private:
        PageLog &m_log;
        double m_factor;
        QBrush m_brush;
        QTransform m_transform;
    };

    class Device : public QPaintDevice
    {
    public:
        Device(PageLog &log, double factor, QSize size)
            : m_engine(log, factor)
            , m_size(size)
        { }
        QPaintEngine *paintEngine() const override { return const_cast<Engine *>(&m_engine); }

    protected:
        int metric(PaintDeviceMetric metric) const override
        {
            const int dpi = int(std::lround(TRpPrinter::screenPixelsPerInch()));
            switch (metric) {
            case PdmWidth:
                return m_size.width();
            case PdmHeight:
                return m_size.height();
            case PdmWidthMM:
                return m_size.width() * 254 / (dpi * 10);
            case PdmHeightMM:
                return m_size.height() * 254 / (dpi * 10);
            case PdmNumColors:
                return INT_MAX;
            case PdmDepth:
                return 32;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return dpi;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
            }
            return 0;
        }

    private:
        Engine m_engine;
        QSize m_size;
    };
};

// Every page of a store, logged.
inline std::vector<PageLog> logPages(TRpPrinter &store)
{
    std::vector<PageLog> pages;
    for (int n = 1; n <= store.pageCount(); ++n) {
        const std::unique_ptr<QPicture> picture = store.CopyPage(n);
        if (picture)
            pages.emplace_back(*picture, double(store.xFactor()));
    }
    return pages;
}

// A small printable element for the generator's tests: prints its lines one below the other, a line height
// apart, each as one text drawn at the line's top left corner; with `stretch` it grows its band line by line
// and continues after a page break as a stretching text element does.
class ProbeText : public TRpPrintable
{
public:
    explicit ProbeText(QObject *band, const QString &text = {}, long double top = 0, long double height = 40)
        : TRpPrintable(band)
    {
        size()->setNativeBounds(0, top, 400, height);
        if (!text.isEmpty())
            lines = { text };
    }

    // The text of one occurrence, when set; otherwise `lines`.
    std::function<QString(RpPrintRun &run)> value;
    QStringList lines;
    bool stretch = false;
    long double lineHeight = 40;
    int begins = 0;
    int ends = 0;
    int prints = 0;
    int recordsTaken = 0;
    std::vector<long double> printedAt; // y of every PrintAt

    void BeginPrintRun(RpPrintRun &run) override
    {
        TRpPrintable::BeginPrintRun(run);
        ++begins;
        m_next = 0;
    }
    void EndPrintRun() override
    {
        TRpPrintable::EndPrintRun();
        ++ends;
    }
    void NotifyElement(QObject *, int operation) override
    {
        if (operation == 0)
            ++recordsTaken;
    }
    void PrintAt(long double x, long double y) override
    {
        RpPrintRun &run = *printRun();
        ++prints;
        printedAt.push_back(y);
        const QStringList all = value ? QStringList { value(run) } : lines;
        const long double top = y + size()->nativeTop();
        const long double bottom = top + size()->nativeHeight();
        long double lineTop = top;
        int drawn = 0;
        qsizetype i = m_next;
        for (; i < all.size(); ++i) {
            const long double lineBottom = lineTop + lineHeight;
            if (lineBottom > bottom + run.BandGrowth()) {
                const bool grown = stretch && run.GrowBand(lineBottom - bottom);
                if (!grown && !(stretch && run.MustAdvance() && drawn == 0))
                    break;
            }
            if (run.FinalPass() && run.PageStore().canvas()) {
                QPainter &canvas = *run.PageStore().canvas();
                canvas.setPen(Qt::black);
                canvas.drawText(QPointF(run.PageStore().DeviceX(x + size()->nativeLeft()),
                                    run.PageStore().DeviceY(lineTop)),
                    all[i]);
            }
            ++drawn;
            lineTop += lineHeight;
        }
        const bool done = !stretch || !run.MayContinue() || i >= all.size();
        m_next = done ? 0 : i;
        setPrintDone(done);
    }

private:
    qsizetype m_next = 0;
};

// A running total of a table's amounts: registers with a data loop like an aggregating expression element
// and prints the prefix and the total; `resetAfterPrint` starts the total again after each print.
class ProbeSum : public ProbeText
{
public:
    ProbeSum(QObject *band, TDataSet *table, const QString &prefix, QObject *master = nullptr)
        : ProbeText(band)
        , m_table(table)
        , m_master(master)
    {
        value = [this, prefix](RpPrintRun &) { return prefix + QString::number(total); };
    }

    bool resetAfterPrint = false;
    double total = 0;

    void BeginPrintRun(RpPrintRun &run) override
    {
        ProbeText::BeginPrintRun(run);
        total = 0;
        run.AddAggregateClient(m_master, this);
    }
    void NotifyElement(QObject *sender, int operation) override
    {
        ProbeText::NotifyElement(sender, operation);
        if (operation == 0)
            total += m_table->FieldNamed(QStringLiteral("Transaction_Amount"))->AsNumber();
    }
    void PrintAt(long double x, long double y) override
    {
        ProbeText::PrintAt(x, y);
        if (resetAfterPrint)
            total = 0;
    }

private:
    TDataSet *m_table;
    QObject *m_master;
};

// A table of transactions in memory: rows with the given amounts, descriptions "Row n" and account numbers.
inline void fillTransactions(TMemTable &table, int rows, const std::function<int(int)> &account = {})
{
    table.setObjectName(QStringLiteral("tblTransaction"));
    table.FieldDefs() = FinanceTables::transactionDefs();
    table.CreateEmpty();
    table.setKeepChangeLog(false);
    for (int i = 1; i <= rows; ++i) {
        table.AppendRow();
        table.FieldNamed(QStringLiteral("Transaction_Description"))
            ->setAsString(QStringLiteral("Row %1").arg(i));
        table.FieldNamed(QStringLiteral("Transaction_Amount"))->setAsNumber(i);
        table.FieldNamed(QStringLiteral("Account_Number"))->setAsInteger(account ? account(i) : 1);
        table.Post();
    }
    table.First();
}

// A band of a type with a height, on the report.
inline TRpBand *addBand(TCustomRpReport &report, TRpBandType type, long double height)
{
    TRpBand *band = AddBandOfType(&report, type);
    band->size()->setNativeLength(height);
    return band;
}

// The report of the worked example without its texts: A4, margins 100, page header 100, title 200,
// column header 50, detail 50, page footer 100, summary 150.
struct ExampleReport
{
    explicit ExampleReport(QObject *dataSet = nullptr)
    {
        report.setUnits(Rp::Native);
        TRpPage &page = *report.page();
        page.setPaperSize(RpPaper::A4);
        page.setTopMargin(100);
        page.setBottomMargin(100);
        page.setLeftMargin(100);
        page.setRightMargin(100);
        report.setUnits(Rp::MM);
        report.setDataSet(dataSet);
        pageHeader = addBand(report, Rp::rbPageHeader, 100);
        title = addBand(report, Rp::rbTitle, 200);
        columnHeader = addBand(report, Rp::rbColumnHeader, 50);
        detail = addBand(report, Rp::rbDetail, 50);
        pageFooter = addBand(report, Rp::rbPageFooter, 100);
        summary = addBand(report, Rp::rbSummary, 150);
    }

    TRpReport report;
    TRpBand *pageHeader;
    TRpBand *title;
    TRpBand *columnHeader;
    TRpBand *detail;
    TRpBand *pageFooter;
    TRpBand *summary;
};

// Runs a report into a new recording store.
inline std::unique_ptr<TRpPrinter> runToStore(TCustomRpReport &report, const RpRunOptions &options = {})
{
    auto store = std::make_unique<TRpPrinter>();
    RunReport(report, *store, options);
    return store;
}
