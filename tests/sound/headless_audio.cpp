// Every sound test runs headless: OpenAL Soft mixes into its null output and SDL's audio
// (if anything opens it) into its dummy driver. The variables are set before any test
// runs, unless the caller has chosen otherwise.
#include <cstdlib>

namespace {

struct HeadlessAudio {
    HeadlessAudio() {
        setenv("ALSOFT_DRIVERS", "null", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    }
} const g_headlessAudio;

}  // namespace
