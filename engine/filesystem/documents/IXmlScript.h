#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/filesystem/documents/IXmlElement.h"
#include "engine/common/base/TIntrusivePointer.h"

namespace RVGameEngine {
namespace Common {

// An XML document of the engine's dialect: elements with attributes, nested
// elements and whole-line "--" comments; no element text, declarations,
// entities or escaping. Files are UTF-16 little-endian text that begins with
// the byte-order mark. The document's invisible root element, named "Root",
// holds the top-level elements of the text.
class RV_API IXmlScript : public IReferenceCounted
{
public:
    ~IXmlScript() override = default;

    // Empties the root, then reads the file (plain or scrambled) into it.
    // Returns the root in every case: a root without children means the file
    // was missing, unreadable or empty.
    virtual IXmlElement* LoadFromFile(const wchar_t* fileName) = 0;
    // Writes the root's children as a UTF-16 file with its byte-order mark.
    virtual bool SaveToFile(const wchar_t* fileName) = 0;
    virtual IXmlElement* GetRoot() = 0;
    // Appends the elements of the text to those the root already holds.
    virtual IXmlElement* Parse(const wchar_t* text) = 0;
};

RV_API TIntrusivePointer<IXmlScript> IXmlScript_Create();

} // namespace Common
} // namespace RVGameEngine
