// Placeholder images for zol-shot: simple pictures that follow the game's image layouts
// (blocks, glows, flashes and the bomb icon; the background tile; the particle sheet;
// a 16 x 16-cell font), for runs where the real images are not at hand.
#pragma once

#include <string>

namespace zol::shot {

// Writes back.png, blocks.png, particles.png and fnt_minco.png into Folder (which must
// exist); false with a reason when a file cannot be written.
bool WritePlaceholderImages(const std::string& Folder, std::string* Error);

}  // namespace zol::shot
