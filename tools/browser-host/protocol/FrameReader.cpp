#include "protocol/FrameReader.h"

#include <cstdint>
#include <cstring>

#include "protocol/Frame.h"

namespace vantlo::bridge {

void FrameReader::append(std::string_view bytes) {
    if (failed())
        return;
    compact();
    buffer_.append(bytes);
}

std::optional<std::string> FrameReader::next() {
    if (failed() || pending() < kFrameHeaderSize)
        return std::nullopt;
    std::uint32_t length = 0;
    std::memcpy(&length, buffer_.data() + start_, kFrameHeaderSize);
    if (length > maxPayload_) {
        error_ = "message of " + std::to_string(length) + " bytes exceeds the limit of " +
                 std::to_string(maxPayload_) + " bytes";
        buffer_.clear();
        start_ = 0;
        return std::nullopt;
    }
    if (pending() - kFrameHeaderSize < length)
        return std::nullopt;
    std::string payload = buffer_.substr(start_ + kFrameHeaderSize, length);
    start_ += kFrameHeaderSize + length;
    return payload;
}

// Drops consumed bytes once they make up most of the buffer, so a long stream of small frames
// neither grows the buffer nor copies it on every frame.
void FrameReader::compact() {
    if (start_ == 0)
        return;
    if (start_ == buffer_.size()) {
        buffer_.clear();
        start_ = 0;
    } else if (start_ * 2 >= buffer_.size()) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
}

}  // namespace vantlo::bridge
