#include "preferences/HotkeyRecorder.h"

#include "input/HotkeyRecording.h"
#include "platform/Platform.h"
#include "settings/Localization.h"

namespace vantlo {

HotkeyRecorder::HotkeyRecorder(HotkeyConfig config, bool allowPlainSpecialKeys, Capture onCapture)
    : config_(config),
      allowPlainSpecialKeys_(allowPlainSpecialKeys),
      onCapture_(std::move(onCapture)) {}

bool HotkeyRecorder::toggle() {
    recording_ = !recording_;
    return recording_;
}

HotkeyRecorder::KeyResult HotkeyRecorder::keyDown(std::uint32_t keyCode, std::uint64_t eventFlags) {
    if (!recording_)
        return KeyResult::passedOn;
    auto outcome = HotkeyRecording::record(keyCode, eventFlags, allowPlainSpecialKeys_);
    switch (outcome.kind) {
        case RecordingOutcome::Kind::cancelled:
            recording_ = false;
            return KeyResult::cancelled;
        case RecordingOutcome::Kind::rejected:
            if (platform().sound)
                platform().sound->beep();
            return KeyResult::refused;
        case RecordingOutcome::Kind::captured:
            break;
    }
    recording_ = false;
    if (onCapture_ && outcome.config)
        onCapture_(*outcome.config);
    return KeyResult::captured;
}

std::string HotkeyRecorder::text() const {
    return recording_ ? localized("Press keys…") : config_.displayString();
}

}  // namespace vantlo
