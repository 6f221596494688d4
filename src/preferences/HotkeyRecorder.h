#pragma once
// The state behind a key recorder: a control showing a binding that is armed by a click and then
// takes the next key combination the recording rules accept (input/HotkeyRecording.h). Escape
// disarms it without a change; a refused key beeps and keeps it armed. The owner decides what a
// captured combination does (store it, or refuse it as a conflict) and sets the shown binding.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/HotkeyConfig.h"

namespace vantlo {

class HotkeyRecorder {
  public:
    using Capture = std::function<void(const HotkeyConfig&)>;
    enum class KeyResult { passedOn, cancelled, refused, captured };

    HotkeyRecorder(HotkeyConfig config, bool allowPlainSpecialKeys, Capture onCapture = {});

    const HotkeyConfig& config() const { return config_; }
    void setConfig(const HotkeyConfig& config) { config_ = config; }
    bool allowsPlainSpecialKeys() const { return allowPlainSpecialKeys_; }
    bool isRecording() const { return recording_; }

    // A click: arms a disarmed recorder and disarms an armed one. Answers the new state.
    bool toggle();
    void disarm() { recording_ = false; }

    // A key press while the recorder has the keyboard. Not recording: passed on, nothing
    // happens. Escape disarms. A refused key beeps. A captured one disarms and goes to the
    // owner's capture handler.
    KeyResult keyDown(std::uint32_t keyCode, std::uint64_t eventFlags);

    // "Press keys…" while armed, else the binding as the platform writes keys.
    std::string text() const;

  private:
    HotkeyConfig config_;
    bool allowPlainSpecialKeys_;
    Capture onCapture_;
    bool recording_ = false;
};

}  // namespace vantlo
