#pragma once
// Cuts a byte stream into frames (see Frame.h), however the bytes arrive: a header split over two
// reads, several frames in one read. A frame longer than the bound poisons the stream, since
// nothing after it can be trusted to start a frame; the reader then reports the error forever.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantlo::bridge {

class FrameReader {
  public:
    explicit FrameReader(std::size_t maxPayload) : maxPayload_(maxPayload) {}

    void append(std::string_view bytes);
    // The next complete payload, or nothing when more bytes are needed or the stream failed.
    std::optional<std::string> next();
    // Why the stream cannot go on ("message of 40000000 bytes exceeds the limit of ..."), or
    // empty while it is sound.
    const std::string& error() const { return error_; }
    bool failed() const { return !error_.empty(); }
    // Bytes received but not yet returned as a frame.
    std::size_t pending() const { return buffer_.size() - start_; }

  private:
    void compact();

    std::size_t maxPayload_;
    std::string buffer_;
    std::size_t start_ = 0;
    std::string error_;
};

}  // namespace vantlo::bridge
