#include "report/wizard/ReportCreator.h"

#include "report/files/DesignClasses.h"
#include "report/model/NameScope.h"
#include "report/wizard/LabelFormats.h"
#include "store/DataSet.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

// At most this many fields make columns of a list.
constexpr int kMaxListColumns = 200;

int roundHalfUp(double value)
{
    return int(std::lround(value));
}

// The bottom margin of a label sheet leaves 3 mm to the printer, in each unit.
double threeMillimetres(TRpUnit unit)
{
    switch (unit) {
    case Rp::MM:
        return 3;
    case Rp::Inches:
        return 0.03;
    case Rp::Pixels:
        return 12;
    case Rp::Characters:
        return 0.3;
    case Rp::Native:
        return 30;
    }
    return 0;
}

} // namespace

void applyWizardFont(const TRpWizardFont &from, ReportFont &to)
{
    to.setName(from.name);
    to.setSize(std::abs(from.size));
    to.setStyle(from.style);
    to.setColor(from.color);
}

void TRpWizardAnswers::applyLabelLayout(const RpLabelLayout &layout)
{
    paperSize = layout.paperSize;
    if (layout.paperSize == RpPaper::Custom) {
        paperWidth = layout.paperWidth;
        paperLength = layout.paperLength;
    }
    labelOrientation = layout.orientation;
    topMargin = layout.topMargin;
    bottomMargin = layout.bottomMargin;
    leftMargin = layout.leftMargin;
    rightMargin = layout.rightMargin;
    labelWidth = layout.width;
    labelHeight = layout.height;
    labelColumns = layout.columns;
    labelRows = layout.rows;
    columnSpace = layout.columnSpace;
    rowSpace = layout.rowSpace;
}

TRpDReportCreator::TRpDReportCreator(TDesignRpReport &report)
    : m_report(report)
{ }

TRpWizardAnswers TRpDReportCreator::defaultsFor(const TDesignRpReport &report)
{
    TRpWizardAnswers answers;
    const TRpPage &page = *report.page();
    answers.paperSize = page.paperSize();
    answers.labelOrientation = page.orientation();
    answers.orientation = page.orientation();
    answers.paperWidth = page.width();
    answers.paperLength = page.length();
    answers.topMargin = page.topMargin();
    answers.bottomMargin = page.bottomMargin();
    answers.leftMargin = page.leftMargin();
    answers.rightMargin = page.rightMargin();
    answers.dataFont.name = report.font()->name();
    answers.dataFont.size = 10;
    answers.headerFont.name = report.font()->name();
    answers.headerFont.size = 10;
    answers.headerFont.style = Rp::fsBold;
    return answers;
}

void TRpDReportCreator::Build(const TRpWizardAnswers &answers)
{
    if (answers.type == TRpWizardReportType::Blank)
        return;
    m_dataSet = qobject_cast<TDataSet *>(answers.dataSet.data());
    applyPage(answers);
    RemoveLayout(m_report);
    m_report.setDataSet(m_dataSet);
    switch (answers.type) {
    case TRpWizardReportType::List:
        buildList(answers);
        break;
    case TRpWizardReportType::Labels:
        buildLabels(answers);
        break;
    default:
        buildForm(answers);
        break;
    }
    m_report.arrangeBands();
}

void TRpDReportCreator::applyPage(const TRpWizardAnswers &answers)
{
    TRpPage &page = *m_report.page();
    page.setOrientation(answers.orientation);
    // Values the page refuses (a column narrower than a unit) leave it as it was.
    page.setColumns(std::max(1, answers.columns));
    if (std::isfinite(answers.columnSpacing) && answers.columnSpacing >= 0)
        page.setColumnSpace(answers.columnSpacing);
}

void TRpDReportCreator::RemoveLayout(TDesignRpReport &report)
{
    QList<QObject *> doomed;
    for (QObject *child : report.children()) {
        if (qobject_cast<TRpCustomBand *>(child) || qobject_cast<TRpPrintable *>(child))
            doomed.append(child);
    }
    for (QObject *child : doomed)
        delete child;
}

// ---------------------------------------------------------------- pieces

long double TRpDReportCreator::native(int pixels) const
{
    return pixelsToNative(pixels, m_report.resolution(), 100);
}

