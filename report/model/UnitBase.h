#pragma once

#include "report/model/PaperSize.h"
#include "report/notation/StreamHooks.h"
#include "report/model/Units.h"

#include <vector>

// Common base of the measured objects: internal values in native units, shown through the current unit.
// Its one streamed item is the defined list "Values"; the published float properties are never stored.
class TRpUnitBase : public RpPersistent
{
    Q_OBJECT

public:
    explicit TRpUnitBase(QObject *parent = nullptr);

    TRpUnit unit() const { return m_unit; }
    void setUnit(TRpUnit unit);
    // A temporary switch to Pixels (design views) and back to the unit saved by it.
    void beginPixels();
    void endPixels();
    int resolution() const { return m_resolution; }
    void setResolution(int value) { m_resolution = usableResolution(value); }
    int zoom() const { return m_zoom; }
    // A zoom of 0 or less is ignored.
    void setZoom(int value);

    void writeDefinedProperties(std::vector<StreamProperty> &properties) const override;
    bool readDefinedProperty(const QString &name, const StreamValue &value, bool &ok) override;

protected:
    // The internal values in the order of "Values".
    virtual std::vector<long double *> values() = 0;
    // False refuses a "Values" list read from a file as a whole.
    virtual bool acceptValues(const std::vector<long double> &values) const
    {
        Q_UNUSED(values);
        return true;
    }
    std::vector<long double> valueList() const;

    UnitContext context() const;
    double toUnit(long double native, Axis axis) const;
    long double fromUnit(double value, Axis axis) const;
    void touch() { emit changed(); }

private:
    TRpUnit m_unit;
    TRpUnit m_savedUnit;
    bool m_pixelSwitch = false;
    int m_resolution;
    int m_zoom = 100;
};

// Position and size of a printable element, relative to its band.
class TRpPrintableSize : public TRpUnitBase
{
    Q_OBJECT
    Q_PROPERTY(double Height READ height WRITE setHeight STORED false)
    Q_PROPERTY(double Left READ left WRITE setLeft STORED false)
    Q_PROPERTY(double Top READ top WRITE setTop STORED false)
    Q_PROPERTY(double Width READ width WRITE setWidth STORED false)

public:
    using TRpUnitBase::TRpUnitBase;

    double height() const { return toUnit(m_height, Axis::Vertical); }
    void setHeight(double v) { m_height = fromUnit(v, Axis::Vertical); touch(); }
    double left() const { return toUnit(m_left, Axis::Horizontal); }
    void setLeft(double v) { m_left = fromUnit(v, Axis::Horizontal); touch(); }
    double top() const { return toUnit(m_top, Axis::Vertical); }
    void setTop(double v) { m_top = fromUnit(v, Axis::Vertical); touch(); }
    double width() const { return toUnit(m_width, Axis::Horizontal); }
    void setWidth(double v) { m_width = fromUnit(v, Axis::Horizontal); touch(); }

    long double nativeHeight() const { return m_height; }
    long double nativeLeft() const { return m_left; }
    long double nativeTop() const { return m_top; }
    long double nativeWidth() const { return m_width; }
    void setNativeBounds(long double left, long double top, long double width, long double height);

protected:
    std::vector<long double *> values() override { return {&m_height, &m_left, &m_top, &m_width}; }

private:
    long double m_height = 0;
    long double m_left = 0;
    long double m_top = 0;
    long double m_width = 0;
};

// Height (its length) and width of a band.
class TRpBandSize : public TRpUnitBase
{
    Q_OBJECT
    Q_PROPERTY(double Height READ height WRITE setHeight STORED false)
    Q_PROPERTY(double Width READ width WRITE setWidth STORED false)

public:
    using TRpUnitBase::TRpUnitBase;

    double height() const { return toUnit(m_length, Axis::Vertical); }
    void setHeight(double v) { m_length = fromUnit(v, Axis::Vertical); touch(); }
    double width() const { return toUnit(m_width, Axis::Horizontal); }
    void setWidth(double v) { m_width = fromUnit(v, Axis::Horizontal); touch(); }

    long double nativeLength() const { return m_length; }
    void setNativeLength(long double v) { m_length = v; touch(); }
    long double nativeWidth() const { return m_width; }
    void setNativeWidth(long double v) { m_width = v; touch(); }

protected:
    std::vector<long double *> values() override { return {&m_length, &m_width}; }

private:
    long double m_length = 0;
    long double m_width = 0;
};

