#pragma once

#include <string>

namespace RVGameEngine {
namespace Common {

constexpr unsigned int kCodePageAnsi = 936;
constexpr unsigned int kCodePageUtf8 = 65001;

// Converts zero-terminated text through a buffer of exactly the size needed,
// so text from outside (files, network, command line) of any length converts
// whole. A null text converts to an empty one.
std::wstring NarrowToWide(unsigned int codePage, const char* text);
std::string WideToNarrow(unsigned int codePage, const wchar_t* text);

} // namespace Common
} // namespace RVGameEngine
