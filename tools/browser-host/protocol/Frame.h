#pragma once
// One message on the native-messaging wire: a 32-bit length in the machine's byte order, then
// that many bytes of UTF-8 JSON. The browser and the host speak it on standard input and output;
// the host and Vantlo speak the same framing on their private socket.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantlo::bridge {

inline constexpr std::size_t kFrameHeaderSize = 4;
// What the browser may send in one message: a tab list of a thousand tabs with inlined icons
// stays well below it.
inline constexpr std::size_t kMaxBrowserMessage = 32u << 20;
// What a host may send to the browser in one message (Chromium's own limit is 1 MiB).
inline constexpr std::size_t kMaxMessageToBrowser = 1u << 20;

// The header and the payload, ready to write.
std::string encodeFrame(std::string_view payload);

}  // namespace vantlo::bridge
