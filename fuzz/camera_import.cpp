// Fuzzes the camera's reader and a few glide steps from whatever it read.
#include <cstdint>
#include <cstdlib>

#include "framework/data/qCamera.h"
#include "framework/data/qStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zol::qCamera c;
    zol::qStream s;
    s.SetData(data, size);
    c.Import(s);
    if (size < 36 && (c.X != 0 || c.Width != 0 || c.Smoothness != 10)) std::abort();
    for (int i = 0; i < 8; ++i) c.Update();
    c.SetSize(c.PixelWidth, c.PixelHeight);
    return 0;
}
