// Results of message boxes and modal dialog runs, with the platform's values
// so that the Win32 side passes them through unchanged.
#pragma once

namespace pagewire::platform {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdRetry = 4;
// "&Print Settings..." of the direct-print confirmation.
inline constexpr int kIdPrintSettings = 10;
// "&Abort" and "&Print All" of the per-file confirmation.
inline constexpr int kIdAbort = 10;
inline constexpr int kIdPrintAll = 11;

}  // namespace pagewire::platform
