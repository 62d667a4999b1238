#include "store/detail/PacketXml.h"

namespace PacketXml {

QByteArray write(const MemRecordStore &)
{
    throw EStoreError(StoreStatus::NotAllowed, QStringLiteral("XML table files are not supported yet"));
}

std::unique_ptr<IRecordStore> read(const QByteArray &, const QString &sourceName)
{
    throw EStoreError(StoreStatus::InvalidPacket,
                      QStringLiteral("%1 is not a valid table file: it is not a table packet").arg(sourceName));
}

} // namespace PacketXml
