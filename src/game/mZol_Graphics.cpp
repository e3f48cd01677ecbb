// The game's images and its font. A missing image leaves index 0: the game runs on
// without that picture.
#include "framework/graphics/qDDraw.h"
#include "game/GameRecord.h"
#include "game/mZol.h"

namespace zol {

void LoadGraphics() {
    Game.TexBack = LoadTexture("back.png", true, 0);
    Game.TexBlocks = LoadTexture("blocks.png", false, ColorRGB(1, 0, 1));
    Game.TexParticles = LoadTexture("particles.png", true, 0);
    Game.FontMinco.Texture = LoadTexture("fnt_minco.png", true, ColorRGB(1, 0, 1));
    Game.FontMinco.CharWidth = 5;
    Game.FontMinco.LineHeight = 10;
}

}  // namespace zol
