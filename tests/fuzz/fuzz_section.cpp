// Feeds arbitrary bytes to the section reader, as a damaged or foreign set file
// would reach it once the image list has been read.
#include "annotation/tglyphrecord.h"
#include "annotation/treaderror.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    QXmlStreamReader xml(bytes);
    // Sections follow one another in a set file; keep reading while they come.
    for (int i = 0; i < 4; ++i) {
        TGlyphRecord record;
        try {
            if (!record.read(xml))
                break;
        } catch (const TReadError&) {
            break;
        }
        // The palm loader and editor index the flags by slot.
        if (record.present.size() != TGlyphRecord::triradiusSlots
            || record.determined.size() != TGlyphRecord::triradiusSlots)
            __builtin_trap();
        // What the loaders ask of a record.
        for (int k = -1; k <= record.cores.size(); ++k)
            record.ridgeLines(k);
        for (int k = -1; k <= record.triradia.size(); ++k)
            record.triradiusRidgeLines(k);
        record.setting(QStringLiteral("rotation"));
    }
    return 0;
}
