// The browser host's input: a byte stream cut into frames, each checked as a browser message and
// as a request from Vantlo. Nothing may crash, hang or read out of bounds.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "protocol/FrameReader.h"
#include "protocol/MessageCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The whole input as one message, as the checks would see a frame's payload.
    vantlo::bridge::MessageCheck::browserMessage(bytes);
    vantlo::bridge::MessageCheck::vantloRequest(bytes);
    // The same bytes as a stream arriving in two reads.
    vantlo::bridge::FrameReader reader(1 << 16);
    reader.append(bytes.substr(0, size / 2));
    while (auto payload = reader.next())
        vantlo::bridge::MessageCheck::browserMessage(*payload);
    reader.append(bytes.substr(size / 2));
    while (auto payload = reader.next())
        vantlo::bridge::MessageCheck::browserMessage(*payload);
    return 0;
}
