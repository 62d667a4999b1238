#include "report/elements/RichTextItems.h"

#include "report/elements/FieldMarkers.h"
#include "report/elements/FrameStrips.h"
#include "report/elements/PagePaint.h"
#include "report/elements/RtfText.h"
#include "report/elements/detail/FieldText.h"
#include "report/model/Bands.h"
#include "report/pages/RpPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <vector>

TRpCustomRichText::TRpCustomRichText(QObject *parent) : TRpPrintable(parent), m_richEdit(new TRpRichEdit(this))
{
    setInitialPixelSize(100, 100);
}

void TRpRichText::setLines(const QStringList &value)
{
    richEdit()->setLines(value);
    if (m_parentRichEdit)
        m_parentRichEdit->setLines(value);
}

void TRpRichText::setParentRichEdit(TRpRichEdit *value)
{
    m_parentRichEdit = value;
    if (value)
        richEdit()->setLines(value->lines());
}

QString TRpRichText::RichText() const
{
    return lines().join(u'\n');
}

QString TRpDBRichText::RichText() const
{
    return fieldText(m_dataSet, m_dataField);
}

// ---------------------------------------------------------------- printing

namespace {

// Rich text grows its band this many native units at a time.
constexpr long double kRichTextStep = 50;

} // namespace

// The laid-out text of the occurrence being printed and where its next page starts.
struct TRpCustomRichText::PrintState
{
    struct Line
    {
        qreal top;
        qreal bottom;
        int start; // position of its first character
    };

    QTextDocument document;
    // Fills the fields and removable lines of the text at each print.
    std::unique_ptr<RpFieldFiller> fields;
    QString source;
    const QPaintDevice *device = nullptr;
    int width = -1;
    std::vector<Line> lines;
    int end = 0; // position after the last character
    int position = 0; // the first character not printed yet
    bool continuing = false;
};

TRpCustomRichText::~TRpCustomRichText() = default;

int TRpCustomRichText::printPosition() const
{
    return m_print ? m_print->position : 0;
}

void TRpCustomRichText::BeginPrintRun(RpPrintRun &run)
{
    TRpPrintable::BeginPrintRun(run);
    m_print = std::make_unique<PrintState>();
    m_print->fields = std::make_unique<RpFieldFiller>(run);
}

void TRpCustomRichText::EndPrintRun()
{
    m_print.reset();
    TRpPrintable::EndPrintRun();
}

void TRpCustomRichText::layOut(const QString &text, const QPaintDevice *device, int width)
{
    PrintState &state = *m_print;
    // Text with fields is laid out afresh for every occurrence: its values change from record to record.
    const bool filling = state.fields && FieldMarkers::hasMarkers(text);
    if (!filling && state.source == text && state.device == device && state.width == width
        && !state.lines.empty())
        return;
    state.source = text;
    state.device = device;
    state.width = width;
    QTextDocument &document = state.document;
    document.clear();
    document.documentLayout()->setPaintDevice(const_cast<QPaintDevice *>(device));
    document.setDocumentMargin(0);
    document.setDefaultFont(pageFont(*font()));
    QTextOption option = document.defaultTextOption();
    option.setAlignment(alignment() == Rp::taRightJustify ? Qt::AlignRight
            : alignment() == Rp::taCenter                 ? Qt::AlignHCenter
                                                          : Qt::AlignLeft);
    document.setDefaultTextOption(option);
    setRichTextContent(document, text);
    if (filling)
        FieldMarkers::fillDocument(document, state.fields->evaluator());
    document.setTextWidth(std::max(width, 1));
    state.lines.clear();
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QRectF bounds = layout->blockBoundingRect(block);
        const QTextLayout *lines = block.layout();
        for (int i = 0; lines && i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            state.lines.push_back({ bounds.top() + line.y(), bounds.top() + line.y() + line.height(),
                block.position() + line.textStart() });
        }
    }
    state.end = std::max(0, document.characterCount() - 1);
}

