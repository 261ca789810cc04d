#include "engine/filesystem/documents/CXmlElement.h"

#include "engine/common/base/Console.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>

namespace RVGameEngine {
namespace Common {

const wchar_t* const kXmlCommentName = L"Comment";
const wchar_t* const kXmlCommentTextName = L"Context";
const wchar_t* const kXmlRootName = L"Root";

namespace {

constexpr size_t kNumberBufferLength = 1000;

const wchar_t* TextOrEmpty(const wchar_t* text)
{
    return text != nullptr ? text : L"";
}

// Elements made elsewhere than in this file are not expected in a tree, but
// one that is added must not be mistaken for ours.
CXmlElement* AsOwnElement(IXmlElement* element)
{
    return dynamic_cast<CXmlElement*>(element);
}

void AppendTabs(std::wstring& out, int count)
{
    if (count > 0)
        out.append(static_cast<size_t>(count), L'\t');
}

} // namespace

const wchar_t* CXmlElement::GetName()
{
    return m_name.c_str();
}

void CXmlElement::SetName(const wchar_t* name)
{
    m_name = TextOrEmpty(name);
}

CXmlAttribute* CXmlElement::FindAttribute(const wchar_t* name) const
{
    const wchar_t* wanted = TextOrEmpty(name);
    for (const TIntrusivePointer<CXmlAttribute>& attribute : m_attributes) {
        if (attribute->name == wanted)
            return attribute.Get();
    }
    return nullptr;
}

bool CXmlElement::HasAttribute(const wchar_t* name)
{
    return FindAttribute(name) != nullptr;
}

const wchar_t* CXmlElement::GetAttribute(const wchar_t* name)
{
    const CXmlAttribute* attribute = FindAttribute(name);
    return attribute != nullptr ? attribute->value.c_str() : L"";
}

float CXmlElement::GetAttributeFloat(const wchar_t* name)
{
    return static_cast<float>(std::wcstod(GetAttribute(name), nullptr));
}

int32_t CXmlElement::GetAttributeInt(const wchar_t* name)
{
    return static_cast<int32_t>(std::wcstol(GetAttribute(name), nullptr, 10));
}

bool CXmlElement::GetAttributeBool(const wchar_t* name)
{
    return std::wcscmp(GetAttribute(name), L"true") == 0;
}

uint32_t CXmlElement::GetAttributeUInt(const wchar_t* name)
{
    return static_cast<uint32_t>(std::wcstoul(GetAttribute(name), nullptr, 0));
}

void CXmlElement::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (CXmlAttribute* attribute = FindAttribute(name)) {
        attribute->value = TextOrEmpty(value);
        return;
    }
    m_attributes.emplace_back(new CXmlAttribute(TextOrEmpty(name), TextOrEmpty(value)));
}

void CXmlElement::SetFormattedAttribute(const wchar_t* name, const wchar_t* format, ...)
{
    wchar_t buffer[kNumberBufferLength];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vswprintf(buffer, kNumberBufferLength, format, arguments);
    va_end(arguments);
    if (length < 0)
        buffer[0] = L'\0';
    SetAttribute(name, buffer);
}

void CXmlElement::SetAttributeFloat(const wchar_t* name, float value)
{
    SetFormattedAttribute(name, L"%f", static_cast<double>(value));
}

void CXmlElement::SetAttributeInt(const wchar_t* name, int32_t value)
{
    SetFormattedAttribute(name, L"%d", static_cast<int>(value));
}

void CXmlElement::SetAttributeUInt(const wchar_t* name, uint32_t value)
{
    SetFormattedAttribute(name, L"%u", static_cast<unsigned int>(value));
}

void CXmlElement::SetAttributeBool(const wchar_t* name, bool value)
{
    SetAttribute(name, value ? L"true" : L"false");
}

void CXmlElement::AddChild(IXmlElement* element)
{
    if (element == nullptr)
        return;
    m_children.emplace_back(element, true);
    ++m_elementCount;
}

IXmlElement* CXmlElement::CreateChild()
{
    IXmlElement* child = new CXmlElement;
    AddChild(child);
    return child;
}

CXmlElement* CXmlElement::AddCommentChild()
{
    m_commentPositions.push_back(static_cast<int32_t>(m_children.size()));
    CXmlElement* comment = new CXmlElement;
    m_children.emplace_back(comment, true);
    return comment;
}

int32_t CXmlElement::GetChildCount()
{
    return m_elementCount;
}

IXmlElement* CXmlElement::GetChild(int32_t index)
{
    if (index < 0 || index >= m_elementCount)
        return nullptr;
    int32_t position = index;
    for (int32_t commentPosition : m_commentPositions) {
        if (position < commentPosition)
            break;
        ++position;
    }
    if (static_cast<size_t>(position) >= m_children.size())
        return nullptr;
    return m_children[static_cast<size_t>(position)].Get();
}

bool CXmlElement::IsCommentPosition(size_t index) const
{
    for (int32_t position : m_commentPositions) {
        if (static_cast<size_t>(position) == index)
            return true;
    }
    return false;
}

// Later comment positions move down by one with the entries behind them.
void CXmlElement::DropCommentPosition(size_t index)
{
    for (size_t i = m_commentPositions.size(); i-- > 0;) {
        const size_t position = static_cast<size_t>(m_commentPositions[i]);
        if (position > index) {
            --m_commentPositions[i];
            continue;
        }
        if (position == index)
            m_commentPositions.erase(m_commentPositions.begin() + static_cast<ptrdiff_t>(i));
        break;
    }
}

void CXmlElement::RemoveChild(IXmlElement* element)
{
    if (element == nullptr)
        return;
    for (size_t i = m_children.size(); i-- > 0;) {
        if (m_children[i].Get() != element)
            continue;
        // Whether the entry is counted depends on how it was added, not on
        // its name: a renamed element must not unbalance the count.
        if (!IsCommentPosition(i))
            --m_elementCount;
        DropCommentPosition(i);
        // Keep the element alive until the entry is gone: its release may
        // run code that looks at this list.
        TIntrusivePointer<IXmlElement> removed = m_children[i];
        m_children.erase(m_children.begin() + static_cast<ptrdiff_t>(i));
        return;
    }
}

void CXmlElement::RemoveAllChildren()
{
    std::vector<TIntrusivePointer<IXmlElement>> removed;
    removed.swap(m_children);
    m_commentPositions.clear();
    m_elementCount = 0;
}

IXmlElement* CXmlElement::FindChildByAttribute(const wchar_t* attributeName, const wchar_t* text)
{
    const wchar_t* wanted = TextOrEmpty(text);
    const int32_t count = GetChildCount();
    for (int32_t i = 0; i < count; ++i) {
        IXmlElement* child = GetChild(i);
        if (child != nullptr && std::wcscmp(child->GetAttribute(attributeName), wanted) == 0)
            return child;
    }
    return nullptr;
}

// Children are asked before any grandchild, so the shallowest match wins;
// deeper levels go through the children's own search.
IXmlElement* CXmlElement::FindDescendantByAttribute(const wchar_t* attributeName, const wchar_t* text,
                                                    IXmlElement* (IXmlElement::*descend)(const wchar_t*))
{
    if (IXmlElement* found = FindChildByAttribute(attributeName, text))
        return found;
    const int32_t count = GetChildCount();
    for (int32_t i = 0; i < count; ++i) {
        IXmlElement* child = GetChild(i);
        if (child == nullptr)
            continue;
        if (IXmlElement* found = (child->*descend)(text))
            return found;
    }
    return nullptr;
}

void CXmlElement::SetNameAttribute(const wchar_t* text)
{
    SetAttribute(L"Name", text);
}

const wchar_t* CXmlElement::GetNameAttribute()
{
    return GetAttribute(L"Name");
}

IXmlElement* CXmlElement::FindChildByNameAttribute(const wchar_t* text)
{
    return FindChildByAttribute(L"Name", text);
}

IXmlElement* CXmlElement::FindDescendantByNameAttribute(const wchar_t* text)
{
    return FindDescendantByAttribute(L"Name", text, &IXmlElement::FindDescendantByNameAttribute);
}

void CXmlElement::SetTagAttribute(const wchar_t* text)
{
    SetAttribute(L"Tag", text);
}

const wchar_t* CXmlElement::GetTagAttribute()
{
    return GetAttribute(L"Tag");
}

IXmlElement* CXmlElement::FindChildByTagAttribute(const wchar_t* text)
{
    return FindChildByAttribute(L"Tag", text);
}

IXmlElement* CXmlElement::FindDescendantByTagAttribute(const wchar_t* text)
{
    return FindDescendantByAttribute(L"Tag", text, &IXmlElement::FindDescendantByTagAttribute);
}

IXmlElement* CXmlElement::FindChildByElementName(const wchar_t* name)
{
    const wchar_t* wanted = TextOrEmpty(name);
    const int32_t count = GetChildCount();
    for (int32_t i = 0; i < count; ++i) {
        IXmlElement* child = GetChild(i);
        if (child != nullptr && std::wcscmp(child->GetName(), wanted) == 0)
            return child;
    }
    return nullptr;
}

void CXmlElement::WriteTo(std::wstring& out, int depth) const
{
    AppendTabs(out, depth);
    const bool isRoot = m_name == kXmlRootName;
    if (isRoot) {
        --depth;
    } else if (m_name == kXmlCommentName) {
        out += L"--";
        if (!m_attributes.empty())
            out += m_attributes.front()->value;
        out += L"\r\n";
        return;
    } else {
        out += L'<';
        out += m_name;
        for (const TIntrusivePointer<CXmlAttribute>& attribute : m_attributes) {
            out += L' ';
            out += attribute->name;
            out += L"=\"";
            out += attribute->value;
            out += L'"';
        }
        if (m_children.empty())
            out += L'/';
        out += L">\r\n";
    }
    for (const TIntrusivePointer<IXmlElement>& child : m_children) {
        if (const CXmlElement* own = AsOwnElement(child.Get())) {
            own->WriteTo(out, depth + 1);
            continue;
        }
        TIntrusivePointer<IString> text = IString_Create();
        child->SaveToString(text);
        AppendTabs(out, depth + 1);
        out += text->GetUtf16();
    }
    if (!isRoot && !m_children.empty()) {
        AppendTabs(out, depth);
        out += L"</";
        out += m_name;
        out += L">\r\n";
    }
}

const CXmlAttribute* CXmlElement::FindUnwritableAttribute() const
{
    if (m_name != kXmlCommentName) {
        for (const TIntrusivePointer<CXmlAttribute>& attribute : m_attributes) {
            if (attribute->value.find(L'"') != std::wstring::npos)
                return attribute.Get();
        }
    }
    for (const TIntrusivePointer<IXmlElement>& child : m_children) {
        const CXmlElement* own = AsOwnElement(child.Get());
        if (const CXmlAttribute* found = own != nullptr ? own->FindUnwritableAttribute() : nullptr)
            return found;
    }
    return nullptr;
}

void CXmlElement::SaveToString(TIntrusivePointer<IString> out)
{
    if (out.IsNull())
        return;
    std::wstring text;
    WriteTo(text, 0);
    out->SetUtf16(text.c_str());
}

void CXmlElement::Print()
{
    PrintAt(0);
}

void CXmlElement::PrintAt(int depth) const
{
    PrintUnicodeString(std::wstring(static_cast<size_t>(depth), L' ').c_str());
    PrintUnicodeString(m_name.c_str());
    for (const TIntrusivePointer<CXmlAttribute>& attribute : m_attributes) {
        PrintUnicodeString(L" ");
        PrintUnicodeString(attribute->name.c_str());
        PrintUnicodeString(L"=\"");
        PrintUnicodeString(attribute->value.c_str());
        PrintUnicodeString(L"\"");
    }
    PrintUnicodeString(L"\n");
    for (const TIntrusivePointer<IXmlElement>& child : m_children) {
        if (const CXmlElement* own = AsOwnElement(child.Get()))
            own->PrintAt(depth + 2);
    }
}

TIntrusivePointer<IXmlElement> IXmlElement_Create()
{
    return TIntrusivePointer<IXmlElement>(new CXmlElement, true);
}

} // namespace Common
} // namespace RVGameEngine
