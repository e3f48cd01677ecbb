// DeviceOpener: opens an audio device on a thread of its own.
//
// What it does: runs a device's Open on a worker thread, so that a sound server that does
// not answer holds up that thread and never the game's. The game's thread asks whether
// the open has finished (at once, or waiting at most a given time) and then takes the
// device. A step given before the open finishes (SetWhenOpened) runs on the worker right
// after a successful Open, before the device is handed over: music uses it to start the
// song the game asked for while the device was still opening.
// Who owns what: until the open has finished only the worker touches the device; then it
// belongs to whoever takes it. An opener dropped before its open has finished leaves the
// device to the worker, which skips the step and destroys the device when Open returns,
// so neither a release nor the end of the program waits for a server that hangs.
// Failure: Open's own result; the device says why through its error code and text. When
// no thread can be started the open runs on the caller's thread instead.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace zol {

template <class Device>
class DeviceOpener {
public:
    using Step = std::function<void(Device&)>;

    // Starts opening Device (not null) at once.
    explicit DeviceOpener(std::unique_ptr<Device> device) : state_(std::make_shared<State>()) {
        Device* raw = device.get();
        state_->device = std::move(device);
        try {
            worker_ = std::thread([state = state_, raw] { Run(*state, *raw); });
        } catch (const std::system_error&) {
            Run(*state_, *raw);
        }
    }
    ~DeviceOpener() {
        bool finished = false;
        {
            std::lock_guard<std::mutex> hold(state_->lock);
            finished = state_->finished;
            state_->abandoned = true;
            state_->whenOpened = nullptr;
        }
        // A finished worker is about to end and is waited for; one still opening is let go.
        if (!worker_.joinable()) return;
        if (finished)
            worker_.join();
        else
            worker_.detach();
    }
    DeviceOpener(const DeviceOpener&) = delete;
    DeviceOpener& operator=(const DeviceOpener&) = delete;

    // True once the open has finished; waits at most Wait for it.
    bool Finished(std::chrono::milliseconds Wait = std::chrono::milliseconds(0)) {
        std::unique_lock<std::mutex> hold(state_->lock);
        if (Wait.count() > 0) state_->done.wait_for(hold, Wait, [this] { return state_->finished; });
        return state_->finished;
    }
    // Open's result; false until the open has finished.
    bool Opened() {
        std::lock_guard<std::mutex> hold(state_->lock);
        return state_->finished && state_->opened;
    }
    // The device once the open has finished, opened or not; nullptr before that.
    std::unique_ptr<Device> Take() {
        std::lock_guard<std::mutex> hold(state_->lock);
        return state_->finished ? std::move(state_->device) : nullptr;
    }
    // Sets the step run after a successful open (replacing any earlier one); false when the
    // open has already finished and the step will not run.
    bool SetWhenOpened(Step step) {
        std::lock_guard<std::mutex> hold(state_->lock);
        if (state_->finished) return false;
        state_->whenOpened = std::move(step);
        return true;
    }

private:
    struct State {
        std::mutex lock;
        std::condition_variable done;
        bool finished = false;
        bool opened = false;
        bool abandoned = false;
        Step whenOpened;
        std::unique_ptr<Device> device;
    };

    static void Run(State& state, Device& device) {
        bool opened = false;
        try {
            opened = device.Open();
        } catch (...) {
            opened = false;
        }
        {
            // The step runs under the lock, so the game's thread cannot change or drop it
            // half-way; it touches only the device, which nobody else holds yet.
            std::lock_guard<std::mutex> hold(state.lock);
            if (opened && !state.abandoned && state.whenOpened) {
                try {
                    state.whenOpened(device);
                } catch (...) {
                }
            }
            state.whenOpened = nullptr;
            state.opened = opened;
            state.finished = true;
        }
        state.done.notify_all();
    }

    std::shared_ptr<State> state_;
    std::thread worker_;
};

}  // namespace zol
