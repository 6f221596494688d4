#pragma once
// The fixed palette of the preferences window, as sRGB components from 0 to 1.

namespace vantlo {

struct RgbaColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    bool operator==(const RgbaColor&) const = default;
};

namespace PrefColors {
inline constexpr RgbaColor window{0.08, 0.09, 0.11, 1.0};
inline constexpr RgbaColor sidebar{0.10, 0.12, 0.15, 1.0};
inline constexpr RgbaColor card{1.0, 1.0, 1.0, 0.08};
inline constexpr RgbaColor cardBorder{1.0, 1.0, 1.0, 0.10};
inline constexpr RgbaColor primary{1.0, 1.0, 1.0, 0.92};    // primary text
inline constexpr RgbaColor secondary{1.0, 1.0, 1.0, 0.60};  // secondary text
inline constexpr RgbaColor tertiary{1.0, 1.0, 1.0, 0.38};   // tertiary text
}  // namespace PrefColors

}  // namespace vantlo
