// The page decoder gets code bits from files: it must stop at the end of the code and never write past the
// declared size. Whatever it decodes must code and decode back to itself.
#include "report/pages/Compress.h"

#include <QtEndian>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    const qint32 count = qFromLittleEndian<qint32>(data);
    const char *code = reinterpret_cast<const char *>(data + 4);
    const auto codeSize = qsizetype(size - 4);
    try {
        const QByteArray plain = TRpCompress::decompress(code, codeSize, count);
        const QByteArray again = TRpCompress::compress(plain);
        if (TRpCompress::decompress(again.constData(), again.size(), plain.size()) != plain)
            std::abort();
    } catch (const ECompressError &) { }
    return 0;
}
