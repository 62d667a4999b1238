// Feeds arbitrary bytes to the text-notation reader and, when a block reads, through the report objects.
// Whatever reads must write, and what the program writes must read back to the same text.
#include "report/streaming/ReportRegistry.h"
#include "report/streaming/StreamObjects.h"
#include "report/notation/StreamTree.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    registerAll();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    StreamObject tree;
    try {
        tree = readObjectText(bytes);
    } catch (const EStreamError &) {
        return 0;
    }
    // A tree read from text always writes, and the written text reads and writes again unchanged.
    const QByteArray text = writeObjectText(tree);
    if (writeObjectText(readObjectText(text)) != text)
        std::abort();
    try {
        const std::unique_ptr<QObject> root = createFromStream(tree);
        const QByteArray first = writeComponentText(root.get());
        const QByteArray second = writeComponentText(readComponent(first).get());
        if (first != second)
            std::abort();
    } catch (const EStreamError &) {
    }
    return 0;
}
