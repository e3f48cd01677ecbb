// Start-up and shutdown of the game window against the scripted window system.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "framework/core/qCore.h"
#include "framework/core/qFileSystem.h"
#include "framework/graphics/qDDraw.h"
#include "framework/qRuntime.h"
#include "framework/sound/qDMusic.h"
#include "framework/sound/qDSound.h"
#include "game/frmMain.h"
#include "support/ScriptedHost.h"

#if __has_include("framework/graphics/RenderDevice.h")
#include "framework/graphics/RenderDevice.h"
#define ZOL_HAVE_RENDER_DEVICE_FACTORY 1
#endif

namespace zol {
namespace {

// The scripted host, with every call logged in order.
class OrderedHost final : public WindowHost {
public:
    test::ScriptedHost Script;
    std::vector<std::string> Log;
    bool ClipboardThrows = false;

    int32_t GetTickCount() override { return Script.GetTickCount(); }
    MsgAnswer MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                         MsgIcon icon) override {
        Log.push_back("message " + title);
        return Script.MessageBox(text, title, buttons, icon);
    }
    bool IsForeground() override { return Script.IsForeground(); }
    std::optional<std::string> GetClipboardText() override {
        Log.push_back("clipboard");
        if (ClipboardThrows) throw std::runtime_error("The clipboard is locked");
        return Script.GetClipboardText();
    }
    void SetClipboardText(const std::string& t) override { Script.SetClipboardText(t); }
    std::optional<std::string> InputBox(const std::string& p, const std::string& t,
                                        const std::string& d) override {
        return Script.InputBox(p, t, d);
    }
    void CloseWindow() override {
        Log.push_back("close");
        Script.CloseWindow();
    }
    bool IsClosing() override { return Script.IsClosing(); }
    double TimeOfDay() override { return Script.TimeOfDay(); }
    void SetCaption(const std::string& c) override {
        Log.push_back("caption " + c);
        Script.SetCaption(c);
    }
    void ShowWindow() override {
        Log.push_back("show");
        Script.ShowWindow();
    }
    void SetTimerEnabled(bool e) override {
        Log.push_back(e ? "timer on" : "timer off");
        Script.SetTimerEnabled(e);
    }
    void* NativeWindow() override { return nullptr; }
};

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { SetSystemHost(&host); }
    void TearDown() override {
        QRT_Release();
        SetSystemHost(nullptr);
    }
    bool Asked() const {
        for (const auto& m : host.Script.Messages)
            if (m.Text.rfind("Verify copied code? ", 0) == 0) return true;
        return false;
    }
    OrderedHost host;
};

TEST_F(StartupTest, NoWaitingCodeStartsTheGameInOrder) {
    frmMain form(host);
    form.Form_Load();
    EXPECT_FALSE(Asked());
    // The clipboard is read before the devices start; the devices report before the
    // window is shown; the caption is set before it is shown; the timer comes last.
    std::vector<std::string> expected = {"clipboard"};
    if (!SoundEnabled) expected.push_back("message Create DSound device");
    if (!MusicEnabled) expected.push_back("message Create DMusic device");
    expected.insert(expected.end(), {"caption Zol 1.1.38", "show", "timer on"});
    EXPECT_EQ(host.Log, expected);
    EXPECT_EQ(form.Caption, "Zol 1.1.38");
    EXPECT_FALSE(AppPath.empty());
    EXPECT_EQ(AppPath.back(), '/');
    EXPECT_EQ(ImagePath, AppPath + "img/");
    EXPECT_EQ(WavePath, AppPath + "wave/");
    EXPECT_EQ(MidiPath, AppPath + "midi/");
    EXPECT_EQ(ScreenWidth, kWindowLayout.Screen.W);
    EXPECT_EQ(ScreenHeight, kWindowLayout.Screen.H);
    EXPECT_FALSE(host.Script.Closed);
}

