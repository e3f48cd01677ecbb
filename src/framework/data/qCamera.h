// qCamera: a 2D view onto a larger world that glides after a target point.
//
// What it does: keeps the view's top-left corner (X, Y), follows (TargetX, TargetY) with
// EaseTowards (a 1/Smoothness of the way per Update, 1 to 16 units), optionally keeping
// the target in the middle of the view. Export/Import store 36 bytes: X, Y, Width,
// Height, PixelWidth, PixelHeight, TargetX, TargetY, Smoothness (GUID and Centered are
// not stored).
// Who owns what: plain values; the view size in logical pixels uses ScreenScale of the
// drawing layer (1 when back-buffer and logical pixels coincide).
// Failure: Import of a truncated stream leaves the camera unchanged.
#pragma once

#include <cstdint>

#include "framework/data/qPersistable.h"

namespace zol {

class qCamera final : public qPersistable {
public:
    float X = 0, Y = 0;                          // top-left corner of the view
    int32_t PixelWidth = 0, PixelHeight = 0;     // view size in back-buffer pixels
    int32_t Width = 0, Height = 0;               // view size in logical pixels
    float TargetX = 0, TargetY = 0;              // the point the camera follows
    float Smoothness = 10;                       // divisor of the glide
    bool Centered = true;                        // target in the middle, else top-left

    std::string ClassName() const override { return "qCamera"; }
    // Writes the 36-byte serialised form.
    void Export(qStream& iFile) const override;
    // Reads the serialised form back; a truncated form changes nothing.
    void Import(qStream& iFile) override;
    // Sets the target and jumps there at once.
    void SetPosition(float PosX, float PosY);
    // Sets the target only; Update glides towards it.
    void SetTarget(float iX, float iY);
    // One glide step towards the target.
    void Update();
    // Sets the view size in back-buffer pixels and jumps to the target.
    void SetSize(int32_t NewWidth, int32_t NewHeight);

private:
    float AimX() const;
    float AimY() const;
};

}  // namespace zol
