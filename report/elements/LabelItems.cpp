#include "report/elements/LabelItems.h"

#include "report/model/Report.h"

#include <limits>

// ---------------------------------------------------------------- TRpCustomLabel

TRpCustomLabel::TRpCustomLabel(QObject *parent) : TRpPrintable(parent), m_font(new ReportFont(this))
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
    properties.push_back({QStringLiteral("FontSize"), StreamValue::fromInteger(m_font->size())});
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

// ---------------------------------------------------------------- kinds

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
