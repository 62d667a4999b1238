#pragma once

#include "platform/Exceptions.h"

// Table errors. A message raised for a named table carries the table's name and ": " before its text.
class EDatabaseError : public Exception
{
public:
    using Exception::Exception;
};

// Status codes of the record store.
namespace StoreStatus {
constexpr int OutOfMemory = 0x2501;        // 9473
constexpr int DuplicateKey = 0x2601;       // 9729
constexpr int RequiredFieldNull = 0x2604;  // 9732
constexpr int ReadOnlyField = 0x2906;      // 10502
constexpr int NotAllowed = 0x2A04;         // 10756
constexpr int ReadOnlyStore = 0x2A0B;      // 10763
constexpr int NoMetadata = 0x4003;         // 16387
constexpr int InvalidPacket = 0x4005;      // 16389
} // namespace StoreStatus

// An error of the record store itself: a rejection in insert, modify or delete, or a packet it cannot decode.
// The store has no texts of its own, so rejections carry an empty message; a damaged file carries a message
// naming the file and the problem beside the status code.
class EStoreError : public EDatabaseError
{
public:
    explicit EStoreError(int statusCode, const QString &message = QString())
        : EDatabaseError(message), m_statusCode(statusCode)
    {
    }
    int StatusCode() const noexcept { return m_statusCode; }

private:
    int m_statusCode;
};
