// Feeds arbitrary bytes to the table packet reader (binary and XML); whatever loads must write back in both
// forms. Only the program's own exceptions are expected; anything else is a fault.
#include "store/RecordStore.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray packet(reinterpret_cast<const char *>(data), qsizetype(size));
    std::unique_ptr<IRecordStore> store;
    try {
        store = IRecordStore::fromPacket(packet, QStringLiteral("fuzz.dat"));
    } catch (const Exception &) {
        return 0;
    }
    const QByteArray binary = store->toPacket(PacketForm::Binary);
    try {
        IRecordStore::fromPacket(binary, QStringLiteral("again.dat"));
    } catch (const Exception &) {
        __builtin_trap(); // what the writer writes must read back
    }
    try {
        store->toPacket(PacketForm::Xml);
    } catch (const Exception &) {
        // Tables the XML form cannot carry (control characters, odd types) are refused cleanly.
    }
    // Walk a sorted view too: the sort must cope with whatever values came in.
    auto cursor = store->createCursor();
    if (!store->columns().empty()) {
        cursor->setSortColumns({ 0 });
        while (cursor->moveBy(1) == 1) { }
    }
    return 0;
}
