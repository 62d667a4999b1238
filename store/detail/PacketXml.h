#pragma once

#include "store/detail/MemRecordStore.h"

#include <QByteArray>
#include <QString>
#include <memory>

// The XML form of a table packet.
namespace PacketXml {

// Throws EStoreError(NotAllowed) with a message, and returns nothing, for a table the XML form cannot carry
// (a control character XML 1.0 cannot hold, a value that is not finite, a column type without an XML name).
QByteArray write(const MemRecordStore &store);
std::unique_ptr<IRecordStore> read(const QByteArray &packet, const QString &sourceName);

} // namespace PacketXml
