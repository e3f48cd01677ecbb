#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "framework/core/qFileSystem.h"

namespace zol {
namespace {

TEST(FileSystem, ResolveNormaliseAndOpen) {
    test::TempDir dir;
    const std::string saved = AppPath;
    AppPath = dir.Folder() + "app/";
    MakePath(AppPath + "img");
    test::WriteAll(AppPath + "only-app.png", {1});
    test::WriteAll(dir.File("here.png"), {1});

    EXPECT_EQ(ResolveFile("c:nothing", dir.Folder()), "c:nothing");
    EXPECT_EQ(ResolveFile("/no/such/file", dir.Folder()), "/no/such/file");
    EXPECT_EQ(ResolveFile("here.png", dir.Folder()), dir.File("here.png"));
    EXPECT_EQ(ResolveFile("only-app.png", dir.Folder()), AppPath + "only-app.png");
    EXPECT_EQ(ResolveFile("missing.png", dir.Folder()), "");

    EXPECT_EQ(NormalisePath("  /data/zol  ", false), "/data/zol/");
    EXPECT_EQ(NormalisePath("/data/zol//", false), "/data/zol/");
    EXPECT_EQ(NormalisePath(" \\\\srv\\share:x", false), "//srv/sharex/");
    EXPECT_EQ(NormalisePath("   ", false), "");
    const std::string made = NormalisePath(dir.Folder() + "a/b", true);
    EXPECT_EQ(made, dir.Folder() + "a/b/");
    EXPECT_TRUE(std::filesystem::is_directory(made));

    EXPECT_FALSE(FileExists(dir.Folder()));
    EXPECT_FALSE(FileExists(""));
    EXPECT_TRUE(DeleteFile(dir.File("never-there")));

    const std::string f = dir.File("ro.bin");
    test::WriteAll(f, {1, 2});
    std::filesystem::permissions(f, std::filesystem::perms::owner_read);
    EXPECT_TRUE(OpenFile(f, true, false));  // read-only files still open for reading
    FileHandle h = OpenFile(f, true, true);  // replaced by a new, empty file
    ASSERT_TRUE(h);
    EXPECT_EQ(FileLength(h.get()), 0);
    EXPECT_FALSE(OpenFile(dir.File("absent"), true, false));
    EXPECT_FALSE(OpenFile(dir.Folder() + "no/such/folder/x", true, true));

    EXPECT_EQ(ProgramFolder().back(), '/');
    AppPath = saved;
}

}  // namespace
}  // namespace zol
