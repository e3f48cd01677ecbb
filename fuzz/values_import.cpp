// Fuzzes the named-value table's reader and what runs on the tables it reads.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/data/qStream.h"
#include "framework/data/qValues.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    zol::qValues v;
    v.SetLong("old", 1);
    zol::qStream s;
    s.SetData(data, size);
    v.Import(s);
    if (s.Failed() && v.GetLong("old", 0) != 1) std::abort();  // failure keeps the tables
    v.CompareMode = size % 2;
    std::vector<std::string> names;
    v.GetStringList(names);
    v.GetByteList(names);
    v.GetLongList(names);
    v.GetSingleList(names);
    v.SortNames();
    v.FormatText("[a] [b] [" + (names.empty() ? std::string("x") : names[0]) + "]");
    v.SetLong("z", 0);
    // What was read exports and reads back without failing.
    zol::qStream out;
    v.Export(out);
    zol::qValues w;
    w.Import(out);
    if (out.Failed()) std::abort();
    return 0;
}
