#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IReferenceCounted.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <cstdint>

namespace RVGameEngine {
namespace Common {

// One element of an XML document: a name, named attributes (unique names,
// kept in the order they were first set) and child elements. Comment lines of
// a parsed document are kept among the children so that a document written
// back keeps them, but the child count and index access skip them.
// Names are compared case-sensitively; a null text is taken as the empty one.
class RV_API IXmlElement : public IReferenceCounted
{
public:
    ~IXmlElement() override = default;

    virtual const wchar_t* GetName() = 0;
    virtual void SetName(const wchar_t* name) = 0;

    virtual bool HasAttribute(const wchar_t* name) = 0;
    // The value, or the empty text when absent; valid until the attribute is
    // set again or the element goes.
    virtual const wchar_t* GetAttribute(const wchar_t* name) = 0;
    // Decimal number as wcstod reads it, 0 when nothing can be read.
    virtual float GetAttributeFloat(const wchar_t* name) = 0;
    // Decimal number as wcstol reads it ("0x10" gives 0).
    virtual int32_t GetAttributeInt(const wchar_t* name) = 0;
    // True only for the exact text "true".
    virtual bool GetAttributeBool(const wchar_t* name) = 0;
    virtual void SetAttribute(const wchar_t* name, const wchar_t* value) = 0;
    // "%f": six decimals.
    virtual void SetAttributeFloat(const wchar_t* name, float value) = 0;
    virtual void SetAttributeInt(const wchar_t* name, int32_t value) = 0;
    virtual void SetAttributeBool(const wchar_t* name, bool value) = 0;

    // Takes a reference to the element; null is ignored.
    virtual void AddChild(IXmlElement* element) = 0;
    // The new child belongs to the tree; the caller gets no reference.
    virtual IXmlElement* CreateChild() = 0;
    virtual int32_t GetChildCount() = 0;
    // Null when the index is out of range.
    virtual IXmlElement* GetChild(int32_t index) = 0;

    // Writes this element and its subtree as document text into the string.
    virtual void SaveToString(TIntrusivePointer<IString> out) = 0;
    virtual void Print() = 0;

    virtual void SetNameAttribute(const wchar_t* text) = 0;
    virtual const wchar_t* GetNameAttribute() = 0;
    virtual IXmlElement* FindChildByNameAttribute(const wchar_t* text) = 0;
    virtual IXmlElement* FindDescendantByNameAttribute(const wchar_t* text) = 0;
    virtual void SetTagAttribute(const wchar_t* text) = 0;
    virtual const wchar_t* GetTagAttribute() = 0;
    virtual IXmlElement* FindChildByTagAttribute(const wchar_t* text) = 0;
    virtual IXmlElement* FindDescendantByTagAttribute(const wchar_t* text) = 0;
    virtual IXmlElement* FindChildByElementName(const wchar_t* name) = 0;

    // Automatic base as wcstoul with base 0: "0x10" is 16, "010" is 8.
    virtual uint32_t GetAttributeUInt(const wchar_t* name) = 0;
    virtual void SetAttributeUInt(const wchar_t* name, uint32_t value) = 0;

    // Removes that very child (element or comment); anything else is ignored.
    virtual void RemoveChild(IXmlElement* element) = 0;
    virtual void RemoveAllChildren() = 0;

    // The first direct child element of exactly that name, or null.
    IXmlElement* FindChildByName(const wchar_t* name) { return FindChildByElementName(name); }
};

// A free-standing empty element.
RV_API TIntrusivePointer<IXmlElement> IXmlElement_Create();

} // namespace Common
} // namespace RVGameEngine
