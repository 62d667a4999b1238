#include "report/elements/RichTextItems.h"

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