int TRpDReportCreator::bandWidth() const
{
    return nativeToPixels(m_report.page()->columnWidth(), m_report.resolution(), 100);
}

void TRpDReportCreator::created(QObject *component)
{
    if (AfterReportComponentCreated)
        AfterReportComponentCreated(component);
}

template <typename Band>
Band *TRpDReportCreator::addBand(const QString &name, TRpBandType type, long double nativeLength)
{
    auto *band = new Band(&m_report);
    NameScope scope(nameScopeRoot(&m_report));
    band->setObjectName(scope.unique(name));
    if constexpr (std::is_base_of_v<TRpBand, Band>)
        band->setBandType(type);
    band->size()->setNativeLength(nativeLength);
    created(band);
    return band;
}

template <typename Element> Element *TRpDReportCreator::addElement(TRpCustomBand *band, const char *baseName)
{
    NameScope scope(nameScopeRoot(&m_report));
    const QString name = scope.numbered(QLatin1String(baseName));
    auto *element = new Element(band);
    element->setObjectName(name);
    return element;
}

void TRpDReportCreator::place(QObject *element, int left, int top, int width, int height)
{
    auto *printable = qobject_cast<TRpPrintable *>(element);
    printable->size()->setNativeBounds(native(left), native(top), native(width), native(height));
    printable->updatePixelBounds();
    created(element);
}

void TRpDReportCreator::addLine(TRpCustomBand *band, bool horizontal, int left, int top, int length)
{
    auto *shape = addElement<TRpDesignShape>(band, "RpShape");
    shape->setShape(horizontal ? Rp::rpsHorLine : Rp::rpsVertLine);
    if (horizontal)
        place(shape, left, top, length, 5);
    else
        place(shape, left, top, 5, length);
}

QString TRpDReportCreator::labelOf(const QString &fieldName) const
{
    const TField *field = m_dataSet ? m_dataSet->LookupField(fieldName) : nullptr;
    QString label = field ? field->DisplayLabel() : QString();
    if (label.isEmpty())
        label = fieldName;
    label.replace(u'_', u' ');
    return label;
}

void TRpDReportCreator::addOptionalBands(const TRpWizardAnswers &answers, bool withTitle, bool withPageHeader)
{
    const int headerSize = std::abs(answers.headerFont.size);
    if (withPageHeader && answers.pageHeader)
        addBand<TRpDesignBand>(
            QStringLiteral("Pageheader"), Rp::rbPageHeader, native((headerSize + 7) * 2 + 20));
    if (withTitle && answers.title) {
        auto *title = addBand<TRpDesignBand>(QStringLiteral("Titleband"), Rp::rbTitle, native(50));
        auto *label = addElement<TRpDesignLabel>(title, "RpLabel");
        label->setCaption(answers.reportTitle);
        TRpWizardFont font = answers.headerFont;
        font.size = 18;
        applyWizardFont(font, *label->font());
        label->setParentFont(false);
        place(label, 5, 5, std::max(10, bandWidth() - 10), 18 + 12);
    }
    if (answers.pageFooter)
        addBand<TRpDesignBand>(QStringLiteral("Pagefooter"), Rp::rbPageFooter, native(50));
    if (answers.summary)
        addBand<TRpDesignBand>(QStringLiteral("Summary"), Rp::rbSummary, native(50));
}

// ---------------------------------------------------------------- list style

