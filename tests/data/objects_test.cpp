#include <gtest/gtest.h>

#include "TempDir.h"
#include "framework/data/qCamera.h"
#include "framework/data/qClassFactory.h"
#include "framework/data/qFile.h"
#include "framework/data/qValues.h"
#include "framework/graphics/qDDraw.h"

namespace zol {
namespace {

using V = std::vector<uint8_t>;

V Bytes(const qStream& s) {
    V out;
    s.GetData(out);
    return out;
}

TEST(Values, LookupTemplatesListsAndFormatting) {
    qValues v, tmpl;
    tmpl.GUID = "base";
    v.SetLong("a", 5);
    v.SetLong("a", 0);  // zero removes the entry
    EXPECT_EQ(v.GetLong("a", 7), 7);
    tmpl.SetLong("a", 9);
    v.SetTemplate(&tmpl);
    EXPECT_EQ(v.TemplateGUID, "base");
    EXPECT_EQ(v.GetLong("a", 7), 9);
    v.SetDefaultLong("b", 3);
    v.SetDefaultLong("b", 4);
    EXPECT_EQ(v.LongValue("b"), 3);
    // A loop of templates ends instead of recursing for ever.
    qValues x, y;
    x.Template = &y;
    y.Template = &x;
    EXPECT_EQ(x.GetSingle("nowhere", 1.5f), 1.5f);

    // Lists come newest first and return the last index; an empty table gives -1.
    qValues r;
    for (const char* n : {"a", "b", "c"}) r.SetByte(n, 1);
    r.SetByte("a", 0);
    std::vector<std::string> names{"untouched"};
    EXPECT_EQ(r.GetByteList(names), 1);
    EXPECT_EQ(names, (std::vector<std::string>{"c", "b"}));
    EXPECT_EQ(qValues().GetLongList(names), -1);
    EXPECT_EQ(names.size(), 2u);
    for (int i = 0; i < 300; ++i) r.SetByte("n" + std::to_string(i), 1);
    EXPECT_EQ(r.GetByteList(names), 301);
    EXPECT_EQ(HashName("A"), 532481);
    EXPECT_EQ(HashName(""), 0);

    qValues f;
    f.SetLong("a", 1);
    f.SetString("b", "x");
    f.SetSingle("s", 0.1f);
    EXPECT_EQ(f.FormatText("[a]-[b]-[a]-[s]-[zz]"), "1-x-1-0.1-[zz]");
    EXPECT_EQ(f.FormatText("[A][B]"), "[A][B]");
    f.CompareMode = 1;
    EXPECT_EQ(f.FormatText("[A][B]"), "1x");
    qValues s;
    for (const char* n : {"delta", "alpha", "echo", "charlie", "bravo", "alpha2"}) s.SetLong(n, 1);
    s.SortNames();
    s.GetLongList(names);
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "alpha2", "bravo", "charlie", "delta", "echo"}));
    EXPECT_EQ(s.GetLong("charlie", 0), 1);
}

