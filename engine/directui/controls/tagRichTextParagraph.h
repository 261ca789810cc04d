#pragma once

#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/documents/IXmlElement.h"

#include <cstdint>
#include <vector>

namespace RVGameEngine {
namespace DirectUI {

// One paragraph of a rich output box: its markup, kept as parsed, and what
// measuring it found.
struct tagRichTextParagraph : public Common::IReferenceCounted
{
    Common::TIntrusivePointer<Common::IXmlElement> element;
    int32_t top = 0;
    int32_t height = 0;
    std::vector<int32_t> lineHeights;
};

} // namespace DirectUI
} // namespace RVGameEngine