TEST_F(StartupTest, AWaitingCodeIsOfferedAndYesVerifiesItWithoutShowingTheGame) {
    host.Script.Clipboard = "1,520 [1D-ABCdef]  ";  // trailing blanks are trimmed
    host.Script.MessageAnswers = {MsgAnswer::Yes};
    frmMain form(host);
    form.Form_Load();
    ASSERT_FALSE(host.Script.Messages.empty());
    const auto& q = host.Script.Messages.front();
    EXPECT_EQ(q.Text, "Verify copied code? 1,520 [1D-ABCdef]");
    EXPECT_EQ(q.Buttons, MsgButtons::YesNo);
    EXPECT_EQ(q.Icon, MsgIcon::Question);
    EXPECT_TRUE(host.Script.Closed);
    EXPECT_FALSE(host.Script.Shown);
    EXPECT_FALSE(host.Script.TimerEnabled);
    for (const auto& m : host.Script.Messages) {
        EXPECT_NE(m.Title, "Create DSound device");  // no device was started
        EXPECT_NE(m.Title, "Create DMusic device");
    }
}

TEST_F(StartupTest, NoToTheWaitingCodeStartsTheGame) {
    host.Script.Clipboard = "  12 [A-B]";
    host.Script.MessageAnswers = {MsgAnswer::No};
    frmMain form(host);
    form.Form_Load();
    EXPECT_TRUE(Asked());
    EXPECT_EQ(host.Script.Messages.front().Text, "Verify copied code? 12 [A-B]");
    EXPECT_TRUE(host.Script.Shown);
    EXPECT_TRUE(host.Script.TimerEnabled);
    EXPECT_FALSE(host.Script.Closed);
}

TEST_F(StartupTest, OnlyTextsShapedLikeACopiedCodeAreOffered) {
    const std::vector<std::optional<std::string>> refused = {
        std::nullopt, "", "   ", "1,520 [AB-cd]\r\n", "1,520 [AB-cd] x", "1,520 [ABcd]",
        "1,520 AB-cd]", "1 -[AB]", "[-]x", "[A-B]\t"};
    for (const auto& clip : refused) {
        OrderedHost h;
        SetSystemHost(&h);
        h.Script.Clipboard = clip;
        frmMain form(h);
        form.Form_Load();
        EXPECT_TRUE(h.Script.Messages.empty() ||
                    h.Script.Messages.front().Text.rfind("Verify copied code? ", 0) != 0)
            << "offered: " << clip.value_or("(none)");
        QRT_Release();
    }
    for (const std::string clip : {"[-]", "x[y-z]", "[a]b-c]", "\t[A-B]", "1,520 [AB-cd]"}) {
        OrderedHost h;
        SetSystemHost(&h);
        h.Script.Clipboard = clip;
        h.Script.MessageAnswers = {MsgAnswer::No};
        frmMain form(h);
        form.Form_Load();
        ASSERT_FALSE(h.Script.Messages.empty()) << clip;
        EXPECT_EQ(h.Script.Messages.front().Text, "Verify copied code? " + clip);
        QRT_Release();
    }
    SetSystemHost(&host);
}

TEST_F(StartupTest, ALongWaitingCodeIsQuotedShortAndYesStillVerifiesAllOfIt) {
    // Two thousand lines shaped like a code: the question quotes the first and the last
    // 60 characters around an ellipsis, never cutting a character (é is two bytes).
    std::string text = "1,520 [\xC3\xA9\xC3\xA9" "AB-";
    for (int i = 0; i < 2000; ++i) text += "CDEFGH\r\n";
    text += "xyz]";
    host.Script.Clipboard = text;
    host.Script.MessageAnswers = {MsgAnswer::Yes};
    frmMain form(host);
    form.Form_Load();
    ASSERT_GE(host.Script.Messages.size(), 2u);
    const std::string head = "1,520 [\xC3\xA9\xC3\xA9" "AB-CDEFGH\r\nCDEFGH\r\nCDEFGH\r\n"
                             "CDEFGH\r\nCDEFGH\r\nCDEFGH\r\n";
    const std::string tail = text.substr(text.size() - 60);
    EXPECT_EQ(host.Script.Messages[0].Text, "Verify copied code? " + head + "\xE2\x80\xA6" + tail);
    // Yes verifies the whole text (the code inside it is no valid one).
    EXPECT_EQ(host.Script.Messages[1].Text, "Invalid code! Please check your input!");
    EXPECT_TRUE(host.Script.Closed);
}

