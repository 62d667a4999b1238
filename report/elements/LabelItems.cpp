#include "report/elements/LabelItems.h"

#include "platform/Exceptions.h"
#include "platform/RegionalSettings.h"
#include "report/elements/FieldMarkers.h"
#include "report/elements/FrameStrips.h"
#include "report/elements/PagePaint.h"
#include "report/elements/TextLines.h"
#include "report/expressions/Evaluator.h"
#include "report/expressions/EvaluatorFormat.h"
#include "report/model/Report.h"
#include "report/model/Units.h"
#include "report/pages/PageRecorder.h"
#include "report/pages/RpPrinter.h"
#include "store/DataSet.h"
#include "store/Fields.h"

#include <QPainter>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// Native positions are compared with this much room for rounding.
constexpr long double kTolerance = 1e-6L;

// A frame's width in design pixels at a resolution and zoom: −1 is one pixel.
int framePixels(const TRpFrame &frame, int resolution, int zoom)
{
    if (frame.width() == -1)
        return 1;
    if (frame.width() <= 0)
        return 0;
    return std::max(1, int(std::lround(frame.width() / 72.0 * resolution * zoom / 100.0)));
}

// A frame's strip on the page in native units along an axis whose device units per native unit are given.
long double frameNative(const TRpFrame &frame, long double devicePerNative)
{
    if (devicePerNative <= 0)
        return 0;
    return frameStripThickness(frame.width(), double(devicePerNative)) / devicePerNative;
}

} // namespace

// ---------------------------------------------------------------- TRpCustomLabel

TRpCustomLabel::TRpCustomLabel(QObject *parent)
    : TRpPrintable(parent)
    , m_font(new ReportFont(this))
{
    connect(m_font, &ReportFont::changed, this, [this] {
        if (!m_syncingFont)
            m_parentFont = false;
    });
    if (ReportFont *source = parentFontSource()) {
        followParentFont();
        connect(source, &ReportFont::changed, this, [this] {
            if (m_parentFont)
                followParentFont();
        });
    }
}

ReportFont *TRpCustomLabel::parentFontSource() const
{
    if (const auto *band = qobject_cast<const TRpCustomBand *>(parent()))
        return band->font();
    if (const auto *report = qobject_cast<const TCustomRpReport *>(parent()))
        return report->font();
    return nullptr;
}

void TRpCustomLabel::followParentFont()
{
    const ReportFont *source = parentFontSource();
    if (!source)
        return;
    m_syncingFont = true;
    m_font->assign(*source);
    m_syncingFont = false;
}

void TRpCustomLabel::setParentFont(bool value)
{
    m_parentFont = value;
    if (value)
        followParentFont();
}

bool TRpCustomLabel::isPropertyStored(const char *name) const
{
    // A font taken from the band is the band's to store.
    if (qstrcmp(name, "Font") == 0)
        return !m_parentFont;
    return TRpPrintable::isPropertyStored(name);
}

void TRpCustomLabel::writeDefinedProperties(std::vector<StreamProperty> &properties) const
{
    TRpPrintable::writeDefinedProperties(properties);
    properties.push_back({ QStringLiteral("FontSize"), StreamValue::fromInteger(m_font->size()) });
}

bool TRpCustomLabel::readDefinedProperty(const QString &name, const StreamValue &value, bool &ok)
{
    if (name.compare(u"FontSize", Qt::CaseInsensitive) != 0)
        return TRpPrintable::readDefinedProperty(name, value, ok);
    ok = value.kind == StreamValue::Kind::Integer && value.integer >= std::numeric_limits<int>::min()
        && value.integer <= std::numeric_limits<int>::max();
    if (ok)
        m_readFontSize = int(value.integer);
    return true;
}

void TRpCustomLabel::beginRead()
{
    TRpPrintable::beginRead();
    m_readFontSize = 0;
    // A stored font lists its differences from the default font, so reading starts from that, not from
    // the band's font; an element that keeps following the band's font takes it again once loaded.
    m_syncingFont = true;
    m_font->assign(ReportFont());
    m_syncingFont = false;
}

void TRpCustomLabel::propertiesRead()
{
    if (m_parentFont)
        followParentFont();
}

void TRpCustomLabel::loaded()
{
    TRpPrintable::loaded();
    if (m_parentFont)
        followParentFont();
    // The point size read wins over the pixel height, which depends on the screen the file was made on. Only
    // a different size is a change of the element's own (and so ends following the band's font).
    if (m_readFontSize > 0 && m_readFontSize != m_font->size())
        m_font->setSize(m_readFontSize);
    m_readFontSize = 0;
}

