#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

namespace RVGameEngine {
namespace Common {

// The lowercase hexadecimal MD5 of the text's first 32 bytes with salt bytes
// 0-3 written over positions 11-14 and bytes 4-7 over positions 20-23,
// hashed up to the first zero byte (so a text shorter than 11 bytes is hashed
// unsalted). The salt needs eight non-zero bytes; otherwise, or for a null
// text, the answer is an empty text and a log line.
RV_API TIntrusivePointer<IString> SaltEncrypt(const char* text, const char* salt);

} // namespace Common
} // namespace RVGameEngine
