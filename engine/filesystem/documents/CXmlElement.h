#pragma once

#include "engine/filesystem/documents/CXmlAttribute.h"
#include "engine/filesystem/documents/IXmlElement.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <string>
#include <vector>

namespace RVGameEngine {
namespace Common {

// Element names with a meaning of their own: a "Comment" child is a comment
// line whose text is its first attribute ("Context"); the document's "Root"
// element has no tag of its own when written.
extern const wchar_t* const kXmlCommentName;
extern const wchar_t* const kXmlCommentTextName;
extern const wchar_t* const kXmlRootName;

class CXmlElement : public IXmlElement
{
public:
    const wchar_t* GetName() override;
    void SetName(const wchar_t* name) override;
    bool HasAttribute(const wchar_t* name) override;
    const wchar_t* GetAttribute(const wchar_t* name) override;
    float GetAttributeFloat(const wchar_t* name) override;
    int32_t GetAttributeInt(const wchar_t* name) override;
    bool GetAttributeBool(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void SetAttributeFloat(const wchar_t* name, float value) override;
    void SetAttributeInt(const wchar_t* name, int32_t value) override;
    void SetAttributeBool(const wchar_t* name, bool value) override;
    void AddChild(IXmlElement* element) override;
    IXmlElement* CreateChild() override;
    int32_t GetChildCount() override;
    IXmlElement* GetChild(int32_t index) override;
    void SaveToString(TIntrusivePointer<IString> out) override;
    void Print() override;
    void SetNameAttribute(const wchar_t* text) override;
    const wchar_t* GetNameAttribute() override;
    IXmlElement* FindChildByNameAttribute(const wchar_t* text) override;
    IXmlElement* FindDescendantByNameAttribute(const wchar_t* text) override;
    void SetTagAttribute(const wchar_t* text) override;
    const wchar_t* GetTagAttribute() override;
    IXmlElement* FindChildByTagAttribute(const wchar_t* text) override;
    IXmlElement* FindDescendantByTagAttribute(const wchar_t* text) override;
    IXmlElement* FindChildByElementName(const wchar_t* name) override;
    uint32_t GetAttributeUInt(const wchar_t* name) override;
    void SetAttributeUInt(const wchar_t* name, uint32_t value) override;
    void RemoveChild(IXmlElement* element) override;
    void RemoveAllChildren() override;

    // Appends an empty comment entry (not counted as a child element); the
    // parser names it and gives it its text.
    CXmlElement* AddCommentChild();

    // Appends the document text of this element at the given indentation.
    void WriteTo(std::wstring& out, int depth) const;
    // The first attribute in this element or below whose value the document
    // text cannot hold (it has no escapes: a double quote would end the value
    // and the rest read back as other attributes); null when every value can
    // be written. Line breaks are fine: a value may span lines.
    const CXmlAttribute* FindUnwritableAttribute() const;

private:
    CXmlAttribute* FindAttribute(const wchar_t* name) const;
    IXmlElement* FindChildByAttribute(const wchar_t* attributeName, const wchar_t* text);
    IXmlElement* FindDescendantByAttribute(const wchar_t* attributeName, const wchar_t* text,
                                           IXmlElement* (IXmlElement::*descend)(const wchar_t*));
    bool IsCommentPosition(size_t index) const;
    void DropCommentPosition(size_t index);
    void SetFormattedAttribute(const wchar_t* name, const wchar_t* format, ...);
    void PrintAt(int depth) const;

    std::wstring m_name;
    std::vector<TIntrusivePointer<CXmlAttribute>> m_attributes;
    std::vector<TIntrusivePointer<IXmlElement>> m_children;
    int32_t m_elementCount = 0;
    std::vector<int32_t> m_commentPositions;
};

} // namespace Common
} // namespace RVGameEngine
