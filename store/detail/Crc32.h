#pragma once

#include <QtGlobal>

// CRC-32 (the polynomial of zip and Ethernet), eight bytes per step. Guards the records of the change journal
// against torn and damaged writes.
namespace Crc32 {

quint32 of(const char *bytes, qint64 length, quint32 crc = 0);

} // namespace Crc32
