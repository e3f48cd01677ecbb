#include <gtest/gtest.h>

#include <random>

#include "framework/sound/MidiFileInfo.h"
#include "SoundTestFiles.h"

namespace zol {
namespace {

using testfiles::MidiWriter;

bool Read(const std::vector<uint8_t>& bytes, MidiFileInfo& info, std::string& error) {
    return ReadMidiFileInfo(bytes.data(), bytes.size(), info, error);
}

TEST(MidiFileInfo, ReadsDivisionAndTheLatestTrackEnd) {
    MidiWriter w(96);
    w.Track().Add(0, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}).End(10);
    w.Track().Program(0, 5).Note(0, 96, 60).Add(100, {0xF0, 0x02, 0x7E, 0xF7}).Note(192, 96, 64).End(400);
    w.Track().Note(0, 50, 40).End(300);
    MidiFileInfo info;
    std::string error;
    ASSERT_TRUE(Read(w.Bytes(), info, error)) << error;
    EXPECT_EQ(info.Format, 1);
    EXPECT_EQ(info.Tracks, 3);
    EXPECT_EQ(info.Division, 96);
    EXPECT_EQ(info.LengthTicks, 400);

    // Running status (a second note-on without its status byte) and a track that ends
    // without an end-of-track event, followed by an unknown chunk that is skipped.
    std::vector<uint8_t> bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0};
    for (char c : std::string("XTRA")) bytes.push_back(static_cast<uint8_t>(c));
    bytes.insert(bytes.end(), {0, 0, 0, 2, 9, 9});
    for (char c : std::string("MTrk")) bytes.push_back(static_cast<uint8_t>(c));
    // delta 0, note-on; delta 480 (0x83 0x60), a note-on in running status.
    bytes.insert(bytes.end(), {0, 0, 0, 8, 0x00, 0x90, 60, 100, 0x83, 0x60, 62, 100});
    ASSERT_TRUE(Read(bytes, info, error)) << error;
    EXPECT_EQ(info.Format, 0);
    EXPECT_EQ(info.Division, 480);
    EXPECT_EQ(info.LengthTicks, 480);
}

TEST(MidiFileInfo, ConvertsBetweenMusicTimeAndFileTicksHalfToEven) {
    EXPECT_EQ(MusicTimeToFileTicks(110600, 768), 110600);
    EXPECT_EQ(MusicTimeToFileTicks(110600, 96), 13825);
    EXPECT_EQ(MusicTimeToFileTicks(110600, 480), 69125);
    EXPECT_EQ(FileTicksToMusicTime(13825, 96), 110600);
    EXPECT_EQ(MusicTimeToFileTicks(384, 1), 0);   // 0.5
    EXPECT_EQ(MusicTimeToFileTicks(1152, 1), 2);  // 1.5
    EXPECT_EQ(FileTicksToMusicTime(2147483647, 1), 2147483647);  // saturates
    EXPECT_EQ(MusicTimeToFileTicks(768, 0), 0);
}

TEST(MidiFileInfo, RejectsDamagedAndUnsupportedFilesWithAReason) {
    const std::vector<uint8_t> good = MidiWriter(96, 0).Note(0, 96, 60).End(96).Bytes();
    auto with = [&](size_t at, uint8_t value, size_t at2 = 0, uint8_t value2 = 0) {
        auto b = good;
        b[at] = value;
        if (at2 != 0) b[at2] = value2;
        return b;
    };
    const std::vector<std::vector<uint8_t>> bad = {
        {},
        {'M', 'T', 'h', 'd'},
        {'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96},
        with(7, 5),            // header shorter than six bytes
        with(9, 3),            // format 3
        with(12, 0xE7),        // SMPTE division
        with(12, 0, 13, 0),    // division 0
        with(11, 0),           // no tracks
        with(11, 2),           // a second track that is not there
        with(21, 0xFF),        // track length past the end of the file
        with(23, 0x40),        // data byte without a status
        with(23, 0xF2),        // system message inside a track
        with(24, 0x90),        // status byte inside a channel event
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        MidiFileInfo info;
        std::string error;
        EXPECT_FALSE(Read(bad[i], info, error)) << "case " << i;
        EXPECT_FALSE(error.empty()) << "case " << i;
        EXPECT_EQ(info.Division, 0) << "case " << i;
    }
    MidiFileInfo info;
    std::string error;
    EXPECT_FALSE(ReadMidiFileInfo(nullptr, 100, info, error));

    // A variable-length time of five bytes is damage, not a huge number.
    std::vector<uint8_t> longVar{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k',
                                 0, 0, 0, 8, 0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 1};
    EXPECT_FALSE(Read(longVar, info, error));
    EXPECT_NE(error.find("time"), std::string::npos);

    // Times that add up past what a song can last are refused, not wrapped around.
    MidiWriter huge(96, 0);
    for (uint32_t k = 1; k <= 9; ++k) huge.Add(k * 0x0FFFFFFFu, {0xFF, 0x01, 0x00});
    EXPECT_FALSE(Read(huge.Bytes(), info, error));
    EXPECT_NE(error.find("too long"), std::string::npos);
}

TEST(MidiFileInfo, EveryTruncationAndRandomDamageFailsSafely) {
    MidiWriter w(384);
    w.Track().Program(0, 1);
    for (uint32_t i = 0; i < 16; ++i) w.Note(i * 192, 180, static_cast<uint8_t>(50 + i));
    w.Add(1000, {0xFF, 0x01, 0x05, 'h', 'e', 'l', 'l', 'o'}).End(3100);
    const auto good = w.Bytes();
    MidiFileInfo info;
    std::string error;
    ASSERT_TRUE(Read(good, info, error));
    // Every prefix ends inside the header or the track's chunk: none is a whole file.
    for (size_t n = 0; n < good.size(); ++n) {
        std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(Read(part, info, error)) << "prefix " << n;
    }
    // Flipped bytes either still read or fail; the length stays within the Long range.
    std::mt19937 rng(7);
    for (int round = 0; round < 2000; ++round) {
        auto b = good;
        for (int k = 0; k < 3; ++k) b[rng() % b.size()] = static_cast<uint8_t>(rng());
        if (Read(b, info, error)) {
            EXPECT_GE(info.LengthTicks, 0);
            EXPECT_GT(info.Division, 0);
        }
    }
}

}  // namespace
}  // namespace zol