void TRpDReportCreator::buildList(const TRpWizardAnswers &answers)
{
    const int dataSize = std::abs(answers.dataFont.size);
    const int headerSize = std::abs(answers.headerFont.size);
    const int detailHeight = roundHalfUp((dataSize + 7) * 1.1);
    addOptionalBands(answers, true, true);
    const int headerHeight = (headerSize + 7) * 2 + 20;
    auto *columnHeader
        = addBand<TRpDesignBand>(QStringLiteral("Columnheader"), Rp::rbColumnHeader, native(headerHeight));
    auto *detail = addBand<TRpDesignBand>(QStringLiteral("Detailband"), Rp::rbDetail, native(detailHeight));

    // Column widths: each field's display width in characters of the data font; too wide a row shrinks its
    // wider columns step by step, never below the narrowest column there is.
    const QStringList fields = answers.fields.mid(0, kMaxListColumns);
    const int minimum = dataSize + 5;
    std::vector<int> widths;
    for (const QString &name : fields) {
        const TField *field = m_dataSet ? m_dataSet->LookupField(name) : nullptr;
        widths.push_back((field ? field->DisplayWidth() : 10) * dataSize + 5);
    }
    const int available = bandWidth();
    auto total = [&widths] {
        qint64 sum = 0;
        for (int w : widths)
            sum += w;
        return sum;
    };
    while (total() > available) {
        bool changed = false;
        for (int &w : widths) {
            if (w <= minimum)
                continue;
            const int shrunk = std::max(minimum, roundHalfUp(w * 0.9));
            changed = changed || shrunk != w;
            w = shrunk;
        }
        if (!changed)
            break;
    }

    const int fieldHeight = dataSize + 7;
    const int labelTop = roundHalfUp((headerSize + 7) * 0.5) + 20;
    int left = 3;
    for (int i = 0; i < fields.size(); ++i) {
        auto *text = addElement<TRpDesignDBText>(detail, "RpDBText");
        text->setDataSet(m_dataSet);
        text->setDataField(fields[i]);
        applyWizardFont(answers.dataFont, *text->font());
        text->setParentFont(false);
        text->setAutoSize(false);
        place(text, left, (detailHeight - fieldHeight) / 2, std::max(1, widths[size_t(i)] - 5), fieldHeight);

        auto *caption = addElement<TRpDesignLabel>(columnHeader, "RpLabel");
        caption->setCaption(labelOf(fields[i]));
        applyWizardFont(answers.headerFont, *caption->font());
        caption->setParentFont(false);
        place(caption, left, labelTop, widths[size_t(i)], headerSize + 7);
        left += widths[size_t(i)];
    }

    const int width = bandWidth();
    if (answers.horizontalLines) {
        addLine(detail, true, 3, detailHeight - 8, width - 6);
        addLine(columnHeader, true, 3, headerHeight - 8, width - 6);
    }
    if (answers.boxLines) {
        addLine(detail, false, 0, 0, detailHeight + 1);
        addLine(detail, false, width - 5, 0, detailHeight + 1);
        addLine(columnHeader, false, 0, 18, headerHeight - 18);
        addLine(columnHeader, false, width - 5, 18, headerHeight - 18);
        addLine(columnHeader, true, 0, 18, width);
    }
    if (answers.verticalLines) {
        int x = 3;
        for (size_t i = 0; i < widths.size(); ++i) {
            if (i > 0) {
                addLine(detail, false, x - 5, 0, detailHeight);
                addLine(columnHeader, false, x - 5, 18, headerHeight - 18);
            }
            x += widths[i];
        }
    }
}

// ---------------------------------------------------------------- form style, single form, tabular

int TRpDReportCreator::layOutFields(TRpCustomBand *band, const TRpWizardAnswers &answers, int top)
{
    const int lineHeight = std::max(std::abs(answers.dataFont.size), std::abs(answers.headerFont.size)) + 7;
    const int width = bandWidth();
    const int labelWidth = std::clamp(width / 3, 10, 200);
    const int fieldLeft = 5 + labelWidth + 10;
    int y = top + lineHeight / 2;
    for (const QString &name : answers.fields) {
        auto *caption = addElement<TRpDesignLabel>(band, "RpLabel");
        caption->setCaption(labelOf(name));
        applyWizardFont(answers.headerFont, *caption->font());
        caption->setParentFont(false);
        place(caption, 5, y, labelWidth, lineHeight);

        auto *text = addElement<TRpDesignDBText>(band, "RpDBText");
        text->setDataSet(m_dataSet);
        text->setDataField(name);
        applyWizardFont(answers.dataFont, *text->font());
        text->setParentFont(false);
        text->setAutoSize(false);
        place(text, fieldLeft, y, std::max(10, width - fieldLeft - 5), lineHeight);
        y += 2 * lineHeight;
    }
    return y - top;
}

