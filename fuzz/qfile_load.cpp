// Fuzzes the chunk file's payload reader, and the objects made from the chunks it reads.
#include <cstdint>
#include <cstdlib>

#include "framework/data/qFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zol::qFile f;
    f.Tag = 1;
    f.AddChunk("keep", "k", std::make_shared<zol::qStream>());
    zol::qStream s;
    s.SetData(data, size);
    if (!f.LoadPayload(s)) {
        // A damaged payload keeps what was there.
        if (f.GetChunkCount() != 1 || f.Tag != 1 || f.FindChunk("k") != 1) std::abort();
        return 0;
    }
    f.CreateInstances();
    f.UpdateInstanceStreams();
    for (int32_t i = 1; i <= f.GetChunkCount(); ++i) {
        auto a = f.LoadObject("x");
        (void)a;
        if (!f.GetChunkData(i)) std::abort();
    }
    return 0;
}
