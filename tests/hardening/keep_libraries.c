/* Preloaded into sanitizer runs of the game and its tests: dlclose does nothing, so the
 * graphics and audio libraries that SDL, EGL and ALSA load and unload stay mapped until
 * the process exits. LeakSanitizer checks at exit; without this, leaks inside a library
 * that was already unloaded show as "<unknown module>" and cannot be told apart from the
 * game's own, nor suppressed by library name. */
#include <stddef.h>

int dlclose(void* handle) {
    (void)handle;
    return 0;
}
