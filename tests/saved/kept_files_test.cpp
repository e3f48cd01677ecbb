// The score table and the settings kept in files: their order and merging, what a damaged
// file of any kind does, two copies of the game writing at once, and a writer killed at
// any point of a write.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "app/SavedStore.h"
#include "data/TempDir.h"
#include "framework/data/qStream.h"
#include "framework/data/qStreamFile.h"
#include "platform/SaveFiles.h"

namespace zol::test {
namespace {

namespace fs = std::filesystem;

ScoreEntry Result(int32_t score, double date = 45000.5, const std::string& name = "Ann") {
    return {name, score, 1 + score / 100, 2, 1, 900 + score, date, "ABC-" + std::to_string(score)};
}

app::SavePaths PathsIn(const TempDir& dir) {
    return {dir.Folder() + "data/zol/scores", dir.Folder() + "config/zol/settings"};
}

TEST(ScoreTable, OrdersKeepsTheBestHundredReplacesAndMergesAlike) {
    ScoreList t;
    InsertResult(t, Result(50, 45001));
    InsertResult(t, Result(70));
    InsertResult(t, Result(50, 45000));  // the same score, earlier: ranks above
    InsertResult(t, Result(70));         // a result is kept once
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].Score, 70);
    EXPECT_EQ(t[1].Date, 45000);
    EXPECT_EQ(PlaceOf(t, Result(50, 45001)), 3u);
    EXPECT_EQ(PlaceOf(t, Result(1)), 0u);

    // A result recorded again under another name takes its own place.
    ScoreEntry renamed = Result(70, 45000.5, "Bob");
    const ScoreEntry old = Result(70);
    InsertResult(t, renamed, &old);
    EXPECT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].Name, "Bob");

    // Merging is order-independent and keeps the best 100.
    ScoreList a, b;
    for (int i = 0; i < 80; ++i) InsertResult(a, Result(i * 2));
    for (int i = 0; i < 80; ++i) InsertResult(b, Result(i * 2 + 1));
    ScoreList ab = a, ba = b;
    MergeResults(ab, b);
    MergeResults(ba, a);
    EXPECT_EQ(ab, ba);
    ASSERT_EQ(ab.size(), kMaxScores);
    EXPECT_EQ(ab.front().Score, 159);
    EXPECT_EQ(ab.back().Score, 60);
}

TEST(ScoreTable, FilesReadBackAndEveryKindOfBadFileIsToldApart) {
    ScoreList t = {Result(1234, 45000.75, "Zoë 東京"), Result(5)};
    const std::vector<uint8_t> file = EncodeScores(t);
    ScoreList back;
    ASSERT_EQ(DecodeScores(file.data(), file.size(), back), FileVerdict::Read);
    EXPECT_EQ(back, t) << "UTF-8 names survive";
    // A name too long to read back is never written (it would lose the whole table).
    t.push_back(Result(9999, 45000, std::string(40000, 'x')));
    const std::vector<uint8_t> longer = EncodeScores(t);
    ASSERT_EQ(DecodeScores(longer.data(), longer.size(), back), FileVerdict::Read);
    EXPECT_EQ(back.size(), 2u);
    EXPECT_EQ(DateText(45000.75), "2023-03-15 18:00");

    const auto verdict = [](const std::vector<uint8_t>& f) {
        ScoreList out = {Result(1)};
        const FileVerdict v = DecodeScores(f.data(), f.size(), out);
        if (v != FileVerdict::Read) {
            EXPECT_EQ(out, ScoreList{Result(1)}) << "a refused file changes nothing";
        }
        return v;
    };
    EXPECT_EQ(verdict({}), FileVerdict::Damaged);
    for (size_t cut = 1; cut < file.size(); cut += 7)
        EXPECT_EQ(verdict({file.begin(), file.begin() + cut}), FileVerdict::Damaged) << cut;
    for (size_t at = 4; at < file.size(); ++at) {
        std::vector<uint8_t> flipped = file;
        flipped[at] ^= 0x20;
        EXPECT_EQ(verdict(flipped), FileVerdict::Damaged) << at;
    }
    EXPECT_EQ(verdict({0x89, 'P', 'N', 'G', '\r', '\n'}), FileVerdict::NotOurs);
    EXPECT_EQ(verdict(EncodeSettings({})), FileVerdict::NotOurs);
    // A well-made file of a newer version, and one whose checks pass but whose count lies.
    const auto framed = [](int32_t version, int32_t count) {
        qStream s;
        BeginKeptData(s, "ZOL SCORES", version);
        s.WriteLong(count);
        return FinishKeptFile(s);
    };
    EXPECT_EQ(verdict(framed(2, 0)), FileVerdict::Newer);
    EXPECT_EQ(verdict(framed(1, 1)), FileVerdict::Damaged);
    EXPECT_EQ(verdict(framed(1, 101)), FileVerdict::Damaged);
    EXPECT_EQ(verdict(framed(1, 0)), FileVerdict::Read);

    GameSettings s;
    s.Music = false;
    s.Scale = platform::ScaleMode::Fill;
    s.LastName = "Łukasz";
    const auto sf = EncodeSettings(s);
    GameSettings sb;
    ASSERT_EQ(DecodeSettings(sf.data(), sf.size(), sb), FileVerdict::Read);
    EXPECT_EQ(sb, s) << "unset values stay unset";
}

