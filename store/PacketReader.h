#pragma once

#include "store/RecordStore.h"

#include <QByteArray>
#include <QString>
#include <memory>

// Decodes a whole table packet into a new record store. Every size, count and offset is checked against the
// bytes present before it is used; a damaged packet throws EStoreError (InvalidPacket, or NoMetadata for a
// packet without metadata) with a message naming `sourceName` and the problem.
namespace PacketReader {

// True when the packet starts with a binary packet header (otherwise it is read as XML).
bool isBinary(const QByteArray &packet);
std::unique_ptr<IRecordStore> load(const QByteArray &packet, const QString &sourceName);

} // namespace PacketReader
