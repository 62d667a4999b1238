// Page files come from disk: the reader checks the header and the whole record chain, then every page it
// accepted must read back or fail with the program's own error.
#include "report/pages/Compress.h"
#include "report/pages/PageStore.h"

#include <QBuffer>
#include <QPicture>
#include <cstdint>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    auto stream = TRpStream::forRecording(std::numeric_limits<qint64>::max());
    stream->write(reinterpret_cast<const char *>(data), qint64(size));
    try {
        const PageFileHeader header = TRpPageList::validate(*stream);
        TRpPageList list;
        list.adopt(std::move(stream), header);
        for (int n = header.pageCount; n >= 1 && n > header.pageCount - 8; --n) {
            try {
                QByteArray bytes = list.ReadPageData(n);
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::ReadOnly);
                QPicture picture;
                picture.load(&buffer);
            } catch (const Exception &) { }
        }
        list.ReadPageData(1);
    } catch (const Exception &) { }
    return 0;
}