// Page setup of a report.
class TRpPage : public TRpUnitBase
{
    Q_OBJECT
    Q_PROPERTY(RpPaper::TRpPaperSize PaperSize READ paperSize WRITE setPaperSize)
    Q_PROPERTY(RpPaper::TPrinterOrientation Orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(double Width READ width WRITE setWidth STORED false)
    Q_PROPERTY(double Length READ length WRITE setLength STORED false)
    Q_PROPERTY(double TopMargin READ topMargin WRITE setTopMargin STORED false)
    Q_PROPERTY(double BottomMargin READ bottomMargin WRITE setBottomMargin STORED false)
    Q_PROPERTY(double LeftMargin READ leftMargin WRITE setLeftMargin STORED false)
    Q_PROPERTY(double RightMargin READ rightMargin WRITE setRightMargin STORED false)
    Q_PROPERTY(int Columns READ columns WRITE setColumns)
    Q_PROPERTY(double ColumnSpace READ columnSpace WRITE setColumnSpace STORED false)
    Q_PROPERTY(bool Ruler READ ruler WRITE setRuler)

public:
    explicit TRpPage(QObject *parent = nullptr);

    TRpPaperSize paperSize() const { return m_paperSize; }
    // Any size with dimensions sets Width and Length from the paper table (swapped in landscape).
    void setPaperSize(TRpPaperSize size);
    TPrinterOrientation orientation() const { return m_orientation; }
    void setOrientation(TPrinterOrientation value);

    double width() const { return toUnit(m_width, Axis::Horizontal); }
    // Only on a Custom page, and only above 0.
    void setWidth(double v);
    double length() const { return toUnit(m_length, Axis::Vertical); }
    void setLength(double v);
    double topMargin() const { return toUnit(m_topMargin, Axis::Vertical); }
    void setTopMargin(double v) { m_topMargin = fromUnit(v, Axis::Vertical); touch(); }
    double bottomMargin() const { return toUnit(m_bottomMargin, Axis::Vertical); }
    void setBottomMargin(double v) { m_bottomMargin = fromUnit(v, Axis::Vertical); touch(); }
    double leftMargin() const { return toUnit(m_leftMargin, Axis::Horizontal); }
    void setLeftMargin(double v) { m_leftMargin = fromUnit(v, Axis::Horizontal); touch(); }
    double rightMargin() const { return toUnit(m_rightMargin, Axis::Horizontal); }
    void setRightMargin(double v) { m_rightMargin = fromUnit(v, Axis::Horizontal); touch(); }
    int columns() const { return m_columns; }
    // Values below 1, or that would leave a column narrower than one native unit, are ignored.
    void setColumns(int value);
    double columnSpace() const { return toUnit(m_columnSpace, Axis::Horizontal); }
    void setColumnSpace(double v) { m_columnSpace = fromUnit(v, Axis::Horizontal); touch(); }
    bool ruler() const { return m_ruler; }
    void setRuler(bool value) { m_ruler = value; touch(); }

    long double nativeWidth() const { return m_width; }
    long double nativeLength() const { return m_length; }
    long double nativeTopMargin() const { return m_topMargin; }
    long double nativeBottomMargin() const { return m_bottomMargin; }
    long double nativeLeftMargin() const { return m_leftMargin; }
    long double nativeRightMargin() const { return m_rightMargin; }
    long double nativeColumnSpace() const { return m_columnSpace; }
    // Page width less the side margins.
    long double printableWidth() const;
    // Width of one detail column, rounded down to a whole native unit.
    long double columnWidth() const;

protected:
    std::vector<long double *> values() override
    {
        return {&m_bottomMargin, &m_length, &m_topMargin, &m_width, &m_leftMargin, &m_rightMargin, &m_columnSpace};
    }

    bool acceptValues(const std::vector<long double> &values) const override;

private:
    static long double columnWidthFor(long double printable, long double space, int columns);

    TRpPaperSize m_paperSize = RpPaper::A4;
    TPrinterOrientation m_orientation = RpPaper::poPortrait;
    long double m_width = 0;
    long double m_length = 0;
    long double m_topMargin = 0;
    long double m_bottomMargin = 0;
    long double m_leftMargin = 0;
    long double m_rightMargin = 0;
    long double m_columnSpace = 0;
    int m_columns = 1;
    bool m_ruler = true;
};