// What a text element keeps while a run goes on: the page font and colours, the measures, and the
// occurrence being printed (its text, its lines and the first line not printed yet).
struct TRpCustomLabel::PrintState
{
    PrintState(const TRpCustomLabel &label)
        : font(pageFont(*label.font()))
        , textColor(pageColor(label.font()->color()))
        , fillColor(pageColor(label.color()))
        , measure(font, label.zoom())
        , onReport(label.report() != nullptr)
    { }

    const QFontMetricsF &pageMetrics(const QPaintDevice *device)
    {
        if (!device)
            device = &referenceScreenDevice();
        if (!metrics || device->logicalDpiY() != metricsDpi) {
            metrics.emplace(font, device);
            metricsDpi = device->logicalDpiY();
        }
        return *metrics;
    }

    QFont font;
    QColor textColor;
    QColor fillColor;
    TextMeasure measure;
    bool onReport;
    std::optional<QFontMetricsF> metrics;
    int metricsDpi = 0;

    bool continuing = false;
    QString text; // the occurrence's text after OnPrint
    bool replaced = false; // OnPrint gave another text
    std::vector<QString> lines;
    size_t nextLine = 0;
    // What the lines were built from, so an unchanged text is not broken again.
    bool built = false;
    bool builtFromList = false;
    QString builtText;
    QStringList builtItems;
    qreal builtWidth = -1;
    // Extents of the lines on the design surface, measured once per build and only when asked for.
    std::vector<qreal> advances;

    const std::vector<qreal> &lineAdvances()
    {
        if (advances.size() != lines.size()) {
            advances.clear();
            advances.reserve(lines.size());
            for (const QString &line : lines)
                advances.push_back(measure.advance(line));
        }
        return advances;
    }
};

TRpCustomLabel::~TRpCustomLabel() = default;

TRpCustomLabel::PrintState &TRpCustomLabel::printState()
{
    if (!m_print)
        m_print = std::make_unique<PrintState>(*this);
    return *m_print;
}

const std::vector<QString> &TRpCustomLabel::printLines() const
{
    static const std::vector<QString> none;
    return m_print ? m_print->lines : none;
}

Rp::TAlignment TRpCustomLabel::effectiveAlignment() const
{
    if (m_biDiMode == Rp::bdRightToLeft) {
        if (m_alignment == Rp::taLeftJustify)
            return Rp::taRightJustify;
        if (m_alignment == Rp::taRightJustify)
            return Rp::taLeftJustify;
    }
    return m_alignment;
}

QString TRpCustomLabel::TextFromCaption()
{
    return designText();
}

void TRpCustomLabel::BuildPrintLines()
{
    PrintState &state = printState();
    TextLineRules rules;
    rules.autoSize = m_autoSize;
    rules.wordWrap = m_wordWrap;
    rules.width = nativeToPixels(size()->nativeWidth(), resolution(), zoom());
    QStringList items;
    const bool fromList = !state.replaced && lineList(items);
    if (state.built && state.builtFromList == fromList && state.builtWidth == rules.width
        && (fromList ? state.builtItems == items : state.builtText == state.text))
        return;
    state.lines.clear();
    if (fromList)
        appendListLines(items, rules, state.measure, state.lines);
    else
        appendTextLines(state.text, rules, state.measure, state.lines);
    state.built = true;
    state.builtFromList = fromList;
    state.builtItems = items;
    state.builtText = fromList ? QString() : state.text;
    state.builtWidth = rules.width;
    state.advances.clear();
}

qreal TRpCustomLabel::widestLine()
{
    PrintState &state = printState();
    qreal widest = 0;
    for (qreal advance : state.lineAdvances())
        widest = std::max(widest, state.measure.widthOfAdvance(advance));
    return widest;
}

