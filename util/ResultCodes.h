#pragma once

// The results every operation of the program returns. Operations return Result::Ok or
// Result::Failed; the engine and the work that runs it also tell where a file error happened and
// whether the user stopped. The values are fixed: callers and the command-line tool compare them.
namespace Result {

inline constexpr int Ok = 0;
inline constexpr int Failed = -1;
inline constexpr int ReadError = -7;  // a file could not be read
inline constexpr int WriteError = -8; // a file could not be written
inline constexpr int Cancelled = -9;  // the user stopped the work

} // namespace Result
