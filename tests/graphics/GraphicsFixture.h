// Shared set-up of the graphics tests: the drawing module on the recording device.
#pragma once

#include <gtest/gtest.h>

#include "framework/graphics/qDDraw.h"
#include "support/RecordingRenderDevice.h"
#include "support/ScriptedHost.h"

namespace zol::test {

// Installs a scripted host as the framework's clock for one scope.
struct ScriptedHostClock {
    ScriptedHost host;
    ScriptedHostClock() { SetSystemHost(&host); }
    ~ScriptedHostClock() { SetSystemHost(nullptr); }
};

class RecordingGraphics : public ::testing::Test {
protected:
    void SetUp() override {
        SetRenderDeviceFactory([this](void*, bool, std::string*) -> std::unique_ptr<RenderDevice> {
            auto d = std::make_unique<RecordingRenderDevice>();
            dev = d.get();
            return d;
        });
        ASSERT_TRUE(Device_Initialize());
        ASSERT_TRUE(Device_InitWindowed(nullptr, 480, 288, 1.0f));
        ASSERT_NE(dev, nullptr);
        dev->Calls.clear();
    }
    void TearDown() override {
        Device_Release();
        SetRenderDeviceFactory(nullptr);
    }
    // A plain texture of Width x Height opaque white pixels.
    int32_t Texture(const std::string& name, int32_t w, int32_t h) {
        std::vector<uint32_t> px(static_cast<size_t>(w * h), 0xFFFFFFFFu);
        return AddTexture(name, px.data(), w, h, false, 0);
    }
    // Every sprite draw of the recorded frame.
    std::vector<const DeviceCall*> Draws() const { return dev->Of(DeviceCall::Sprites); }

    RecordingRenderDevice* dev = nullptr;
};

}  // namespace zol::test
