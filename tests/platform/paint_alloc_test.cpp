// Repainting changed numbers allocates nothing once their glyphs have been drawn.
#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "platform/sdl/WindowPainter.h"
#include "support/WindowFixtures.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

// Counting replaces the global allocator; the sanitizers bring their own, so there the
// count is left out.
#if !defined(__SANITIZE_ADDRESS__)
#define ZOL_COUNT_ALLOCATIONS 1
void* operator new(size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { ::operator delete(p); }
#endif

namespace zol::sdl {
namespace {

TEST(WindowPainter, ChangingCountersRepaintWithoutAllocating) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
    {
        WindowPainter painter("");
        if (!painter.HasFonts()) GTEST_SKIP() << "no font matches Arial";
        WindowContent c;
        c.Labels.resize(3);
        c.Labels[0] = {40, 12, 145, 27, "Level 1", 18, true, false, 0, 0};
        c.Labels[1] = {288, 12, 253, 27, "0123456789,", 18, true, false, 0, 0};
        c.Labels[2] = {408, 364, 93, 15, "0123456789", 8, false, true, 0x8080FF, 0};
        c.Layout = kWindowLayout;
        c.Bar = test::LevelBar(0);
        ASSERT_TRUE(painter.Paint(c));  // warm-up: every digit's glyph is rendered once
        for (auto& l : c.Labels) l.Caption.reserve(32);
        ASSERT_TRUE(painter.Paint(c, true));  // the painter's copy grows to the reserved size too
        char text[32];
        ui::Bar level = ui::Bar::LevelBarDesign();
        const long before = g_allocations.load();
        int repaints = 0;
        for (int frame = 1; frame <= 200; ++frame) {
            std::snprintf(text, sizeof text, "%d", frame * 37);
            c.Labels[2].Caption.assign(text);
            std::snprintf(text, sizeof text, "%d,%03d", frame, frame % 1000);
            c.Labels[1].Caption.assign(text);
            level.SetValue(static_cast<float>(frame % 100));
            c.Bar = level.Draw(52, 342, 477, 7);
            repaints += painter.Paint(c);
        }
        EXPECT_EQ(repaints, 200);
#ifdef ZOL_COUNT_ALLOCATIONS
        EXPECT_EQ(g_allocations.load() - before, 0);
#else
        (void)before;
#endif
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
}  // namespace zol::sdl
