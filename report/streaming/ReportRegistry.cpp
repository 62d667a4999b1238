#include "report/streaming/ReportRegistry.h"

#include "report/model/Controllers.h"
#include "report/elements/DrawItems.h"
#include "report/elements/LabelItems.h"
#include "report/model/Printable.h"
#include "report/model/Report.h"
#include "report/elements/RichTextItems.h"

void ClassRegistry::add(const QMetaObject *meta, Factory factory)
{
    m_entries.insert(QString::fromLatin1(meta->className()).toLower(), Entry{meta, factory});
}

bool ClassRegistry::contains(const QString &className) const
{
    return m_entries.contains(className.toLower());
}

QObject *ClassRegistry::create(const QString &className, QObject *parent) const
{
    const auto it = m_entries.constFind(className.toLower());
    return it == m_entries.constEnd() ? nullptr : it->factory(parent);
}

ClassRegistry &reportClasses()
{
    static ClassRegistry registry;
    return registry;
}

void registerAll()
{
    ClassRegistry &registry = reportClasses();
    registry.add<TRpReport>();
    registry.add<TRpBand>();
    registry.add<TRpChildBand>();
    registry.add<TRpGroup>();
    registry.add<TRpSubDetail>();
    registry.add<TRpLoopBand>();
    registry.add<TRpStringsBand>();
    registry.add<TRpPrintable>();
    registry.add<TRpLabel>();
    registry.add<TRpMemo>();
    registry.add<TRpDBText>();
    registry.add<TRpExpr>();
    registry.add<TRpSysData>();
    registry.add<TRpDBCalc>();
    registry.add<TRpShape>();
    registry.add<TRpImage>();
    registry.add<TRpDBImage>();
    registry.add<TRpRichText>();
    registry.add<TRpDBRichText>();
    registry.add<TRpCompositeReport>();
}
