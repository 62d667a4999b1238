#include "designer/DesignView.h"

#include "designer/ComponentEditor.h"
#include "designer/DesignItems.h"
#include "report/elements/DrawItems.h"
#include "report/elements/LabelItems.h"
#include "report/elements/RichTextItems.h"
#include "report/model/Report.h"
#include "report/scripts/ReportScript.h"
#include "widgets/Dialogs.h"

#include <QPainter>
#include <QPainterPath>
#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace {

const QColor kOutsidePage(160, 160, 160);
const QColor kGuide(170, 170, 200);
const QColor kGridDot(150, 150, 150);

Qt::Alignment alignmentOf(Rp::TAlignment alignment)
{
    switch (alignment) {
    case Rp::taRightJustify:
        return Qt::AlignRight;
    case Rp::taCenter:
        return Qt::AlignHCenter;
    case Rp::taLeftJustify:
        break;
    }
    return Qt::AlignLeft;
}

// Points on the screen at a zoom, at least one pixel for any positive width.
int screenPixels(int points, int zoom, int resolution)
{
    if (points < 0)
        return 1;
    const int pixels = int(std::lround(points * resolution / 72.0 * zoom / 100.0));
    return points > 0 ? std::max(1, pixels) : 0;
}

QImage pictureImage(const ReportPicture &picture)
{
    if (picture.isEmpty())
        return QImage();
    QByteArray data = picture.graphicData();
    if (picture.kind().compare(QLatin1String("TBitmap"), Qt::CaseInsensitive) == 0 && data.size() >= 4) {
        const quint32 length = qFromLittleEndian<quint32>(data.constData());
        if (length <= quint32(data.size() - 4))
            data = data.mid(4, length);
    }
    return QImage::fromData(data);
}

void paintFrame(QPainter &painter, const TRpFrame &frame, const QRect &r, int zoom, int resolution)
{
    if (!frame.hasLines())
        return;
    const int width = screenPixels(frame.width(), zoom, resolution);
    const QColor color = toQColor(frame.color());
    if (frame.drawTop())
        painter.fillRect(QRect(r.left(), r.top(), r.width(), width), color);
    if (frame.drawBottom())
        painter.fillRect(QRect(r.left(), r.bottom() - width + 1, r.width(), width), color);
    if (frame.drawLeft())
        painter.fillRect(QRect(r.left(), r.top(), width, r.height()), color);
    if (frame.drawRight())
        painter.fillRect(QRect(r.right() - width + 1, r.top(), width, r.height()), color);
}

