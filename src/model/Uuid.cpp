#include "model/Uuid.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>

namespace vantlo {

Uuid Uuid::random() {
    static std::mutex mutex;
    static std::mt19937_64 engine{std::random_device{}()};
    Uuid id;
    std::uint64_t halves[2];
    {
        std::lock_guard lock(mutex);
        halves[0] = engine();
        halves[1] = engine();
    }
    std::memcpy(id.bytes_.data(), halves, sizeof halves);
    id.bytes_[6] = static_cast<std::uint8_t>((id.bytes_[6] & 0x0F) | 0x40);  // version 4
    id.bytes_[8] = static_cast<std::uint8_t>((id.bytes_[8] & 0x3F) | 0x80);  // RFC 4122 variant
    return id;
}

std::string Uuid::toString() const {
    char text[37];
    const auto& b = bytes_;
    std::snprintf(text, sizeof text,
                  "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[0],
                  b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return text;
}

std::size_t Uuid::hash() const {
    std::uint64_t halves[2];
    std::memcpy(halves, bytes_.data(), sizeof halves);
    return static_cast<std::size_t>(halves[0] ^ (halves[1] * 0x9E3779B97F4A7C15ull));
}

}  // namespace vantlo
