#pragma once

#include "print/PrintGrid.h"

#include <QBrush>
#include <QLine>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QPolygon>
#include <climits>
#include <optional>
#include <vector>

// Pages that remember what was drawn on them instead of printing: every text with its page, baseline
// position and font, every line and every fill. The device has the printer's 300 dots per inch, so fonts
// measure as on paper.
class RecordingPages : public PrintPages
{
public:
    struct Text
    {
        int page = 0;
        QPointF at; // baseline
        QString text;
        QFont font;
        QColor color;
    };
    struct Fill
    {
        int page = 0;
        QRectF rect;
        QColor color;
    };
    struct Line
    {
        int page = 0;
        QPolygonF points;
    };

    RecordingPages(int width = 2550, int height = 3300)
        : m_device(*this)
        , m_width(width)
        , m_height(height)
    { }

    void setOrientation(QPageLayout::Orientation orientation) override
    {
        orientationSet = orientation;
        if (orientation == QPageLayout::Landscape && m_width < m_height)
            std::swap(m_width, m_height);
    }
    QPaintDevice &device() override { return m_device; }
    int pageWidth() const override { return m_width; }
    int pageHeight() const override { return m_height; }
    bool newPage() override
    {
        if (failOnPage == pages + 1)
            return false;
        ++pages;
        return true;
    }
    void abortJob() override { ++aborts; }
    void removeOutput() override { ++removals; }

    // The texts of one page (from 1), in drawing order.
    QStringList textsOn(int page) const
    {
        QStringList result;
        for (const Text &t : texts)
            if (t.page == page)
                result << t.text;
        return result;
    }
    QStringList allTexts() const
    {
        QStringList result;
        for (const Text &t : texts)
            result << t.text;
        return result;
    }
    const Text *find(const QString &text, int page = 0) const
    {
        for (const Text &t : texts)
            if (t.text == text && (page == 0 || t.page == page))
                return &t;
        return nullptr;
    }

    int pages = 0; // 0 until the painter began; then the number of pages begun
    int begins = 0;
    int ends = 0;
    int aborts = 0;
    int removals = 0;
    int failOnPage = 0; // newPage() refuses the start of this page
    std::optional<QPageLayout::Orientation> orientationSet;
    std::vector<Text> texts;
    std::vector<Fill> fills;
    std::vector<Line> lines;

private:
    class Engine : public QPaintEngine
    {
    public:
        explicit Engine(RecordingPages &owner)
            : QPaintEngine(QPaintEngine::AllFeatures)
            , m_owner(owner)
        { }
        bool begin(QPaintDevice *) override
        {
            ++m_owner.begins;
            m_owner.pages = 1;
            return true;
        }
        bool end() override
        {
            ++m_owner.ends;
            return true;
        }
        void updateState(const QPaintEngineState &state) override
        {
            if (state.state() & DirtyPen)
                m_pen = state.pen();
            if (state.state() & DirtyBrush)
                m_brush = state.brush();
        }
        void drawTextItem(const QPointF &p, const QTextItem &item) override
        {
            m_owner.texts.push_back({ m_owner.pages, p, item.text(), item.font(), m_pen.color() });
        }
        void drawRects(const QRectF *rects, int count) override
        {
            for (int i = 0; i < count; ++i)
                m_owner.fills.push_back({ m_owner.pages, rects[i], m_brush.color() });
        }
        void drawRects(const QRect *rects, int count) override
        {
            for (int i = 0; i < count; ++i)
                m_owner.fills.push_back({ m_owner.pages, QRectF(rects[i]), m_brush.color() });
        }
        void drawLines(const QLineF *lines, int count) override
        {
            for (int i = 0; i < count; ++i)
                m_owner.lines.push_back({ m_owner.pages, QPolygonF({ lines[i].p1(), lines[i].p2() }) });
        }
        void drawLines(const QLine *lines, int count) override
        {
            for (int i = 0; i < count; ++i)
                m_owner.lines.push_back(
                    { m_owner.pages, QPolygonF({ QPointF(lines[i].p1()), QPointF(lines[i].p2()) }) });
        }
        void drawPolygon(const QPointF *points, int count, PolygonDrawMode) override
        {
            m_owner.lines.push_back({ m_owner.pages, QPolygonF(QList<QPointF>(points, points + count)) });
        }
        void drawPolygon(const QPoint *points, int count, PolygonDrawMode) override
        {
            QPolygonF polygon;
            for (int i = 0; i < count; ++i)
                polygon << QPointF(points[i]);
            m_owner.lines.push_back({ m_owner.pages, polygon });
        }
        void drawPath(const QPainterPath &) override { }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { }
        Type type() const override { return QPaintEngine::User; }

    private:
        RecordingPages &m_owner;
        QPen m_pen;
        QBrush m_brush;
    };

    class Device : public QPaintDevice
    {
    public:
        explicit Device(RecordingPages &owner)
            : m_owner(owner)
            , m_engine(owner)
        { }
        QPaintEngine *paintEngine() const override { return const_cast<Engine *>(&m_engine); }

    protected:
        int metric(PaintDeviceMetric metric) const override
        {
            switch (metric) {
            case PdmWidth:
                return m_owner.m_width;
            case PdmHeight:
                return m_owner.m_height;
            case PdmWidthMM:
                return m_owner.m_width * 254 / 3000;
            case PdmHeightMM:
                return m_owner.m_height * 254 / 3000;
            case PdmNumColors:
                return INT_MAX;
            case PdmDepth:
                return 32;
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return 300;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return int(devicePixelRatioFScale());
            }
            return 0;
        }

    private:
        RecordingPages &m_owner;
        Engine m_engine;
    };

    Device m_device;
    int m_width;
    int m_height;
};
