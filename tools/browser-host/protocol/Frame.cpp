#include "protocol/Frame.h"

#include <cstring>

namespace vantlo::bridge {

std::string encodeFrame(std::string_view payload) {
    auto length = static_cast<std::uint32_t>(payload.size());
    std::string frame(kFrameHeaderSize, '\0');
    std::memcpy(frame.data(), &length, kFrameHeaderSize);
    frame.append(payload);
    return frame;
}

}  // namespace vantlo::bridge
