#pragma once

// The program's scrambling constants. Files in RVEF form, archive entries and
// scrambled log lines are readable only with these values.
//
// tools/rvpack.py reads this file: keep each constant on one line in the form
// `constexpr <type> <name> = 0x<hex>;`.

#include <cstdint>

namespace RVGameEngine {
namespace FileSystem {

// Every byte of an RVEF file's content and of an archive entry.
constexpr uint8_t kFileScrambleKey = 0x6B;
// Every UTF-16 unit of a log line once the log's scramble flag is set.
constexpr uint16_t kLogScrambleKey = 0x5A3C;

} // namespace FileSystem
} // namespace RVGameEngine