void TRpDReportCreator::addFormLines(
    TRpCustomBand *band, const TRpWizardAnswers &answers, int top, int bottom)
{
    const int lineHeight = std::max(std::abs(answers.dataFont.size), std::abs(answers.headerFont.size)) + 7;
    const int width = bandWidth();
    if (answers.horizontalLines) {
        for (int i = 0; i < answers.fields.size(); ++i)
            addLine(band, true, 3, top + lineHeight / 2 + i * 2 * lineHeight + lineHeight, width - 6);
    }
    if (answers.verticalLines) {
        const int labelWidth = std::clamp(width / 3, 10, 200);
        addLine(band, false, 5 + labelWidth + 2, top, bottom - top);
    }
    if (answers.boxLines) {
        addLine(band, true, 0, top, width);
        addLine(band, true, 0, bottom - 5, width);
        addLine(band, false, 0, top, bottom - top);
        addLine(band, false, width - 5, top, bottom - top);
    }
}

void TRpDReportCreator::buildForm(const TRpWizardAnswers &answers)
{
    const int lineHeight = std::max(std::abs(answers.dataFont.size), std::abs(answers.headerFont.size)) + 7;
    const int height = lineHeight * (int(answers.fields.size()) + 1) * 2;
    if (answers.type == TRpWizardReportType::Single) {
        // One record on one page: the fields on a title band as high as the page.
        const TRpPage &page = *m_report.page();
        const int pageHeight
            = nativeToPixels(page.nativeLength() - page.nativeTopMargin() - page.nativeBottomMargin(),
                m_report.resolution(), 100);
        auto *title = addBand<TRpDesignBand>(
            QStringLiteral("Titleband"), Rp::rbTitle, native(std::max(pageHeight, height)));
        layOutFields(title, answers, 0);
        addFormLines(title, answers, 0, height);
        return;
    }
    addOptionalBands(answers, true, true);
    auto *detail = addBand<TRpDesignBand>(QStringLiteral("Detailband"), Rp::rbDetail, native(height));
    if (answers.type == TRpWizardReportType::Form)
        detail->setForceNewPage(true);
    layOutFields(detail, answers, 0);
    addFormLines(detail, answers, 0, height);
}

// ---------------------------------------------------------------- mailing labels

void TRpDReportCreator::buildLabels(const TRpWizardAnswers &answers)
{
    m_report.labelSettings()->setFirstLabel(1);
    TRpPage &page = *m_report.page();
    page.setPaperSize(answers.paperSize);
    page.setOrientation(answers.labelOrientation);
    if (answers.paperSize == RpPaper::Custom) {
        page.setWidth(answers.paperWidth);
        page.setLength(answers.paperLength);
    }
    auto margin = [](double value) { return std::isfinite(value) ? std::max(0.0, value) : 0.0; };
    page.setLeftMargin(margin(answers.leftMargin));
    page.setRightMargin(margin(answers.rightMargin));
    page.setTopMargin(margin(answers.topMargin));
    page.setBottomMargin(margin(answers.bottomMargin - threeMillimetres(m_report.units())));
    page.setColumns(std::max(1, answers.labelColumns));
    page.setColumnSpace(margin(answers.columnSpace));

    // The label and row heights are lengths of the report's unit.
    const UnitContext unit { m_report.units(), m_report.resolution(), 100, double(m_report.font()->size()) };
    const long double labelLength = unitToNative(margin(answers.labelHeight), unit, Axis::Vertical);
    TRpCustomBand *labelBand = nullptr;
    if (m_dataSet) {
        labelBand = addBand<TRpDesignBand>(QStringLiteral("Detailband"), Rp::rbDetail, labelLength);
        layOutFields(labelBand, answers, 0);
    } else {
        auto *loop = addBand<TRpDesignLoopband>(QStringLiteral("LabelBand"), Rp::rbDetail, labelLength);
        const qint64 count = qint64(std::max(1, answers.labelColumns)) * std::max(1, answers.labelRows);
        const int labels = int(std::min<qint64>(count, std::numeric_limits<qint32>::max()));
        loop->setPrintCount(labels);
        m_report.labelSettings()->setLabelCount(labels);
        labelBand = loop;
    }
    if (answers.rowSpace > 0 && std::isfinite(answers.rowSpace)) {
        auto *space = addBand<TRpDesignChildBand>(
            QStringLiteral("RowSpace"), Rp::rbChild, unitToNative(answers.rowSpace, unit, Axis::Vertical));
        space->setParentBand(labelBand);
    }
}
