// Feeds arbitrary bytes to the whole set-file read, the part of Open that reads
// and checks a file into records before any widget is touched.
#include "annotation/setfile.h"
#include "annotation/treaderror.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        const setfile::Contents contents = setfile::read(buffer);
        // A set read whole always has its twelve slots.
        if (contents.images.size() != setfile::slotCount
            || contents.records.size() != setfile::slotCount)
            __builtin_trap();
        // The palm loader and editor index the flags by slot.
        for (const TGlyphRecord& r : contents.records)
            if (r.present.size() != TGlyphRecord::triradiusSlots
                || r.determined.size() != TGlyphRecord::triradiusSlots)
                __builtin_trap();
    } catch (const TReadError& e) {
        // Every refusal carries a text for the user.
        if (e.message().isEmpty())
            __builtin_trap();
    }
    return 0;
}