TEST(Values, CaseBlindNamesDifferOnlyInCase) {
    qValues v;
    v.CompareMode = 1;
    v.SetString("Name", "x");
    v.SetString("NAME", "y");  // the same entry, which keeps its first spelling
    v.SetLong("\xC3\x84rger", 2);  // Ärger
    EXPECT_EQ(v.GetLong("\xC3\xA4RGER", 0), 2);
    // Names outside Windows-1252 or with a "?" are entries of their own.
    v.SetLong("\xE6\x97\xA5", 1);  // 日
    v.SetLong("\xE6\x9C\xAC", 2);  // 本
    v.SetLong("a?", 3);
    v.SetLong("a\xCE\xA9", 4);  // a, capital omega
    std::vector<std::string> names;
    EXPECT_EQ(v.GetStringList(names), 0);
    EXPECT_EQ(v.GetLongList(names), 4);
    EXPECT_EQ(v.GetLong("\xE6\x97\xA5", 0), 1);
    EXPECT_EQ(v.GetLong("A\xCF\x89", 0), 4);  // A, small omega
    EXPECT_EQ(v.GetLong("A?", 0), 3);
    v.SetString("\xD0\x96\xD0\xB0\xD1\x80", "hot");  // Жар
    v.SetString("\xC3\xA9t\xC3\xA9", "summer");      // été
    EXPECT_EQ(v.FormatText("[\xC3\x89T\xC3\x89] [a\xCF\x89] [\xD0\xB6\xD0\x90\xD0\xA0]"),
              "summer 4 hot");
    // Names given as 16-bit units, a lone surrogate included, keep every unit.
    const std::u16string odd{u'k', 0xD800};
    v.SetString(odd, u"v");
    EXPECT_EQ(v.GetString(std::u16string{u'K', 0xD800}, u""), u"v");
    EXPECT_EQ(v.GetString(std::u16string{u'k', 0xDC00}, u""), u"");
    v.CompareMode = 0;
    EXPECT_EQ(v.GetString("name", "none"), "none");
    EXPECT_EQ(v.GetString("Name", "none"), "y");
}

TEST(Values, ExportImportAndDamagedStreams) {
    qStream e;
    qValues().Export(e);
    EXPECT_EQ(Bytes(e), V(12, 0));

    qValues v;
    v.SetString("s", "text");
    v.SetByte("b", 200);
    v.SetLong("l", -7);
    v.SetSingle("f", 2.5f);
    v.TemplateGUID = "t";
    qStream st;
    v.Export(st);
    qValues w;
    w.Import(st);
    EXPECT_EQ(w.GetString("s", ""), "text");
    EXPECT_EQ(w.GetByte("b", 0), 200);
    EXPECT_EQ(w.GetLong("l", 0), -7);
    EXPECT_EQ(w.GetSingle("f", 0), 2.5f);
    EXPECT_EQ(w.TemplateGUID, "t");
    EXPECT_FALSE(st.Failed());

    // Every truncation of that form, and a huge count, leave the tables as they were.
    const V full = Bytes(st);
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        qStream part;
        part.SetData(cut < full.size() ? V(full.begin(), full.begin() + static_cast<long>(cut))
                                       : V{0xFF, 0x7F, 1, 0, 0, 0});
        qValues keep;
        keep.SetLong("old", 1);
        keep.Import(part);
        EXPECT_TRUE(part.Failed()) << cut;
        EXPECT_EQ(keep.GetLong("old", 0), 1) << cut;
        EXPECT_EQ(keep.GetString("s", ""), "") << cut;
    }
}

TEST(Camera, GlideSizeAndPersistence) {
    ScreenScale = 1.0f;
    qCamera c;
    c.SetSize(640, 480);
    c.SetPosition(1000, 1000);
    EXPECT_EQ(c.X, 680);
    EXPECT_EQ(c.Y, 760);

    // A tenth of the way per update, at least 1 and at most 16 pixels, never past the aim.
    const struct {
        float TargetX, Smoothness;
        std::vector<float> Xs;
    } glides[] = {
        {100, 10, {10, 19, 27.1f}},
        {1000, 10, {16, 32}},
        {5, 10, {1, 2, 3, 4, 5, 5}},
        {50, 0, {0}},
    };
    for (const auto& g : glides) {
        qCamera cam;
        cam.Centered = false;
        cam.Smoothness = g.Smoothness;
        cam.SetTarget(g.TargetX, -g.TargetX);
        for (float x : g.Xs) {
            cam.Update();
            EXPECT_EQ(cam.X, x) << g.TargetX;
            EXPECT_EQ(cam.Y, -x) << g.TargetX;
        }
    }

    c.GUID = "cam";
    c.Centered = false;
    c.Smoothness = 4;
    qStream s;
    c.Export(s);
    EXPECT_EQ(s.GetLength(), 36);
    qCamera d;
    d.Import(s);
    EXPECT_EQ(d.X, 680);
    EXPECT_EQ(d.Width, 640);
    EXPECT_EQ(d.PixelHeight, 480);
    EXPECT_EQ(d.TargetY, 1000);
    EXPECT_EQ(d.Smoothness, 4);
    EXPECT_TRUE(d.Centered);
    EXPECT_EQ(d.GUID, "");
    const V whole = Bytes(s);
    qStream cut;
    cut.SetData(V(whole.begin(), whole.begin() + 32));
    qCamera e;
    e.Import(cut);
    EXPECT_EQ(e.X, 0.0f);  // a truncated form changes nothing
    EXPECT_EQ(e.Smoothness, qCamera().Smoothness);
}