TRpCustomLabel::Bounds TRpCustomLabel::printBounds()
{
    const TRpPrintableSize &bounds = *size();
    Bounds result { bounds.nativeLeft(), bounds.nativeWidth(), bounds.nativeHeight() };
    if (m_autoSize && printState().onReport) {
        // As wide as the widest line and the frame's sides; the anchor of the alignment stays where it was.
        const int frameWidth = framePixels(*frame(), resolution(), zoom());
        const int pixels = int(std::ceil(widestLine()))
            + frameWidth * (int(frame()->drawLeft()) + int(frame()->drawRight()));
        const int change = pixels - nativeToPixels(result.width, resolution(), zoom());
        const long double width = pixelsToNative(pixels, resolution(), zoom());
        switch (effectiveAlignment()) {
        case Rp::taRightJustify:
            result.left += result.width - width;
            break;
        case Rp::taCenter:
            result.left -= pixelsToNative(change / 2, resolution(), zoom());
            break;
        case Rp::taLeftJustify:
            break;
        }
        result.width = width;
        const int minHeight = int(std::ceil(printState().measure.letterHeight())) + 1;
        result.height = std::max(result.height, pixelsToNative(minHeight, resolution(), zoom()));
    }
    if (m_alignToBand) {
        if (const auto *band = qobject_cast<const TRpCustomBand *>(parent())) {
            const long double bandWidth = band->size()->nativeWidth();
            switch (m_alignment) {
            case Rp::taLeftJustify:
                result.left = 0;
                break;
            case Rp::taRightJustify:
                result.left = bandWidth - result.width;
                break;
            case Rp::taCenter:
                result.left = std::trunc((bandWidth - result.width) / 2);
                break;
            }
        }
    }
    return result;
}

void TRpCustomLabel::AdjustBounds()
{
    // Measured afresh: the font or text may have changed since the last time.
    if (!printRun())
        m_print.reset();
    PrintState &state = printState();
    if (!state.continuing) {
        state.text = TextFromCaption();
        state.replaced = false;
    }
    BuildPrintLines();
    const Bounds bounds = printBounds();
    size()->setNativeBounds(bounds.left, size()->nativeTop(), bounds.width, bounds.height);
    if (!printRun())
        m_print.reset();
}

void TRpCustomLabel::BeginPrintRun(RpPrintRun &run)
{
    TRpPrintable::BeginPrintRun(run);
    m_print = std::make_unique<PrintState>(*this);
    m_outputText = designText();
}

void TRpCustomLabel::NotifyElement(QObject *sender, int operation)
{
    // A band that changed size needs nothing here: AlignToBand places every print against the band's width
    // at that moment.
    TRpPrintable::NotifyElement(sender, operation);
}

void TRpCustomLabel::EndPrintRun()
{
    m_print.reset();
    m_outputText = designText();
    TRpPrintable::EndPrintRun();
}

void TRpCustomLabel::startOccurrence()
{
    PrintState &state = printState();
    const QString text = TextFromCaption();
    m_outputText = text;
    state.text = text;
    state.replaced = false;
    if (hasOnPrintEvent() && OnPrint && !text.isEmpty()) {
        QString value = text;
        OnPrint(this, value);
        if (value != text) {
            state.text = value;
            state.replaced = true;
        }
    }
    BuildPrintLines();
    state.nextLine = 0;
}

void TRpCustomLabel::PrintAt(long double x, long double y)
{
    RpPrintRun *run = printRun();
    if (!run || !IsPrintable()) {
        setPrintDone(true);
        return;
    }
    if (!printState().continuing)
        startOccurrence();
    printRound(*run, x, y);
}

