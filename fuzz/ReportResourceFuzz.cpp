// Feeds arbitrary bytes to the resource-form reader and, when a block reads, through the report objects.
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
        tree = readObjectResource(bytes);
    } catch (const EStreamError &) {
        return 0;
    }
    try {
        // Names in the binary form are not checked on reading; writing refuses what would not read back.
        const QByteArray resource = writeObjectResource(tree);
        const StreamObject again = readObjectResource(resource);
        if (writeObjectResource(again) != resource)
            std::abort();
        const std::unique_ptr<QObject> root = createFromStream(tree);
        const QByteArray first = writeComponentResource(root.get());
        if (writeComponentResource(readComponent(first).get()) != first)
            std::abort();
    } catch (const EStreamError &) {
    }
    return 0;
}