TEST(ChunkFile, WhatWouldNotReadBackIsNotWritten) {
    test::TempDir dir;
    const std::string path = dir.File("kept.qrt");
    qValues big;
    big.GUID = "settings";
    big.SetString("text", std::string(70000, 'x'));
    qFile f;
    auto old = std::make_shared<qStream>();
    old->WriteLong(1);
    f.AddChunk("qValues", "settings", old);
    EXPECT_FALSE(f.SaveObject(big));
    EXPECT_EQ(f.GetChunkData(1), old);  // the chunk keeps its data
    ASSERT_TRUE(f.Save(path, false, ""));
    const V before = test::ReadAll(path);

    // A name or a chunk too long to read back refuses the whole file and keeps the one on disk.
    f.AddChunk("qValues", std::string(70000, 'g'), std::make_shared<qStream>());
    EXPECT_FALSE(f.Save(path, true, ""));
    EXPECT_EQ(test::ReadAll(path), before);
    f.RemoveChunkIndex(2);
    auto refused = std::make_shared<qStream>();
    refused->WriteString(std::string(65537, 's'));
    f.AddChunk("raw", "r", refused);
    EXPECT_FALSE(f.Save(path, false, ""));
    EXPECT_EQ(test::ReadAll(path), before);
    f.RemoveChunk("r");

    // A live object whose export is refused keeps the chunk's last data.
    auto live = std::make_shared<qValues>();
    live->SetString("s", std::string(65536, 'x'));  // the longest string that reads back
    f.AddInstance(live, "live");
    EXPECT_TRUE(f.UpdateInstanceStreams());
    const auto data = f.GetChunkData(2);
    live->SetString("s", std::string(65537, 'x'));
    EXPECT_FALSE(f.UpdateInstanceStreams());
    EXPECT_EQ(f.GetChunkData(2), data);
    ASSERT_TRUE(f.Save(path, true, ""));
    qFile g;
    ASSERT_TRUE(g.Load(path, ""));
    auto back = std::dynamic_pointer_cast<qValues>(g.LoadObject("live"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->GetString("s", "").size(), 65536u);

    // A chunk whose data does not import gives no object, not a half-filled one.
    auto cut = std::make_shared<qStream>();
    cut->WriteInteger(0);
    cut->WriteInteger(0);
    cut->WriteInteger(1);
    cut->WriteString("volume");  // its value and the rest are missing
    g.AddChunk("qValues", "cut", cut);
    EXPECT_EQ(g.LoadObject("cut"), nullptr);
}

TEST(ChunkFile, ChunksObjectsAndFiles) {
    test::TempDir dir;
    qFile f;
    f.Tag = 77;
    auto s1 = std::make_shared<qStream>();
    s1->WriteLong(1);
    EXPECT_EQ(f.AddChunk("raw", "g1", s1), 1);
    EXPECT_EQ(f.AddChunk("raw", "g2", std::make_shared<qStream>()), 2);
    EXPECT_EQ(f.AddChunk("other", "g1", s1), 1);  // replaced in place
    EXPECT_EQ(f.GetChunkCount(), 2);
    EXPECT_EQ(f.FindChunk("G1"), 0);

    qValues vals;
    vals.GUID = "v";
    vals.SetLong("n", 12);
    f.SaveObject(vals);
    EXPECT_EQ(f.FindChunkClassName("qValues"), 3);
    auto once = std::dynamic_pointer_cast<qValues>(f.LoadObject("v"));
    auto twice = std::dynamic_pointer_cast<qValues>(f.LoadObject("v"));
    ASSERT_TRUE(once && twice);
    EXPECT_EQ(twice->GetLong("n", 0), 12);  // each load reads from the start
    EXPECT_EQ(once->GUID, "v");
    EXPECT_EQ(f.LoadObject("g1"), nullptr);  // class "other" is not known to the factory
    EXPECT_EQ(CreateClassInstance("qcamera"), nullptr);

    // A live object without a stream yet is saved as an empty stream.
    auto cam = std::make_shared<qCamera>();
    EXPECT_EQ(f.AddInstance(cam, "c"), 4);
    EXPECT_EQ(cam->GUID, "c");
    const std::string path = dir.File("chunks.qrt");
    ASSERT_TRUE(f.Save(path, true, "pw"));

    qFile g;
    ASSERT_TRUE(g.Load(path, "pw"));
    EXPECT_EQ(g.Tag, 77);
    EXPECT_EQ(g.FileName, path);
    ASSERT_EQ(g.GetChunkCount(), 4);
    std::string cls, guid;
    int32_t flags = -1, size = -1;
    ASSERT_TRUE(g.GetChunkInfo(4, cls, guid, flags, size));
    EXPECT_EQ(cls, "qCamera");
    EXPECT_EQ(size, 0);
    EXPECT_FALSE(g.GetChunkInfo(5, cls, guid, flags, size));
    g.CreateInstances();
    EXPECT_EQ(std::dynamic_pointer_cast<qValues>(g.GetChunkInstance(3))->GetLong("n", 0), 12);
    EXPECT_EQ(g.GetChunkInstance(4), nullptr);  // its empty data makes no camera

    cam->SetTarget(3, 4);
    f.UpdateInstanceStreams();
    EXPECT_EQ(f.GetChunkData(4)->GetLength(), 36);

    g.RemoveChunkIndex(2);
    g.GetChunkInfo(2, cls, guid, flags, size);
    EXPECT_EQ(guid, "v");
    g.SwapChunks(1, 3);
    g.SwapChunks(1, 9);
    EXPECT_EQ(g.FindChunk("c"), 1);
    g.RemoveChunk("absent");
    EXPECT_EQ(g.GetChunkCount(), 3);

    // Failed loads report failure and keep the chunks: a missing file, a wrong password,
    // and sound stream files whose payload does not decode (a count past the data, a
    // chunk's stream of 50 bytes that are not there).
    EXPECT_FALSE(g.Load(dir.File("missing"), ""));
    EXPECT_FALSE(g.Load(path, "wrong"));
    qStream counted, cut;
    for (int32_t n : {1, 1000000, 0}) counted.WriteLong(n);
    cut.WriteLong(1);
    cut.WriteLong(1);
    cut.WriteString("qValues");
    cut.WriteString("x");
    for (int32_t n : {0, 50, 50}) cut.WriteLong(n);
    for (qStream* bad : {&counted, &cut}) {
        ASSERT_TRUE(bad->FileExport(dir.File("bad.qrt"), false, ""));
        EXPECT_FALSE(g.Load(dir.File("bad.qrt"), ""));
    }
    EXPECT_EQ(g.GetChunkCount(), 3);
    EXPECT_EQ(g.Tag, 77);

    qFile emptyFile;
    emptyFile.Tag = 5;
    ASSERT_TRUE(emptyFile.Save(path, false, ""));
    const V raw = test::ReadAll(path);
    ASSERT_EQ(raw.size(), 24u + 8u);
    EXPECT_EQ(test::LongAt(raw, 24), 5);
    EXPECT_EQ(test::LongAt(raw, 28), 0);
}

}  // namespace
}  // namespace zol