// The kinds of bad file a player may end up with.
std::vector<std::pair<std::string, std::vector<uint8_t>>> BadFiles() {
    const std::vector<uint8_t> good = EncodeScores({Result(10)});
    std::vector<uint8_t> flipped = good;
    flipped[good.size() / 2] ^= 1;
    qStream newer;
    BeginKeptData(newer, "ZOL SCORES", 99);
    return {{"empty", {}},
            {"truncated", {good.begin(), good.begin() + 30}},
            {"flipped", flipped},
            {"foreign", {'<', 'h', 't', 'm', 'l', '>'}},
            {"newer", FinishKeptFile(newer)}};
}

TEST(SavedStore, BadFilesAreSetAsideOnceAndTheGamePlaysOn) {
    for (const auto& [kind, bytes] : BadFiles()) {
        SCOPED_TRACE(kind);
        const TempDir dir;
        const app::SavePaths paths = PathsIn(dir);
        fs::create_directories(fs::path(paths.Scores).parent_path());
        fs::create_directories(fs::path(paths.Settings).parent_path());
        WriteAll(paths.Scores, bytes);
        WriteAll(paths.Settings, bytes);
        app::SavedStore store(paths);
        EXPECT_EQ(store.TakeNotices().size(), 2u);
        EXPECT_TRUE(store.TakeNotices().empty()) << "told once";
        EXPECT_EQ(ReadAll(paths.Scores + ".damaged"), bytes);
        EXPECT_EQ(ReadAll(paths.Settings + ".damaged"), bytes);
        EXPECT_TRUE(store.Results().empty());
        store.RecordResult(Result(20), nullptr);
        GameSettings quiet;
        quiet.Music = false;
        store.ChangeSettings(quiet);
        EXPECT_EQ(app::SavedStore(paths).Results(), ScoreList{Result(20)});
        EXPECT_EQ(app::SavedStore(paths).Settings().Music, false);
    }

    // A folder that cannot be made (a file stands in its place): told once, played on.
    const TempDir dir;
    WriteAll(dir.File("data"), {1});
    app::SavedStore store(PathsIn(dir));
    store.RecordResult(Result(1), nullptr);
    store.RecordResult(Result(2), nullptr);
    const auto notices = store.TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("without saving"), std::string::npos) << notices[0];
    EXPECT_EQ(store.Results().size(), 2u) << "the run keeps them in memory";
}

TEST(SavedStore, TwoProcessesRecordingAtOnceKeepBoth) {
    const TempDir dir;
    const app::SavePaths paths = PathsIn(dir);
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            app::SavedStore store(paths);
            for (int i = 0; i < 40; ++i) store.RecordResult(Result(c * 1000 + i), nullptr);
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(app::SavedStore(paths).Results().size(), 80u);
}

TEST(SavedStore, AWriterKilledAtAnyPointLeavesTheOldTableOrTheNew) {
    const TempDir dir;
    const app::SavePaths paths = PathsIn(dir);
    // Kills land within a span of a few writes as long as they take here (with the fork and
    // the start of the store), so that some come before, during and after a write at any
    // speed of machine or sanitizer.
    app::SavedStore(paths).RecordResult(Result(1), nullptr);  // the folders exist from here
    const auto started = std::chrono::steady_clock::now();
    for (int i = 2; i < 6; ++i) app::SavedStore(paths).RecordResult(Result(i), nullptr);
    const int64_t write = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - started).count() / 4;
    const int64_t span = std::clamp<int64_t>(4 * write, 200, 10000);
    fs::remove(paths.Scores);
    std::mt19937 random(12345);
    size_t before = 0;  // results in the table before each round
    int unchanged = 0;  // rounds killed before their first write ended
    for (int round = 0; round < 300; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Each write adds the next result: a table of n results holds 1..n.
            app::SavedStore store(paths);
            for (int32_t n = static_cast<int32_t>(store.Results().size()) + 1; n < 100; ++n)
                store.RecordResult(Result(n), nullptr);
            _exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % span));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);

        app::SavedStore store(paths);  // the next start
        const auto notices = store.TakeNotices();
        ASSERT_TRUE(notices.empty()) << "round " << round << ": " << notices[0];
        const ScoreList table = store.Results();
        ASSERT_GE(table.size(), before) << "round " << round;
        for (size_t i = 0; i < table.size(); ++i)
            ASSERT_EQ(table[i].Score, static_cast<int32_t>(table.size() - i)) << "round " << round;
        unchanged += table.size() == before;
        before = table.size();
        if (before >= 90) {  // start again from an empty table
            fs::remove(paths.Scores);
            before = 0;
        }
    }
    EXPECT_FALSE(fs::exists(paths.Scores + ".damaged"));
    // Both outcomes happened: kills before a write ended and kills after.
    EXPECT_GT(unchanged, 0);
    EXPECT_LT(unchanged, 300) << "a write takes about " << write << " us";
}

TEST(SaveFiles, XdgFoldersAndTheirFallbacks) {
    const char* data = std::getenv("XDG_DATA_HOME");
    const std::string saved = data ? data : "";
    setenv("XDG_DATA_HOME", "/x/share/", 1);
    EXPECT_EQ(platform::DataFolder("zol"), "/x/share/zol/");
    setenv("XDG_DATA_HOME", "relative/share", 1);  // to be ignored
    EXPECT_EQ(platform::DataFolder("zol"), std::string(std::getenv("HOME")) + "/.local/share/zol/");
    if (data) setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace zol::test
