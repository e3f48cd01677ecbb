// Fuzzes every read operation of the byte stream on arbitrary bytes. The first byte picks
// a run of operations, the rest is the stream.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/data/qStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    zol::qStream s;
    s.SetData(data + 1, size - 1);
    unsigned op = data[0];
    for (int step = 0; step < 64 && !s.Failed(); ++step, op = op * 5 + 3) {
        const size_t before = s.Remaining();
        switch (op % 17) {
            case 0: { uint8_t v; s.ReadByte(v); break; }
            case 1: { bool v; s.ReadBool(v); break; }
            case 2: { int32_t v; s.ReadLong(v); break; }
            case 3: { double v; s.ReadDate(v); break; }
            case 4: { int16_t v; s.ReadInteger(v); break; }
            case 5: { float v; s.ReadSingle(v); break; }
            case 6: { double v; s.ReadDouble(v); break; }
            case 7: { std::string v; s.ReadString(v); break; }
            case 8: { std::string v; s.ReadStringU(v); break; }
            case 9: { std::vector<uint8_t> v; s.ReadArray(v); break; }
            case 10: { zol::qStream v; s.ReadStream(v); break; }
            case 11: { zol::Array2D<uint8_t> v; s.ReadArrayByte2D(v); break; }
            case 12: { zol::Array2D<int32_t> v; s.ReadArrayLong2D(v); break; }
            case 13: { zol::Array2D<int16_t> v; s.ReadArrayInteger2D(v); break; }
            case 14: { zol::qStream v; v.Import(s); break; }
            case 15: { zol::qStream v; v.Export(s); break; }  // appends; reading goes on
            default: { std::vector<uint8_t> v; s.GetData(v); break; }
        }
        if (op % 17 != 15 && s.Remaining() > before) std::abort();  // reads never go back
        if (s.Failed() && s.Remaining() != 0) std::abort();
    }
    return 0;
}
