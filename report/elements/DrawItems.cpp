#include "report/elements/DrawItems.h"

#include <QtEndian>

namespace {

constexpr int kMaxKindLength = 255;

bool isBitmapKind(const QString &kind)
{
    return kind.compare(u"TBitmap", Qt::CaseInsensitive) == 0;
}

} // namespace

// ---------------------------------------------------------------- ReportPicture

bool ReportPicture::setGraphic(const QString &kind, const QByteArray &data)
{
    if (kind.size() > kMaxKindLength || !isStreamIdentifier(kind))
        return false;
    m_kind = kind;
    m_data = data;
    emit changed();
    return true;
}

void ReportPicture::clear()
{
    m_kind.clear();
    m_data.clear();
    emit changed();
}

QByteArray ReportPicture::streamData() const
{
    if (isEmpty())
        return {};
    QByteArray bytes;
    bytes.append(char(m_kind.size()));
    bytes.append(m_kind.toLatin1());
    bytes.append(m_data);
    return bytes;
}

bool ReportPicture::setStreamData(const QByteArray &bytes)
{
    if (bytes.isEmpty()) {
        clear();
        return true;
    }
    const int length = quint8(bytes.at(0));
    if (length == 0 || length > bytes.size() - 1)
        return false;
    const QString kind = QString::fromLatin1(bytes.mid(1, length));
    const QByteArray data = bytes.mid(1 + length);
    // A bitmap states its own length, which must lie within the data.
    if (isBitmapKind(kind)) {
        if (data.size() < 4)
            return false;
        const quint32 size = qFromLittleEndian<quint32>(data.constData());
        if (size > quint32(data.size() - 4))
            return false;
    }
    return setGraphic(kind, data);
}

void ReportPicture::writeDefinedProperties(std::vector<StreamProperty> &properties) const
{
    if (isEmpty())
        return;
    StreamValue value;
    value.kind = StreamValue::Kind::Binary;
    value.bytes = streamData();
    properties.push_back({QStringLiteral("Data"), value});
}

bool ReportPicture::readDefinedProperty(const QString &name, const StreamValue &value, bool &ok)
{
    if (name.compare(u"Data", Qt::CaseInsensitive) != 0)
        return false;
    ok = value.kind == StreamValue::Kind::Binary && setStreamData(value.bytes);
    return true;
}

// ---------------------------------------------------------------- elements

TRpShape::TRpShape(QObject *parent)
    : TRpPrintable(parent), m_pen(new ReportPen(this)), m_brush(new ReportBrush(this))
{
    setInitialPixelSize(65, 65);
}

TRpImage::TRpImage(QObject *parent) : TRpPrintable(parent), m_picture(new ReportPicture(this))
{
    setInitialPixelSize(105, 105);
}

TRpDBImage::TRpDBImage(QObject *parent) : TRpPrintable(parent)
{
    setInitialPixelSize(105, 105);
}