void TRpCustomLabel::printRound(RpPrintRun &run, long double x, long double y)
{
    PrintState &state = printState();
    TRpPrinter &store = run.PageStore();
    QPainter *canvas = run.FinalPass() ? store.canvas() : nullptr;
    TRpExportFilter *filter = run.FinalPass() ? nullptr : run.ExportFilter();

    const Bounds bounds = printBounds();
    const long double left = x + bounds.left;
    const long double top = y + size()->nativeTop();
    const long double right = left + bounds.width;
    const long double ownBottom = top + bounds.height;
    const bool opaque = canvas && !m_transparent;
    const int deviceLeft = store.DeviceX(left);
    const int deviceRight = store.DeviceX(right);
    const int deviceTop = store.DeviceY(top);
    if (opaque)
        fillDeviceRect(*canvas, deviceLeft, deviceTop, deviceRight - deviceLeft,
            store.DeviceY(ownBottom) - deviceTop, state.fillColor);

    const QFontMetricsF &metrics = state.pageMetrics(canvas ? canvas->device() : nullptr);
    const long double yFactor = store.yFactor() > 0 ? store.yFactor() : 1;
    const long double lineHeight = std::max<long double>(metrics.height() / yFactor, kTolerance);
    const long double horizontalFrame = frameNative(*frame(), store.xFactor());
    const long double textTop = top + (frame()->drawTop() ? frameNative(*frame(), store.yFactor()) : 0);
    const long double textLeft = left + (frame()->drawLeft() ? horizontalFrame : 0);
    const long double textRight = right - (frame()->drawRight() ? horizontalFrame : 0);
    const Rp::TAlignment alignment = effectiveAlignment();
    const long double anchor = alignment == Rp::taLeftJustify ? textLeft
        : alignment == Rp::taRightJustify                     ? textRight
                                                              : (textLeft + textRight) / 2;
    const int deviceAnchor = anchor == left ? deviceLeft
        : anchor == right                   ? deviceRight
                                            : store.DeviceX(anchor);
    // The design surface measures on a device of the page's resolution when the page is recorded: its
    // extents serve for the page too.
    const bool designExtents = zoom() == 100 && metrics.fontDpi() == referenceScreenDevice().logicalDpiY()
        && canvas && canvas->device()->logicalDpiX() == referenceScreenDevice().logicalDpiX();
    const bool rightToLeft = m_biDiMode != Rp::bdLeftToRight;
    if (canvas) {
        useFont(*canvas, state.font);
        usePen(*canvas, state.textColor);
        if (rightToLeft)
            canvas->setLayoutDirection(Qt::RightToLeft);
    }

    // Turned text turns about the element's top left corner; the fill and the frame stay level.
    const int rotation = TextRotation();
    const bool turned = canvas && rotation % 3600 != 0;
    if (turned) {
        canvas->save();
        canvas->translate(deviceLeft, deviceTop);
        canvas->rotate(-rotation / 10.0);
        canvas->translate(-deviceLeft, -deviceTop);
    }

    long double bottom = ownBottom;
    long double growth = 0;
    long double lineTop = textTop;
    bool printedAny = false;
    size_t line = state.nextLine;
    for (; line < state.lines.size(); ++line) {
        const long double lineBottom = lineTop + lineHeight;
        if (lineBottom > bottom + kTolerance) {
            if (!m_autoStretch)
                break;
            const long double extra = lineBottom - ownBottom;
            if (run.GrowBand(extra)) {
                const long double grown = std::max(ownBottom + 1 + run.BandGrowth(), lineBottom);
                if (opaque) {
                    fillDeviceRect(*canvas, deviceLeft, store.DeviceY(bottom), deviceRight - deviceLeft,
                        store.DeviceY(grown) - store.DeviceY(bottom), state.fillColor);
                    // The fill leaves no pen, and text drawn without one is not drawn at all.
                    usePen(*canvas, state.textColor);
                }
                bottom = grown;
            } else if (printedAny || !run.MustAdvance()) {
                break;
            }
            // Grown, or the one line a round at the top of a fresh column always prints.
            growth = std::max(growth, extra);
        }
        const QString &text = state.lines[line];
        if (!text.isEmpty()) {
            if (filter)
                filter->TextLine(state.font, font()->color(), int(std::lround(double(anchor))),
                    int(std::lround(double(lineTop))), int(alignment), text);
            if (canvas) {
                qreal deviceX = deviceAnchor;
                if (alignment != Rp::taLeftJustify) {
                    const qreal advance
                        = designExtents ? state.lineAdvances()[line] : metrics.horizontalAdvance(text);
                    deviceX -= alignment == Rp::taRightJustify ? advance : advance / 2;
                }
                const int deviceLineTop = lineTop == top ? deviceTop : store.DeviceY(lineTop);
                TRpPageRecorder::drawPlainText(
                    *canvas, QPointF(deviceX, deviceLineTop + metrics.ascent()), text);
            }
        }
        printedAny = true;
        lineTop = lineBottom;
    }
    state.nextLine = line;
    if (turned)
        canvas->restore();

    if (canvas) {
        if (rightToLeft)
            canvas->setLayoutDirection(Qt::LeftToRight);
        DrawFrameStrips(store, *frame(), left, top, right, ownBottom + growth);
    }
    const bool done = line >= state.lines.size() || !m_autoStretch || !run.MayContinue();
    state.continuing = !done;
    setPrintDone(done);
    if (done)
        OccurrenceDone();
}

// ---------------------------------------------------------------- kinds

TRpMemo::TRpMemo(QObject *parent)
    : TRpCustomLabel(parent)
{ }