void TRpCustomRichText::PrintAt(long double x, long double y)
{
    RpPrintRun *run = printRun();
    if (!run || !m_print || !IsPrintable()) {
        setPrintDone(true);
        return;
    }
    PrintState &state = *m_print;
    TRpPrinter &store = run->PageStore();
    QPainter *canvas = run->FinalPass() ? store.canvas() : nullptr;
    // Text is laid out on a device that outlives the page: the reference screen for pages recorded at its
    // resolution, otherwise the page's own device (a printer, which stays for the whole run).
    const QPaintDevice *device = &referenceScreenDevice();
    if (canvas
        && (canvas->device()->logicalDpiX() != device->logicalDpiX()
            || canvas->device()->logicalDpiY() != device->logicalDpiY()))
        device = canvas->device();

    const long double left = x + size()->nativeLeft();
    const long double top = y + size()->nativeTop();
    const long double right = left + size()->nativeWidth();
    const long double height = size()->nativeHeight();
    const int x1 = store.DeviceX(left);
    const int y1 = store.DeviceY(top);
    if (!state.continuing) {
        layOut(RichText(), device, store.DeviceX(right) - x1);
        state.position = 0;
    } else {
        // The same text on another device is laid out again; the next page still starts at its character.
        layOut(state.source, device, store.DeviceX(right) - x1);
    }

    // The first line not printed yet, and how many of the following lines the element holds.
    size_t first = 0;
    while (first < state.lines.size() && state.lines[first].start < state.position)
        ++first;
    const qreal startTop = first < state.lines.size() ? state.lines[first].top : 0;
    auto fitting = [&](long double nativeHeight) {
        const qreal available = store.DeviceHeight(nativeHeight);
        size_t count = 0;
        while (first + count < state.lines.size()
            && state.lines[first + count].bottom - startTop <= available + 0.01)
            ++count;
        return count;
    };
    size_t count = fitting(height);
    const bool stretching
        = m_autoStretch && qobject_cast<TRpCustomBand *>(parent()) && !state.source.isEmpty();
    long double grown = 0;
    if (stretching && first + count < state.lines.size()) {
        // Never more steps than the rest of the text is tall.
        const long double yFactor = store.yFactor() > 0 ? store.yFactor() : 1;
        const long double needed = (state.lines.back().bottom - startTop) / yFactor - height;
        const long double steps
            = std::min<long double>(std::ceil(std::max<long double>(needed, 0) / kRichTextStep) + 1, 1e6);
        for (long double step = 0; step < steps && first + count < state.lines.size(); ++step) {
            if (!run->GrowBand(grown + kRichTextStep))
                break;
            grown += kRichTextStep;
            count = fitting(height + 1 + run->BandGrowth());
        }
    }
    if (stretching && count == 0 && first < state.lines.size() && run->MustAdvance())
        count = 1; // a round at the top of a fresh column always prints something

    if (canvas && count > 0) {
        const qreal drawnBottom = state.lines[first + count - 1].bottom;
        const QRectF clip(0, startTop, state.width, drawnBottom - startTop);
        canvas->save();
        canvas->translate(x1, y1 - startTop);
        canvas->setClipRect(clip);
        QAbstractTextDocumentLayout::PaintContext context;
        // Lines that only touch the drawn ones belong to other pages; the layout counts touching as inside.
        context.clip = clip.adjusted(0, 0.5, 0, -0.5);
        context.palette.setColor(QPalette::Text, pageColor(font()->color()));
        state.document.documentLayout()->draw(canvas, context);
        canvas->restore();
    }
    const size_t next = first + count;
    state.position = next < state.lines.size() ? state.lines[next].start : state.end;
    const bool done = next >= state.lines.size() || !stretching || !run->MayContinue();
    state.continuing = !done;
    setPrintDone(done);
    if (canvas)
        DrawFrameStrips(store, *frame(), left, top, right, top + height + grown);
}
