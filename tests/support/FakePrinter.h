#pragma once

#include "report/pages/RpPrinter.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>
#include <memory>
#include <vector>

// A printer that prints nothing: it has the capabilities, device settings record, resolution and offsets a
// test gives it, and a log of every job and of what was drawn on each sheet (texts with their positions in
// device pixels of the sheet's canvas, the rectangles filled).
class FakePrinter : public TRpPrintDevice
{
public:
    struct Text
    {
        QString text;
        QPointF at; // baseline start, in device pixels
        double pixelSize = 0; // the font's height on the sheet
    };
    struct Sheet
    {
        int job = 0;
        QString title;
        TRpDeviceMode mode; // the record when the sheet began
        std::vector<Text> texts;
        std::vector<QRectF> fills;

        QStringList textList() const
        {
            QStringList list;
            for (const Text &t : texts)
                list << t.text;
            return list;
        }
    };

    // What a fresh fake of every test looks like: two printers, everything supported, 600 dpi, an A4 sheet
    // with a 1/6-inch unprintable border, no copies of its own.
    FakePrinter()
    {
        printers = { QStringLiteral("Fake Laser"), QStringLiteral("Fake Inkjet") };
        defaults.paperSize = 9; // A4
        defaults.defaultSource = 7; // Auto
        defaults.copies = 1;
        mode = defaults;
        paperCodes = { 1, 5, 8, 9, 11 };
    }

    QStringList printers;
    int selected = 0;
    int defaultPrinter = 0;
    TRpDeviceMode defaults;
    TRpDeviceMode mode;
    bool copiesSupported = true;
    bool orientationSupported = true;
    bool sourcesSupported = true;
    bool sizesSupported = true;
    bool duplexSupported = true;
    bool makesCopies = false;
    QList<int> paperCodes;
    double dpiX = 600;
    double dpiY = 600;
    int offsetX = 100;
    int offsetY = 100;
    int physicalWidth = 4960; // A4 at 600 dpi
    int physicalHeight = 7016;
    QString driver = QStringLiteral("/usr/lib/drivers/fakelaser.drv");

    std::vector<Sheet> sheets;
    QStringList log; // "begin TITLE", "sheet", "end", "abort", "mode", "select N"
    int jobs = 0;

    QStringList Printers() const override { return printers; }
    int PrinterIndex() const override { return selected; }
    void SetPrinterIndex(int index) override
    {
        selected = index < 0 || index >= printers.size() ? defaultPrinter : index;
        log << QStringLiteral("select %1").arg(selected);
    }
    QString DeviceName() const override { return printers.value(selected); }
    QString DriverName() const override { return driver; }
    QString PortName() const override { return QStringLiteral("LPT%1:").arg(selected + 1); }
    TRpDeviceMode DeviceMode() const override { return mode; }
    void SetDeviceMode(const TRpDeviceMode *record) override
    {
        mode = record ? *record : defaults;
        log << QStringLiteral("mode");
    }
    bool SupportsCopies() const override { return copiesSupported; }
    bool SupportsOrientation() const override { return orientationSupported; }
    bool SupportsPaperSources() const override { return sourcesSupported; }
    bool SupportsPaperSizes() const override { return sizesSupported; }
    bool SupportsDuplex() const override { return duplexSupported; }
    QList<int> PaperCodes() const override { return paperCodes; }
    bool MakesCopies() const override { return makesCopies; }
    double DpiX() const override { return dpiX; }
    double DpiY() const override { return dpiY; }
    int OffsetX() const override { return offsetX; }
    int OffsetY() const override { return offsetY; }
    bool landscape() const { return mode.orientation == TRpDeviceMode::kLandscape; }
    int PhysicalWidth() const override { return landscape() ? physicalHeight : physicalWidth; }
    int PhysicalHeight() const override { return landscape() ? physicalWidth : physicalHeight; }
    int PageWidth() const override { return PhysicalWidth() - 2 * offsetX; }
    int PageHeight() const override { return PhysicalHeight() - 2 * offsetY; }

