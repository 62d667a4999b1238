#pragma once

#include "report/model/Printable.h"

#include <QByteArray>
#include <QImage>
#include <QPointer>

// The pen a shape draws its lines with.
class ReportPen : public RpPersistent
{
    Q_OBJECT
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(Rp::TPenMode Mode READ mode WRITE setMode)
    Q_PROPERTY(Rp::TPenStyle Style READ style WRITE setStyle)
    Q_PROPERTY(int Width READ width WRITE setWidth)

public:
    explicit ReportPen(QObject *parent = nullptr) : RpPersistent(parent) {}

    TColor color() const { return m_color; }
    void setColor(TColor value) { m_color = value; emit changed(); }
    Rp::TPenMode mode() const { return m_mode; }
    void setMode(Rp::TPenMode value) { m_mode = value; emit changed(); }
    Rp::TPenStyle style() const { return m_style; }
    void setStyle(Rp::TPenStyle value) { m_style = value; emit changed(); }
    int width() const { return m_width; }
    void setWidth(int value) { m_width = value; emit changed(); }

private:
    TColor m_color = clBlack;
    Rp::TPenMode m_mode = Rp::pmCopy;
    Rp::TPenStyle m_style = Rp::psSolid;
    int m_width = 1;
};

// The brush a shape fills with.
class ReportBrush : public RpPersistent
{
    Q_OBJECT
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(Rp::TBrushStyle Style READ style WRITE setStyle)

public:
    explicit ReportBrush(QObject *parent = nullptr) : RpPersistent(parent) {}

    TColor color() const { return m_color; }
    void setColor(TColor value) { m_color = value; emit changed(); }
    Rp::TBrushStyle style() const { return m_style; }
    void setStyle(Rp::TBrushStyle value) { m_style = value; emit changed(); }

private:
    TColor m_color = clWhite;
    Rp::TBrushStyle m_style = Rp::bsSolid;
};

// A picture kept as its graphic kind ("TBitmap", "TMetafile", "TIcon", …) and that graphic's stored bytes.
// Streamed as the defined property "Data": a length-prefixed kind name followed by the bytes; a bitmap's bytes
// start with their own 32-bit length. Nothing is written for an empty picture. Decoding is left to whoever
// draws the picture.
class ReportPicture : public RpPersistent
{
    Q_OBJECT

public:
    explicit ReportPicture(QObject *parent = nullptr) : RpPersistent(parent) {}

    bool isEmpty() const { return m_kind.isEmpty(); }
    QString kind() const { return m_kind; }
    QByteArray graphicData() const { return m_data; }
    // False (and nothing changed) for a kind that is not an identifier of at most 255 characters.
    bool setGraphic(const QString &kind, const QByteArray &data);
    void clear();

    // The "Data" bytes, and back; false (nothing changed) for bytes that do not hold a picture.
    QByteArray streamData() const;
    bool setStreamData(const QByteArray &bytes);

    void writeDefinedProperties(std::vector<StreamProperty> &properties) const override;
    bool readDefinedProperty(const QString &name, const StreamValue &value, bool &ok) override;

    // The picture the graphic holds, decoded once for as long as the graphic stays the same; a null image for
    // a graphic that cannot be read (an unknown format, damaged bytes, or dimensions beyond what the image
    // reader agrees to allocate).
    const QImage &image() const;

private:
    QString m_kind;
    QByteArray m_data;
    mutable QImage m_image;
    mutable QByteArray m_decodedFrom;
};

// The Qt styles a report pen and brush draw with.
Qt::PenStyle toQtPenStyle(Rp::TPenStyle style);
Qt::BrushStyle toQtBrushStyle(Rp::TBrushStyle style);

// A rectangle, ellipse or lines drawn with a pen and filled with a brush, within the element's bounds and in
// the final pass only; it prints no frame. The pen's width is in screen pixels.
class TRpShape : public TRpPrintable
{
    Q_OBJECT
    Q_PROPERTY(Rp::TRpShapeType Shape READ shape WRITE setShape)
    Q_PROPERTY(ReportPen *Pen READ pen)
    Q_PROPERTY(ReportBrush *Brush READ brush)

public:
    Q_INVOKABLE explicit TRpShape(QObject *parent = nullptr);

    Rp::TRpShapeType shape() const { return m_shape; }
    void setShape(Rp::TRpShapeType value) { m_shape = value; }
    ReportPen *pen() const { return m_pen; }
    ReportBrush *brush() const { return m_brush; }

    void PrintAt(long double x, long double y) override;

private:
    Rp::TRpShapeType m_shape = Rp::rpsRectangle;
    ReportPen *m_pen;
    ReportBrush *m_brush;
};

// A picture stored in the report: scaled to the element (Stretch), or at its natural size (its pixels at the
// screen's resolution) from the element's top left corner or centred in it, clipped to the element; then the
// frame.
class TRpImage : public TRpPrintable
{
    Q_OBJECT
    Q_PROPERTY(ReportPicture *Picture READ picture)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(bool Center READ center WRITE setCenter)
    Q_PROPERTY(bool Stretch READ stretch WRITE setStretch)

public:
    Q_INVOKABLE explicit TRpImage(QObject *parent = nullptr);

    ReportPicture *picture() const { return m_picture; }
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool value) { m_autoSize = value; }
    bool center() const { return m_center; }
    void setCenter(bool value) { m_center = value; }
    bool stretch() const { return m_stretch; }
    void setStretch(bool value) { m_stretch = value; }

    void PrintAt(long double x, long double y) override;

    // Setting a picture on an element with AutoSize makes the element as large as the picture's pixels,
    // except while a report file is read (the stored size then stands).
    void beginRead() override;
    void loaded() override;

private:
    void fitToPicture();

    ReportPicture *m_picture;
    bool m_autoSize = false;
    bool m_center = false;
    bool m_stretch = false;
    bool m_reading = false;
};

// The picture held in a blob field of a dataset, read at each print and placed like a stored picture. A
// stretched element whose field holds no picture fills its place with the window colour.
class TRpDBImage : public TRpPrintable
{
    Q_OBJECT
    Q_PROPERTY(QObject *DataSet READ dataSet WRITE setDataSet)
    Q_PROPERTY(QString DataField READ dataField WRITE setDataField)
    Q_PROPERTY(bool Center READ center WRITE setCenter)
    Q_PROPERTY(bool Stretch READ stretch WRITE setStretch)

public:
    Q_INVOKABLE explicit TRpDBImage(QObject *parent = nullptr);

    QObject *dataSet() const { return m_dataSet; }
    void setDataSet(QObject *value) { m_dataSet = value; }
    QString dataField() const { return m_dataField; }
    void setDataField(const QString &value) { m_dataField = value; }
    bool center() const { return m_center; }
    void setCenter(bool value) { m_center = value; }
    bool stretch() const { return m_stretch; }
    void setStretch(bool value) { m_stretch = value; }

    void PrintAt(long double x, long double y) override;
    void EndPrintRun() override;

private:
    QPointer<QObject> m_dataSet;
    QString m_dataField;
    bool m_center = true;
    bool m_stretch = false;
    QImage m_image;
    QByteArray m_decodedFrom;
};
