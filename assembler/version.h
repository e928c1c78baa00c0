#pragma once

namespace tarn {

// The IDE reads the integer form from the banner to decide which options it may pass.
inline constexpr const char* kVersionText = "Version 1.51.07";
inline constexpr int kVersionNumber = 15107;  // major * 10000 + minor * 100 + patch

}  // namespace tarn