TRpMemo::~TRpMemo() = default;

void TRpMemo::BeginPrintRun(RpPrintRun &run)
{
    TRpCustomLabel::BeginPrintRun(run);
    m_fields = std::make_unique<RpFieldFiller>(run);
    m_filled = false;
}

void TRpMemo::EndPrintRun()
{
    m_fields.reset();
    m_filled = false;
    m_filledLines.clear();
    TRpCustomLabel::EndPrintRun();
}

QString TRpMemo::TextFromCaption()
{
    if (!m_fields)
        return designText();
    m_filledLines = FieldMarkers::fillLines(m_lines, m_fields->evaluator());
    m_filled = true;
    return m_filledLines.join(QStringLiteral("\r\n"));
}

bool TRpMemo::lineList(QStringList &items) const
{
    items = m_filled && m_fields ? m_filledLines : m_lines;
    return true;
}

bool TRpExpr::setMaster(QObject *value)
{
    if (value && !qobject_cast<TCustomRpReport *>(value) && !qobject_cast<TRpSubDetail *>(value))
        return false;
    m_master = value;
    return true;
}

QString TRpExpr::designText() const
{
    return m_expression.isEmpty() ? QStringLiteral("(none)") : m_expression;
}

QString TRpSysData::dataCaption(Rp::TRpSysDataType data)
{
    switch (data) {
    case Rp::rpsTime:
        return QStringLiteral("Time");
    case Rp::rpsDate:
        return QStringLiteral("Date");
    case Rp::rpsDateTime:
        return QStringLiteral("Date/Time");
    case Rp::rpsPageNumber:
        return QStringLiteral("Page#");
    case Rp::rpsReportTitle:
        return QStringLiteral("Report title");
    case Rp::rpsDetailCount:
        return QStringLiteral("Detail count");
    case Rp::rpsDetailNo:
        return QStringLiteral("Detail no");
    }
    return {};
}

QString TRpSysData::designText() const
{
    return m_text + u'(' + dataCaption(m_data) + u')';
}

QString TRpDBCalc::expressionFor(Rp::TRpCalcOperation operation, const QString &field)
{
    switch (operation) {
    case Rp::rpcSum:
        return QStringLiteral("Sum(") + field + u')';
    case Rp::rpcCount:
        return QStringLiteral("Count");
    case Rp::rpcMax:
        return QStringLiteral("Max(") + field + u')';
    case Rp::rpcMin:
        return QStringLiteral("Min(") + field + u')';
    case Rp::rpcAverage:
        return QStringLiteral("Average(") + field + u')';
    }
    return {};
}

void TRpDBCalc::setDataField(const QString &value)
{
    m_dataField = value;
    setExpression(expressionFor(m_operation, m_dataField));
}

void TRpDBCalc::setOperation(Rp::TRpCalcOperation value)
{
    m_operation = value;
    setExpression(expressionFor(m_operation, m_dataField));
}

bool TRpDBCalc::isPropertyStored(const char *name) const
{
    if (qstrcmp(name, "Expression") == 0 || qstrcmp(name, "Mask") == 0)
        return false;
    return TRpExpr::isPropertyStored(name);
}

// ---------------------------------------------------------------- field values

namespace {

bool isIntegerField(TFieldType type)
{
    return type == ftSmallint || type == ftInteger || type == ftWord || type == ftAutoInc;
}

bool isFloatField(TFieldType type)
{
    return type == ftFloat || type == ftCurrency || type == ftBCD;
}

bool isDateField(TFieldType type)
{
    return type == ftDate || type == ftTime || type == ftDateTime;
}

bool isStringField(TFieldType type)
{
    return type == ftString || type == ftFixedChar || type == ftWideString;
}

} // namespace

TRpDBText::TRpDBText(QObject *parent)
    : TRpCustomLabel(parent)
{ }

TRpDBText::~TRpDBText() = default;