void paintPlaceholder(QPainter &painter, const QRect &r, const QString &text)
{
    painter.setPen(QPen(QColor(128, 128, 128), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    painter.drawLine(r.topLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomLeft());
    painter.setPen(QColor(80, 80, 80));
    painter.drawText(r, Qt::AlignCenter | Qt::TextWordWrap, text);
}

} // namespace

TRpDesignView::TRpDesignView(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("DesignPage"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void TRpDesignView::setReport(TCustomRpReport *report)
{
    m_report = report;
    updateSize();
    update();
}

void TRpDesignView::updateSize()
{
    resize(sizeHint());
    updateGeometry();
}

QSize TRpDesignView::sizeHint() const
{
    return m_report ? DesignItems::pageSize(m_report) : QSize(200, 200);
}

QFont TRpDesignView::screenFont(const ReportFont &font, int zoom, int resolution)
{
    QFont result(font.name());
    result.setPixelSize(std::max(1, int(std::lround(font.size() * resolution / 72.0 * zoom / 100.0))));
    result.setBold(font.style() & Rp::fsBold);
    result.setItalic(font.style() & Rp::fsItalic);
    result.setUnderline(font.style() & Rp::fsUnderline);
    result.setStrikeOut(font.style() & Rp::fsStrikeOut);
    return result;
}

void TRpDesignView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kOutsidePage);
    if (!m_report)
        return;
    m_report->arrangeBands();
    const QSize page = DesignItems::pageSize(m_report);
    painter.fillRect(QRect(QPoint(0, 0), page), Qt::white);
    const int zoom = m_report->zoom();
    const int resolution = m_report->resolution();
    const TRpPage *setup = m_report->page();
    const QRect printable(nativeToPixels(setup->nativeLeftMargin(), resolution, zoom),
        nativeToPixels(setup->nativeTopMargin(), resolution, zoom),
        nativeToPixels(setup->printableWidth(), resolution, zoom),
        nativeToPixels(setup->nativeLength() - setup->nativeTopMargin() - setup->nativeBottomMargin(),
            resolution, zoom));
    painter.setPen(QPen(kGuide, 1, Qt::DotLine));
    painter.drawRect(printable.adjusted(0, 0, -1, -1));
    for (int column = 1; column < setup->columns(); ++column) {
        const int x = printable.left()
            + nativeToPixels((setup->columnWidth() + setup->nativeColumnSpace()) * column, resolution, zoom);
        painter.drawLine(x, printable.top(), x, printable.bottom());
    }
    for (const TRpCustomBand *band : DesignItems::bands(m_report))
        paintBand(painter, band);
    if (const TRpFrame *frame = m_report->frame(); frame->hasLines()) {
        painter.setPen(QPen(toQColor(frame->color()), screenPixels(frame->width(), zoom, resolution),
            toQtPenStyle(frame->style())));
        painter.setBrush(Qt::NoBrush);
        if (frame->drawTop())
            painter.drawLine(printable.topLeft(), printable.topRight());
        if (frame->drawBottom())
            painter.drawLine(printable.bottomLeft(), printable.bottomRight());
        if (frame->drawLeft())
            painter.drawLine(printable.topLeft(), printable.bottomLeft());
        if (frame->drawRight())
            painter.drawLine(printable.topRight(), printable.bottomRight());
    }
    for (const TRpPrintable *element : DesignItems::elementsOn(m_report))
        paintElement(painter, element, QPoint(0, 0));
    if (m_look.showScriptIndicator && hasScriptSection(m_report->objectName()))
        paintScriptIndicator(painter, QRect(QPoint(0, 0), page));
    if (!m_editor)
        return;
    painter.setBrush(Qt::NoBrush);
    const QRect outline = m_editor->mover() ? m_editor->mover()->dragOutline() : QRect();
    if (!outline.isNull()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(outline.adjusted(0, 0, -1, -1));
    }
    const QRect rubber = m_editor->catcher() ? m_editor->catcher()->rubberBand() : QRect();
    if (!rubber.isNull()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(rubber);
    }
}

bool TRpDesignView::hasScriptSection(const QString &name) const
{
    if (!m_report)
        return false;
    return RpReportScript::hasSection(m_report->property("Script").toStringList(), name);
}

void TRpDesignView::paintScriptIndicator(QPainter &painter, const QRect &area) const
{
    // A silver "s" in a 12-point font, 3 pixels from the right edge and 1 pixel from the top.
    QFont mark(QStringLiteral("Arial"));
    mark.setPointSize(12);
    painter.save();
    painter.setFont(mark);
    painter.setPen(QColor(0xC0, 0xC0, 0xC0));
    const QString text = QStringLiteral("s");
    const QFontMetrics metrics(mark, this);
    const int width = metrics.horizontalAdvance(text);
    painter.drawText(QRect(area.right() - 3 - width, area.top() + 1, width + 1, metrics.height()),
        Qt::AlignRight | Qt::AlignTop, text);
    painter.restore();
}

void TRpDesignView::paintGrid(QPainter &painter, const QRect &area) const
{
    if (m_look.gridX < 4 || m_look.gridY < 4)
        return;
    QPolygon dots;
    for (int y = area.top(); y <= area.bottom(); y += m_look.gridY) {
        for (int x = area.left(); x <= area.right(); x += m_look.gridX)
            dots << QPoint(x, y);
    }
    painter.setPen(kGridDot);
    painter.drawPoints(dots);
}

void TRpDesignView::paintBand(QPainter &painter, const TRpCustomBand *band) const
{
    const QRect r = DesignItems::itemRect(band);
    if (r.isEmpty())
        return;
    const int zoom = m_report->zoom();
    const int resolution = m_report->resolution();
    painter.save();
    painter.setClipRect(r);
    painter.fillRect(r, toQColor(band->color()));
    paintGrid(painter, r);
    if (m_report->page()->ruler()) {
        // A band ruler along the top edge: a tick every 5 mm (or quarter inch), longer every 10 mm (or inch).
        const bool inches = m_report->units() == Rp::Inches;
        const long double step = inches ? kNativePerInch / 4 : 5 * kNativePerMM;
        painter.setPen(kGuide);
        for (int i = 0;; ++i) {
            const int x = r.left() + nativeToPixels(step * i, resolution, zoom);
            if (x > r.right())
                break;
            const bool major = inches ? i % 4 == 0 : i % 2 == 0;
            painter.drawLine(x, r.top(), x, r.top() + (major ? 4 : 2));
        }
    }
    paintFrame(painter, *band->frame(), r, zoom, resolution);
    QFont captionFont(QStringLiteral("Small Fonts"));
    captionFont.setPixelSize(9);
    painter.setFont(captionFont);
    painter.setPen(QColor(128, 128, 128));
    painter.drawText(r.adjusted(2, 0, 0, -1), Qt::AlignLeft | Qt::AlignBottom, band->GetBandCaption());
    if (m_look.showBandNames) {
        QFont nameFont(m_look.bandNameFontName);
        nameFont.setPixelSize(std::max(1, m_look.bandNameFontHeight * zoom / 100));
        painter.setFont(nameFont);
        const bool sameAsBand = m_look.bandNameFontColor == band->color();
        painter.setPen(sameAsBand ? QColor(Qt::white) : toQColor(m_look.bandNameFontColor));
        painter.drawText(r.adjusted(1, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, band->objectName());
    }
    if (m_look.showScriptIndicator && hasScriptSection(band->objectName()))
        paintScriptIndicator(painter, r);
    painter.setPen(QPen(QColor(128, 128, 128), 1, Qt::DashLine));
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    for (const TRpPrintable *element : DesignItems::elementsOn(band))
        paintElement(painter, element, r.topLeft());
    painter.restore();
}

void TRpDesignView::paintElement(QPainter &painter, const TRpPrintable *element, const QPoint &origin) const
{
    const QRect r = DesignItems::itemRect(element).translated(origin);
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const int zoom = m_report->zoom();
    const int resolution = m_report->resolution();
    painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    if (const auto *label = qobject_cast<const TRpCustomLabel *>(element)) {
        if (!label->transparent())
            painter.fillRect(r, toQColor(label->color()));
        painter.setFont(screenFont(*label->font(), zoom, resolution));
        painter.setPen(toQColor(label->font()->color()));
        Qt::Alignment flags = alignmentOf(label->alignment()) | Qt::AlignTop;
        painter.drawText(
            r, int(flags) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0), label->designText());
    } else if (const auto *shape = qobject_cast<const TRpShape *>(element)) {
        const ReportPen *pen = shape->pen();
        const int width = screenPixels(pen->width(), zoom, resolution);
        painter.setPen(QPen(toQColor(pen->color()), width, toQtPenStyle(pen->style())));
        painter.setBrush(QBrush(toQColor(shape->brush()->color()), toQtBrushStyle(shape->brush()->style())));
        const QRect inner = r.adjusted(width / 2, width / 2, -(width + 1) / 2, -(width + 1) / 2);
        switch (shape->shape()) {
        case Rp::rpsRectangle:
            painter.drawRect(inner);
            break;
        case Rp::rpsCircle:
            painter.drawEllipse(inner);
            break;
        case Rp::rpsVertLine:
            painter.drawLine(inner.center().x(), inner.top(), inner.center().x(), inner.bottom());
            break;
        case Rp::rpsHorLine:
            painter.drawLine(inner.left(), inner.center().y(), inner.right(), inner.center().y());
            break;
        case Rp::rpsTopAndBottom:
            painter.drawLine(inner.topLeft(), inner.topRight());
            painter.drawLine(inner.bottomLeft(), inner.bottomRight());
            break;
        case Rp::rpsRightAndLeft:
            painter.drawLine(inner.topLeft(), inner.bottomLeft());
            painter.drawLine(inner.topRight(), inner.bottomRight());
            break;
        }
    } else if (const auto *image = qobject_cast<const TRpImage *>(element)) {
        const QImage picture = pictureImage(*image->picture());
        if (picture.isNull()) {
            paintPlaceholder(painter, r, DesignItems::displayName(element));
        } else if (image->stretch()) {
            painter.drawImage(r, picture);
        } else {
            QRect place(r.topLeft(), picture.size());
            if (image->center())
                place.moveCenter(r.center());
            painter.drawImage(place, picture);
        }
    } else if (const auto *dbImage = qobject_cast<const TRpDBImage *>(element)) {
        paintPlaceholder(painter, r,
            dbImage->dataField().isEmpty() ? DesignItems::displayName(element) : dbImage->dataField());
    } else if (const auto *rich = qobject_cast<const TRpCustomRichText *>(element)) {
        painter.fillRect(r, toQColor(rich->color()));
        painter.setFont(screenFont(*rich->font(), zoom, resolution));
        painter.setPen(toQColor(rich->font()->color()));
        // The formatted text is the rich-text editor's to show; the surface names the element.
        painter.drawText(
            r, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, DesignItems::displayName(element));
    } else {
        paintPlaceholder(painter, r, DesignItems::displayName(element));
    }
    paintFrame(painter, *element->frame(), r, zoom, resolution);
    if (m_look.showComponentFrames) {
        painter.setPen(
            QPen(toQColor(m_look.componentFrameColor), 1, toQtPenStyle(m_look.componentFrameStyle)));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
    painter.restore();
}
