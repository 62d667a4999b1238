#include "report/files/DesignClasses.h"

#include "platform/Cp1252.h"
#include "report/files/ReportFileObjects.h"
#include "report/pages/RpPrinter.h"
#include "report/streaming/ReportRegistry.h"

#include <QtEndian>

void DesignBitmap::writeDefinedProperties(std::vector<StreamProperty> &properties) const
{
    if (m_data.isEmpty())
        return;
    StreamValue value;
    value.kind = StreamValue::Kind::Binary;
    QByteArray length(4, '\0');
    qToLittleEndian<quint32>(quint32(m_data.size()), length.data());
    value.bytes = length + m_data;
    properties.push_back({ QStringLiteral("Data"), value });
}

bool DesignBitmap::readDefinedProperty(const QString &name, const StreamValue &value, bool &ok)
{
    if (name.compare(u"Data", Qt::CaseInsensitive) != 0)
        return false;
    // The bitmap's own length must match the bytes that follow it.
    ok = value.kind == StreamValue::Kind::Binary && value.bytes.size() >= 4
        && qFromLittleEndian<quint32>(value.bytes.constData()) == quint32(value.bytes.size() - 4);
    if (ok)
        m_data = value.bytes.mid(4);
    return true;
}

TERpReport::TERpReport(QObject *parent)
    : TRpReport(parent)
    , m_labelSettings(new TLabelSettings(this))
{ }

TDesignRpReport::TDesignRpReport(QObject *parent)
    : TERpReport(parent)
    , m_designBackground(new DesignBitmap(this))
{ }

QString TDesignRpReport::printerName() const
{
    return m_printerName;
}

void TDesignRpReport::setPrinterName(const QString &value)
{
    m_printerName = value;
    const TRpPrintDevice *printer = TRpPrinter::applicationPrinter();
    if (!printer)
        return;
    const QStringList printers = printer->Printers();
    for (int i = 0; i < printers.size(); ++i) {
        if (printers[i].compare(value, Qt::CaseInsensitive) == 0) {
            printerSettings()->setPrinterIndex(i);
            return;
        }
    }
}

bool TDesignRpReport::isPropertyStored(const char *name) const
{
    for (const char *never : { "Left", "Top", "Width", "Height", "ShowProgress" }) {
        if (qstrcmp(name, never) == 0)
            return false;
    }
    return TERpReport::isPropertyStored(name);
}

DesignBandValues::DesignBandValues(QObject *owner)
    : m_designBackground(new DesignBitmap(owner))
{ }

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

} // namespace

QByteArray TRpDesignRichtext::richtextLines() const
{
    // Single-byte text as rich text sources are; text that needs more goes as UTF-8 behind its byte-order
    // mark.
    const QString text = lines().join(QStringLiteral("\r\n"));
    QByteArray bytes;
    if (Cp1252::encode(text, bytes))
        return bytes;
    return kUtf8Mark + text.toUtf8();
}

void TRpDesignRichtext::setRichtextLines(const QByteArray &value)
{
    QString text = value.startsWith(kUtf8Mark) ? QString::fromUtf8(value.mid(kUtf8Mark.size()))
                                               : Cp1252::decode(value);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setLines(value.isEmpty() ? QStringList() : text.split(u'\n'));
}

bool TRpDesignRichtext::isPropertyStored(const char *name) const
{
    if (qstrcmp(name, "Lines") == 0)
        return false;
    return TRpRichText::isPropertyStored(name);
}

void registerDesignClasses()
{
    registerAll();
    ClassRegistry &registry = reportClasses();
    registry.add<TDesignRpReport>();
    registry.add<TRpDesignBand>();
    registry.add<TRpDesignLoopband>();
    registry.add<TRpDesignStringsband>();
    registry.add<TRpDesignSubdetail>();
    registry.add<TRpDesignChildBand>();
    registry.add<TRpDesignGroup>();
    registry.add<TRpDesignLabel>();
    registry.add<TRpDesignExpr>();
    registry.add<TRpDesignDBText>();
    registry.add<TRpDesignSysdata>();
    registry.add<TRpDesignMemo>();
    registry.add<TRpDesignShape>();
    registry.add<TRpDesignDBImage>();
    registry.add<TRpDesignRichtext>();
    registry.add<TRpDesignDBRichtext>();
    registry.add<TRpDesignImage>();
    registry.add<TComponentFileHeader>();
    registry.add<TRuntimeDatamodule>();
}