QString TRpDBText::TextFromCaption()
{
    m_listBased = false;
    m_fieldLines.clear();
    auto *table = qobject_cast<TDataSet *>(m_dataSet.data());
    if (!table || m_dataField.isEmpty())
        return QString();
    try {
        const TField *field = table->LookupField(m_dataField);
        if (!field)
            return QString();
        const TFieldType type = field->DataType();
        if (type == ftBlob) {
            const QString text = field->DisplayText();
            m_listBased = true;
            m_fieldLines = splitAtLineBreaks(text);
            return text;
        }
        if (m_mask.isEmpty() || isStringField(type))
            return field->DisplayText();
        if (isIntegerField(type) || isFloatField(type)) {
            if (field->IsNullValue())
                return QString();
            if (!m_numberMask || m_numberMask->text() != m_mask)
                m_numberMask = std::make_unique<RpNumberMask>(m_mask);
            QString text;
            return m_numberMask->format(field->AsNumber(), text) ? text : QString();
        }
        if (isDateField(type))
            return field->IsNullValue() ? QString() : formatDateMask(m_mask, field->AsDateTime());
        return field->DisplayText();
    } catch (const Exception &) {
        return QString();
    }
}

bool TRpDBText::lineList(QStringList &items) const
{
    if (!m_listBased)
        return false;
    items = m_fieldLines;
    return true;
}

void TRpDBText::EndPrintRun()
{
    m_listBased = false;
    m_fieldLines.clear();
    m_numberMask.reset();
    TRpCustomLabel::EndPrintRun();
}

// ---------------------------------------------------------------- expressions

TRpExpr::TRpExpr(QObject *parent)
    : TRpCustomLabel(parent)
{ }

TRpExpr::~TRpExpr() = default;

void TRpExpr::BeginPrintRun(RpPrintRun &run)
{
    TRpCustomLabel::BeginPrintRun(run);
    m_numberMask = std::make_unique<RpNumberMask>(m_mask);
    m_evaluator = std::make_unique<TRpEvaluator>(run.Functions(), &run.DataSets());
    m_evaluator->Compile(m_expression);
    if (m_master)
        run.AddAggregateClient(m_master, this);
    else if (m_evaluator->HasAggregates())
        run.AddAggregateClient(nullptr, this);
    m_evaluator->ResetAggregates();
}

void TRpExpr::NotifyElement(QObject *sender, int operation)
{
    if (operation == 0 && m_evaluator) {
        try {
            m_evaluator->Accumulate();
        } catch (const Exception &) {
            // A value that cannot be read is not added; printing the element shows why.
        }
    }
    TRpCustomLabel::NotifyElement(sender, operation);
}

void TRpExpr::EndPrintRun()
{
    m_evaluator.reset();
    m_numberMask.reset();
    TRpCustomLabel::EndPrintRun();
}

QString TRpExpr::valueText(const TRpEvValue &value)
{
    if (!m_numberMask || m_numberMask->text() != m_mask)
        m_numberMask = std::make_unique<RpNumberMask>(m_mask);
    switch (value.Kind()) {
    case evInteger:
        if (m_mask.isEmpty())
            return QString::number(value.AsInteger());
        [[fallthrough]];
    case evFloat: {
        QString text;
        if (!m_numberMask->format(value.AsFloat(), text))
            text = RegionalSettings::current().floatToStr(value.AsFloat());
        return text;
    }
    case evString:
    case evError:
        return value.Text();
    case evBoolean:
        return value.AsBoolean() ? QStringLiteral("True") : QStringLiteral("False");
    }
    return QString();
}

QString TRpExpr::TextFromCaption()
{
    if (!m_evaluator)
        return QStringLiteral("Evaluator not prepared");
    try {
        return valueText(m_evaluator->Compute());
    } catch (const Exception &error) {
        return error.message();
    }
}

void TRpExpr::OccurrenceDone()
{
    if (m_resetAfterPrint && m_evaluator)
        m_evaluator->ResetAggregates();
}

// ---------------------------------------------------------------- system data

QString TRpSysData::TextFromCaption()
{
    const RpPrintRun *run = printRun();
    switch (m_data) {
    case Rp::rpsTime:
        return m_text + formatDateMask(u"t", DateTime::now());
    case Rp::rpsDate:
        return m_text + formatDateMask(u"c", DateTime::today());
    case Rp::rpsDateTime:
        return m_text + formatDateMask(u"c", DateTime::now());
    case Rp::rpsPageNumber:
        return m_text + QString::number(run ? run->PageNumber() : 0);
    case Rp::rpsReportTitle:
        return m_text + (run ? run->ReportTitle() : QString());
    case Rp::rpsDetailCount:
    case Rp::rpsDetailNo:
        if (!run || !qobject_cast<const TRpReport *>(report()))
            return outputText();
        return m_text
            + QString::number(m_data == Rp::rpsDetailCount ? run->DetailCount() : run->DetailNumber());
    }
    return m_text;
}