TEST_F(StartupTest, ARuntimeErrorIsShownAndClosesTheWindow) {
    host.ClipboardThrows = true;
    frmMain form(host);
    form.Form_Load();
    ASSERT_EQ(host.Script.Messages.size(), 1u);
    EXPECT_EQ(host.Script.Messages[0].Text, "The clipboard is locked");
    EXPECT_EQ(host.Script.Messages[0].Icon, MsgIcon::Error);
    EXPECT_TRUE(host.Script.Closed);
    EXPECT_FALSE(host.Script.Shown);
    EXPECT_FALSE(host.Script.TimerEnabled);
}

TEST_F(StartupTest, DescribeWindowReportsTheControlsAndReusesItsStorage) {
    frmMain form(host);
    form.lblScore.Caption = "12,345";
    form.barLevel.SetValue(25);
    WindowContent content;
    form.DescribeWindow(content);
    ASSERT_EQ(content.Labels.size(), 7u);
    EXPECT_EQ(content.Labels[1].Caption, "12,345");
    EXPECT_EQ(content.Layout, kWindowLayout);
    EXPECT_EQ(content.Bar.FrameLeft, 52);
    EXPECT_EQ(content.Bar.FrameTop, 342);
    EXPECT_EQ(content.Bar.FrameWidth, 477);
    EXPECT_EQ(content.Bar.FrameHeight, 7);
    EXPECT_EQ(content.Bar.FillWidth, 119);  // a quarter of the 475 pixels inside the border
    const char* storage = content.Labels[1].Caption.data();
    form.lblScore.Caption = "12,346";
    form.DescribeWindow(content);
    EXPECT_EQ(content.Labels[1].Caption, "12,346");
    EXPECT_EQ(content.Labels[1].Caption.data(), storage);  // no new allocation for the same length
}

TEST_F(StartupTest, ReleaseAfterAPartialStartIsHarmlessAndRepeatable) {
    QRT_Release();  // before anything started
    QRT_Initialize();
    QRT_Release();  // only the core started
    QRT_Release();
    EXPECT_FALSE(SoundEnabled);
    EXPECT_FALSE(MusicEnabled);
    QRT_Initialize();
    EXPECT_TRUE(Window_Initialize(nullptr, nullptr, kWindowLayout.Screen.W, kWindowLayout.Screen.H));
    QRT_Release();
    EXPECT_FALSE(SoundEnabled);
    EXPECT_FALSE(MusicEnabled);
}

#ifdef ZOL_HAVE_RENDER_DEVICE_FACTORY
TEST_F(StartupTest, AFailingGraphicsDeviceEndsStartUpWithItsMessages) {
    SetRenderDeviceFactory([](void*, bool, std::string* error) -> std::unique_ptr<RenderDevice> {
        if (error) *error = "no GPU";
        return nullptr;
    });
    frmMain form(host);
    form.Form_Load();
    SetRenderDeviceFactory({});
    const auto& m = host.Script.Messages;
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].Title, "Create D3D device");
    EXPECT_EQ(m[0].Icon, MsgIcon::Error);
    EXPECT_EQ(m[0].Text.rfind("DirectX: Video device not available!\r\n(", 0), 0u);
    EXPECT_NE(m[0].Text.find(")\r\n\r\nThe application will now exit."), std::string::npos);
    EXPECT_EQ(m[1].Text, "Could not initialize window! The program will now exit.");
    EXPECT_EQ(m[1].Icon, MsgIcon::Error);
    EXPECT_TRUE(host.Script.Closed);
    EXPECT_FALSE(host.Script.Shown);
    EXPECT_FALSE(host.Script.TimerEnabled);
    EXPECT_FALSE(SoundEnabled);  // nothing after the graphics device was tried
    EXPECT_FALSE(MusicEnabled);
}
#endif

}  // namespace
}  // namespace zol
