#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/filesystem/documents/IJsonNode.h"

namespace RVGameEngine {
namespace FileSystem {

// Reads JSON text (comments allowed). One parser keeps one root node, which
// every parse refills; nodes handed out earlier keep their own copies.
class RV_API IJsonParser : public Common::IReferenceCounted
{
public:
    ~IJsonParser() override = default;

    // Returns the root node whatever the text: malformed text leaves what
    // could be read (a null value when nothing could), and the reads of the
    // node then give their empty results.
    virtual Common::TIntrusivePointer<IJsonNode> Parse(const char* text) = 0;
};

RV_API Common::TIntrusivePointer<IJsonParser> IJsonParser_Create();

} // namespace FileSystem
} // namespace RVGameEngine
