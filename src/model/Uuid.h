#pragma once
// A random 128-bit identifier (version 4). Items get a fresh one at every enumeration.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace vantlo {

class Uuid {
  public:
    // The nil identifier; real ones come from `random()`.
    Uuid() = default;
    static Uuid random();

    std::string toString() const;
    bool operator==(const Uuid&) const = default;
    bool operator<(const Uuid& other) const { return bytes_ < other.bytes_; }
    std::size_t hash() const;

  private:
    std::array<std::uint8_t, 16> bytes_{};
};

}  // namespace vantlo

template <>
struct std::hash<vantlo::Uuid> {
    std::size_t operator()(const vantlo::Uuid& id) const { return id.hash(); }
};
