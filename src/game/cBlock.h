// cBlock: one block of the board, or of the piece the player is placing.
//
// The board's 60 blocks live for the whole game; filling, merging, falling and exploding
// are changes of their fields. A block animates itself one step per tick, draws itself
// (a normal and an additive glow pass) and reacts to the events of its life with
// particles, a sound and a short white flash. The rules that drive it live in frmMain.
#pragma once

#include <cstdint>

namespace zol {

class cBlock {
public:
    // Animation states.
    enum : int32_t { Idle = 0, Appearing = 1, Moving = 2, Changing = 3 };

    float X = 0;            // board: pixel x of the cell; piece: column offset in cells
    float Y = 0;            // board: pixel y of the cell; piece: row offset in cells
    int32_t Kind = 0;       // 0 nothing, 1..5 a block's value (6 explodes)
    int32_t OldKind = 0;    // the kind shown during the first half of a change
    int32_t Special = 0;    // 0 normal; 1 the timed block (board) or a special piece block
    int32_t Timer = 0;      // timed block: the GameFrames value after which it turns
    int32_t State = Idle;   // animation state
    float Progress = 0;     // 0..1 through the current animation
    cBlock* Partner = nullptr;  // while Moving: the board block below (not owned)
    bool Flashing = false;  // the flash is running
    int32_t FlashCount = 0; // flash frame 0..5
    bool Landed = false;    // a falling block has just arrived here

    // Advances the animation one tick; true while it is still running.
    bool Animate();
    // Empties the cell with break-up particles and "ready.wav".
    void Disappear();
    // Starts the flash at the end of a change of kind.
    void DoneChanging();
    // Dust, flash and "dip.wav" where a falling block comes to rest.
    void DoneFalling();
    // The block has been put on the board as NewKind / NewSpecial.
    void DoneEditing(int32_t NewSpecial, int32_t NewKind);
    // A timed block turns into a normal block of a random kind.
    void DoneSpecial();
    // Draws one frame of the flash, if running, and advances it.
    void Flash();
    // Lowers the kind by one (not below 1) with particles and a change animation.
    void LevelUp();
    // Break-up particles at game over, if the cell holds a block.
    void GameOver();
    // Draws the block (normal pass).
    void Render();
    // Draws the glow of an appearing or changing block (additive pass).
    void RenderAdd();

private:
    bool FlashOn = false;
};

}  // namespace zol
