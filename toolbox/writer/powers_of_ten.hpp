// Powers of ten for the number writer.
#pragma once

namespace zatrel {

inline constexpr int kLargestPowerOfTen = 308;

// The double nearest to 10^j, 0 <= j <= 308 (exact up to 10^22).
double power_of_ten(int j) noexcept;

// x * 10^k: multiplied by the nearest double to 10^k for k >= 0, divided by
// the nearest double to 10^-k for k < 0 (so correctly rounded for |k| <= 22).
// Beyond 10^308 the power is infinite, as a double power of ten would be.
double scale_by_power_of_ten(double x, int k) noexcept;

}  // namespace zatrel