    void BeginJob(const QString &title) override
    {
        m_title = title;
        m_printing = true;
        ++jobs;
        log << QStringLiteral("begin ") + title;
    }
    QPainter *NewSheet() override
    {
        m_painter.reset();
        sheets.push_back(Sheet { jobs, m_title, mode, {}, {} });
        log << QStringLiteral("sheet");
        m_device = std::make_shared<SheetDevice>(*this, sheets.size() - 1);
        m_painter = std::make_shared<QPainter>(m_device.get());
        return m_painter.get();
    }
    void EndJob() override
    {
        m_painter.reset();
        m_printing = false;
        log << QStringLiteral("end");
    }
    void AbortJob() override
    {
        m_painter.reset();
        m_printing = false;
        log << QStringLiteral("abort");
    }
    bool Printing() const override { return m_printing; }

    // The texts of every sheet, one list per sheet.
    std::vector<QStringList> sheetTexts() const
    {
        std::vector<QStringList> result;
        for (const Sheet &sheet : sheets)
            result.push_back(sheet.textList());
        return result;
    }

private:
    class SheetEngine : public QPaintEngine
    {
    public:
        SheetEngine(FakePrinter &printer, size_t sheet)
            : QPaintEngine(QPaintEngine::AllFeatures)
            , m_printer(printer)
            , m_sheet(sheet)
        { }
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override { }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override { }
        void drawRects(const QRectF *rects, int count) override
        {
            for (int i = 0; i < count; ++i)
                m_printer.sheets[m_sheet].fills.push_back(painter()->transform().mapRect(rects[i]));
        }
        void drawTextItem(const QPointF &p, const QTextItem &item) override
        {
            const QTransform t = painter()->transform();
            const double scale = std::sqrt(std::abs(t.determinant()));
            m_printer.sheets[m_sheet].texts.push_back(
                { item.text(), t.map(p), QFontInfo(item.font()).pixelSize() * scale });
        }
        Type type() const override { return QPaintEngine::User; }

    private:
        FakePrinter &m_printer;
        size_t m_sheet;
    };

    class SheetDevice : public QPaintDevice
    {
    public:
        SheetDevice(FakePrinter &printer, size_t sheet)
            : m_printer(printer)
            , m_engine(printer, sheet)
        { }
        ~SheetDevice() override = default;
        QPaintEngine *paintEngine() const override { return const_cast<SheetEngine *>(&m_engine); }

    protected:
        int metric(PaintDeviceMetric metric) const override
        {
            switch (metric) {
            case PdmWidth:
                return m_printer.PageWidth();
            case PdmHeight:
                return m_printer.PageHeight();
            case PdmWidthMM:
                return int(m_printer.PageWidth() / m_printer.dpiX * 25.4);
            case PdmHeightMM:
                return int(m_printer.PageHeight() / m_printer.dpiY * 25.4);
            case PdmDpiX:
            case PdmPhysicalDpiX:
                return int(m_printer.dpiX);
            case PdmDpiY:
            case PdmPhysicalDpiY:
                return int(m_printer.dpiY);
            case PdmNumColors:
                return 256;
            case PdmDepth:
                return 32;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(QPaintDevice::devicePixelRatioFScale());
            default:
                return 0;
            }
        }

    private:
        FakePrinter &m_printer;
        SheetEngine m_engine;
    };

    QString m_title;
    bool m_printing = false;
    // Shared, so that a test can keep a copy of what a fake printed after its store is gone.
    std::shared_ptr<SheetDevice> m_device;
    std::shared_ptr<QPainter> m_painter;
};

// Installs a fake as the printer of every page store made while the guard lives; `configure` shapes each fake
// (a store makes its own and owns it). The last fake made is at hand through last() for as long as its store
// lives (a store's print-finished callback still sees it).
class FakePrinterInstall
{
public:
    explicit FakePrinterInstall(std::function<void(FakePrinter &)> configure = {})
        : m_configure(std::move(configure))
    {
        TRpPrinter::setPrintDeviceFactory([this]() -> std::unique_ptr<TRpPrintDevice> {
            auto made = std::make_unique<FakePrinter>();
            if (m_configure)
                m_configure(*made);
            m_last = made.get();
            return made;
        });
    }
    ~FakePrinterInstall() { TRpPrinter::setPrintDeviceFactory({}); }
    FakePrinterInstall(const FakePrinterInstall &) = delete;
    FakePrinterInstall &operator=(const FakePrinterInstall &) = delete;

    FakePrinter *last() const { return m_last; }

private:
    std::function<void(FakePrinter &)> m_configure;
    FakePrinter *m_last = nullptr;
};
