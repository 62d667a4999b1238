#pragma once

#include "report/elements/DrawItems.h"
#include "report/elements/LabelItems.h"
#include "report/elements/RichTextItems.h"
#include "report/expressions/Evaluator.h"
#include "report/model/Report.h"
#include "report/pages/RpPrinter.h"

#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
#include <QTextItem>
#include <climits>
#include <memory>
#include <vector>

// What was drawn on one page, replayed from the page store's picture: every text with its baseline and font,
// every filled rectangle, every line or outline and every picture. The device has the resolution pages are
// recorded at, so positions are the page's device units.
class PageRecording : public QPaintDevice
{
public:
    struct Text
    {
        QPointF at; // left end of the baseline
        QString text;
        QFont font;
        QColor color;
    };
    struct Fill
    {
        QRectF rect;
        QColor color;
        bool outlined = false;
    };
    struct Shape
    {
        enum Kind { Line, Rect, Ellipse, Polygon } kind;
        QRectF rect; // Line: from the top left to the bottom right corner as drawn
        QLineF line;
        QPen pen;
        QBrush brush;
    };
    struct Picture
    {
        QRectF target;
        QSize size; // of the image drawn
        QRectF clip; // empty without clipping
    };

    explicit PageRecording(const QPicture &page)
        : m_engine(*this)
    {
        QPainter painter(this);
        painter.drawPicture(0, 0, page);
    }

    QStringList texts() const
    {
        QStringList result;
        for (const Text &t : m_texts)
            result << t.text;
        return result;
    }
    const Text *find(const QString &text) const
    {
        for (const Text &t : m_texts)
            if (t.text == text)
                return &t;
        return nullptr;
    }
    const std::vector<Text> &textItems() const { return m_texts; }
    const std::vector<Fill> &fills() const { return m_fills; }
    const std::vector<Shape> &shapes() const { return m_shapes; }
    const std::vector<Picture> &pictures() const { return m_pictures; }
    // Fills of one colour.
    std::vector<QRectF> fillsOf(const QColor &color) const
    {
        std::vector<QRectF> result;
        for (const Fill &f : m_fills)
            if (f.color == color)
                result.push_back(f.rect);
        return result;
    }

    QPaintEngine *paintEngine() const override { return const_cast<Engine *>(&m_engine); }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        static const QPicture screen;
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
            return 100000;
        case PdmWidthMM:
        case PdmHeightMM:
            return 100000 * 254 / screen.logicalDpiX() / 10;
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmPhysicalDpiX:
            return screen.logicalDpiX();
        case PdmDpiY:
        case PdmPhysicalDpiY:
            return screen.logicalDpiY();
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    class Engine : public QPaintEngine
    {
    public:
        explicit Engine(PageRecording &owner)
            : QPaintEngine(QPaintEngine::AllFeatures)
            , m_owner(owner)
        { }
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &state) override
        {
            if (state.state() & DirtyPen)
                m_pen = state.pen();
            if (state.state() & DirtyBrush)
                m_brush = state.brush();
            if (state.state() & DirtyTransform)
                m_transform = state.transform();
            if (state.state() & DirtyClipEnabled)
                m_clipped = state.isClipEnabled();
            if (state.state() & DirtyClipRegion) {
                m_clipped = state.clipOperation() != Qt::NoClip;
                m_clip = m_transform.map(state.clipRegion()).boundingRect();
            }
            if (state.state() & DirtyClipPath) {
                m_clipped = state.clipOperation() != Qt::NoClip;
                m_clip = m_transform.map(state.clipPath()).boundingRect();
            }
        }
        void drawTextItem(const QPointF &p, const QTextItem &item) override
        {
            m_owner.m_texts.push_back({ m_transform.map(p), item.text(), item.font(), m_pen.color() });
        }
        void drawRects(const QRectF *rects, int count) override
        {
            for (int i = 0; i < count; ++i)
                record(Shape::Rect, m_transform.mapRect(rects[i]));
        }
        void drawRects(const QRect *rects, int count) override
        {
            for (int i = 0; i < count; ++i)
                record(Shape::Rect, m_transform.mapRect(QRectF(rects[i])));
        }
        void drawEllipse(const QRectF &rect) override { record(Shape::Ellipse, m_transform.mapRect(rect)); }
        void drawEllipse(const QRect &rect) override
        {
            record(Shape::Ellipse, m_transform.mapRect(QRectF(rect)));
        }
        void drawLines(const QLineF *lines, int count) override
        {
            for (int i = 0; i < count; ++i)
                m_owner.m_shapes.push_back(
                    { Shape::Line, QRectF(), m_transform.map(lines[i]), m_pen, m_brush });
        }
        void drawLines(const QLine *lines, int count) override
        {
            for (int i = 0; i < count; ++i)
                m_owner.m_shapes.push_back(
                    { Shape::Line, QRectF(), m_transform.map(QLineF(lines[i])), m_pen, m_brush });
        }
        void drawPolygon(const QPointF *points, int count, PolygonDrawMode) override
        {
            if (count == 2) {
                m_owner.m_shapes.push_back(
                    { Shape::Line, QRectF(), m_transform.map(QLineF(points[0], points[1])), m_pen, m_brush });
                return;
            }
            QPolygonF polygon(QList<QPointF>(points, points + count));
            record(Shape::Polygon, m_transform.map(polygon).boundingRect());
        }
        void drawPolygon(const QPoint *points, int count, PolygonDrawMode mode) override
        {
            QList<QPointF> converted;
            for (int i = 0; i < count; ++i)
                converted << QPointF(points[i]);
            drawPolygon(converted.constData(), count, mode);
        }
        // A replayed page hands lines, rectangles and ellipses over as paths: they are told apart by their
        // elements.
        void drawPath(const QPainterPath &path) override
        {
            const QPainterPath mapped = m_transform.map(path);
            bool curved = false;
            for (int i = 0; i < mapped.elementCount(); ++i)
                curved = curved || mapped.elementAt(i).type == QPainterPath::CurveToElement;
            if (curved) {
                record(Shape::Ellipse, mapped.boundingRect());
            } else if (mapped.elementCount() == 2) {
                m_owner.m_shapes.push_back({ Shape::Line, QRectF(),
                    QLineF(mapped.elementAt(0).x, mapped.elementAt(0).y, mapped.elementAt(1).x,
                        mapped.elementAt(1).y),
                    m_pen, m_brush });
            } else {
                record(Shape::Rect, mapped.boundingRect());
            }
        }
        void drawPixmap(const QRectF &target, const QPixmap &pixmap, const QRectF &) override
        {
            m_owner.m_pictures.push_back(
                { m_transform.mapRect(target), pixmap.size(), m_clipped ? m_clip : QRectF() });
        }
        void drawImage(
            const QRectF &target, const QImage &image, const QRectF &, Qt::ImageConversionFlags) override
        {
            m_owner.m_pictures.push_back(
                { m_transform.mapRect(target), image.size(), m_clipped ? m_clip : QRectF() });
        }
        Type type() const override { return QPaintEngine::User; }

