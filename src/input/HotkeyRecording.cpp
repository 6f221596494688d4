#include "input/HotkeyRecording.h"

namespace vantlo::HotkeyRecording {
namespace {

bool isPlainRecordableKey(std::uint32_t keyCode) {
    return KeyCode::isArrow(keyCode) || keyCode == KeyCode::returnKey || keyCode == KeyCode::tab;
}

}  // namespace

RecordingOutcome record(std::uint32_t keyCode, std::uint64_t eventFlags,
                        bool allowPlainSpecialKeys) {
    using Kind = RecordingOutcome::Kind;
    if (keyCode == KeyCode::escape)
        return {Kind::cancelled, std::nullopt};
    auto modifiers = carbonFlags(eventFlags & ModifierFlags::relevantMask);
    bool accepted = modifiers != CarbonModifiers::none ||
                    (allowPlainSpecialKeys && isPlainRecordableKey(keyCode));
    if (!accepted)
        return {Kind::rejected, std::nullopt};
    return {Kind::captured, HotkeyConfig{keyCode, modifiers}};
}

}  // namespace vantlo::HotkeyRecording
