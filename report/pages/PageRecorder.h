#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QRect>
#include <array>
#include <memory>

class QPainter;
class QPointF;
class QString;
class PageRecordEngine;

// A page recorded straight into the stored picture format: what a painter draws on it becomes the same
// records a QPicture would keep (so any picture reader plays the page), written into one growing buffer
// instead of through a data stream per value, with the state records it repeats kept ready, and sealed with
// a table-driven checksum. The plain single-line texts of report elements skip the painter's text layout
// altogether (drawPlainText); the rest of the drawing goes through the painter as on any device.
//
// The device measures as a picture with the page's bounding rectangle does, so fonts and metrics resolve
// exactly as they do for a recorded QPicture.
class TRpPageRecorder : public QPaintDevice
{
public:
    explicit TRpPageRecorder(const QRect &page);
    ~TRpPageRecorder() override;

    QPaintEngine *paintEngine() const override;

    // Ends the recording (the painter must have ended) and returns the page's picture bytes, as
    // QPicture::data() would hold them; once only (later calls return nothing).
    QByteArray finish();
    // How many texts were written directly, without the painter's layout.
    int directTexts() const;

    // Draws a text line at a baseline point as painter.drawText(baseline, text) does. When the painter draws
    // on a recorder and the text is one plain left-to-right run (letters of the Latin scripts, digits,
    // spaces and punctuation) in an undecorated font, with no transformation or clipping in effect, the text
    // record is written directly; otherwise the painter draws it.
    static void drawPlainText(QPainter &painter, const QPointF &baseline, const QString &text);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    // Width, height, their millimetres, colours, depth, logical and physical resolutions, pixel ratios: in
    // the order of the device's metric codes.
    std::array<int, 12> m_metrics {};
    std::unique_ptr<PageRecordEngine> m_engine;
};

// The checksum a stored picture carries over its records (CRC-16 as in ISO 3309, as qChecksum computes it),
// eight bytes a step.
quint16 pictureChecksum(const char *data, qsizetype size);
