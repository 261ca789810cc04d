#pragma once

#include "engine/filesystem/documents/IXmlScript.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace DocumentsTest {
using namespace RVGameEngine::Common;

// The text the writer makes for an element and everything under it.
inline std::wstring Saved(RVGameEngine::Common::IXmlElement* element)
{
    auto text = RVGameEngine::Common::IString_Create();
    element->SaveToString(text);
    return text->GetUtf16();
}

template <typename Unit>
std::basic_string<Unit> Repeated(const Unit* part, int times)
{
    std::basic_string<Unit> text;
    while (times-- > 0)
        text += part;
    return text;
}

} // namespace DocumentsTest