    private:
        void record(Shape::Kind kind, const QRectF &rect)
        {
            // A rectangle drawn without an outline is a fill (a replayed page may hand it over as a path);
            // anything else is a shape.
            if ((kind == Shape::Rect || kind == Shape::Polygon) && m_pen.style() == Qt::NoPen
                && m_brush.style() == Qt::SolidPattern) {
                m_owner.m_fills.push_back({ rect, m_brush.color(), false });
                return;
            }
            m_owner.m_shapes.push_back({ kind, rect, QLineF(), m_pen, m_brush });
        }

        PageRecording &m_owner;
        QPen m_pen;
        QBrush m_brush;
        QTransform m_transform;
        bool m_clipped = false;
        QRectF m_clip;
    };

    Engine m_engine;
    std::vector<Text> m_texts;
    std::vector<Fill> m_fills;
    std::vector<Shape> m_shapes;
    std::vector<Picture> m_pictures;
};

// The run a single element prints in: a recording page store with one page open, a band that can grow as far
// as `room` allows, and the run's data set by the test.
class FakePrintRun : public RpPrintRun
{
public:
    FakePrintRun()
    {
        store.StartDocument();
        store.NewPage();
    }
    ~FakePrintRun() override
    {
        if (store.status() == TRpPrinter::Status::Busy)
            store.FinishDocument();
    }

    TRpPrinter &PageStore() override { return store; }
    bool FinalPass() const override { return finalPass; }
    TRpExportFilter *ExportFilter() const override { return filter; }
    TRpEvEnvironment *Functions() override { return &functions; }
    const std::vector<IRpEvDataSet *> &DataSets() const override { return dataSets; }
    void AddAggregateClient(QObject *master, TRpPrintable *element) override
    {
        aggregateClients.push_back({ master, element });
    }
    bool GrowBand(long double extra) override
    {
        ++growRequests;
        if (extra > room)
            return false;
        growth = std::max(growth, extra);
        return true;
    }
    long double BandGrowth() const override { return growth; }
    bool MayContinue() const override { return mayContinue; }
    bool MustAdvance() const override { return mustAdvance; }
    int PageNumber() const override { return pageNumber; }
    qint64 DetailNumber() const override { return detailNumber; }
    qint64 DetailCount() const override { return detailCount; }
    QString ReportTitle() const override { return reportTitle; }

    // Closes the page being drawn and opens the next one, as a page break does; the band starts again.
    void nextPage()
    {
        store.NewPage();
        growth = 0;
    }
    // What was drawn on page n (from 1); finishes the document first.
    PageRecording page(int n = 1)
    {
        if (store.status() == TRpPrinter::Status::Busy)
            store.FinishDocument();
        const std::unique_ptr<QPicture> picture = store.CopyPage(n);
        return PageRecording(picture ? *picture : QPicture());
    }

    TRpPrinter store;
    bool finalPass = true;
    TRpExportFilter *filter = nullptr;
    TRpEvEnvironment functions;
    std::vector<IRpEvDataSet *> dataSets;
    std::vector<std::pair<QObject *, TRpPrintable *>> aggregateClients;
    long double room = 0; // how far the band can grow on this page
    long double growth = 0;
    int growRequests = 0;
    bool mayContinue = true;
    bool mustAdvance = false;
    int pageNumber = 1;
    qint64 detailNumber = 1;
    qint64 detailCount = 1;
    QString reportTitle;
};

// A report with one detail band 1000 native units wide and 500 high, on which elements are placed.
struct ElementBench
{
    ElementBench()
    {
        report = std::make_unique<TRpReport>();
        band = AddBandOfType(report.get(), Rp::rbDetail);
        band->size()->setNativeWidth(1000);
        band->size()->setNativeLength(500);
    }
    template <typename T> T *add(long double left, long double top, long double width, long double height)
    {
        auto *element = new T(band);
        element->size()->setNativeBounds(left, top, width, height);
        return element;
    }

    std::unique_ptr<TRpReport> report;
    TRpBand *band = nullptr;
};
