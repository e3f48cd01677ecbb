#include "framework/data/qCamera.h"

#include "framework/core/qCore.h"
#include "framework/core/qEase.h"
#include "framework/data/qStream.h"

namespace zol {

float qCamera::AimX() const {
    return Centered ? static_cast<float>(static_cast<double>(TargetX) - Width / 2.0) : TargetX;
}

float qCamera::AimY() const {
    return Centered ? static_cast<float>(static_cast<double>(TargetY) - Height / 2.0) : TargetY;
}

void qCamera::Export(qStream& iFile) const {
    iFile.WriteSingle(X);
    iFile.WriteSingle(Y);
    iFile.WriteLong(Width);
    iFile.WriteLong(Height);
    iFile.WriteLong(PixelWidth);
    iFile.WriteLong(PixelHeight);
    iFile.WriteSingle(TargetX);
    iFile.WriteSingle(TargetY);
    iFile.WriteSingle(Smoothness);
}

void qCamera::Import(qStream& iFile) {
    // Read into a copy so that a form cut short leaves this camera as it was.
    qCamera c = *this;
    iFile.ReadSingle(c.X);
    iFile.ReadSingle(c.Y);
    iFile.ReadLong(c.Width);
    iFile.ReadLong(c.Height);
    iFile.ReadLong(c.PixelWidth);
    iFile.ReadLong(c.PixelHeight);
    iFile.ReadSingle(c.TargetX);
    iFile.ReadSingle(c.TargetY);
    iFile.ReadSingle(c.Smoothness);
    if (iFile.Failed()) return;
    const std::string guid = GUID;
    *this = c;
    GUID = guid;
}

void qCamera::SetPosition(float PosX, float PosY) {
    TargetX = PosX;
    TargetY = PosY;
    X = AimX();
    Y = AimY();
}

void qCamera::SetTarget(float iX, float iY) {
    TargetX = iX;
    TargetY = iY;
}

void qCamera::Update() {
    EaseTowards(X, AimX(), Smoothness, 1, 16);
    EaseTowards(Y, AimY(), Smoothness, 1, 16);
}

void qCamera::SetSize(int32_t NewWidth, int32_t NewHeight) {
    PixelWidth = NewWidth;
    PixelHeight = NewHeight;
    const double scale = ScreenScale != 0 ? ScreenScale : 1.0;
    Width = CLng(PixelWidth / scale);
    Height = CLng(PixelHeight / scale);
    SetPosition(TargetX, TargetY);
}

}  // namespace zol
