#include "engine/directui/uisystem/CUIWindow.h"

#include "engine/common/base/Console.h"
#include "engine/directui/uisystem/CUISystem.h"
#include "engine/directui/uisystem/UIColorFunctions.h"
#include "engine/filesystem/documents/IXmlElement.h"
#include "engine/filesystem/documents/IXmlScript.h"
#include "engine/filesystem/ILogFile.h"

#include <cwchar>

// The window base: the child list, removal and its release of the UI
// system, searches, and loading from XML descriptions.

namespace RVGameEngine {
namespace DirectUI {

namespace {

constexpr int32_t kAlignmentWordCount = 9;
const wchar_t* const kAlignmentWords[kAlignmentWordCount] = {
    L"TopLeft",    L"TopCenter",    L"TopRight",    L"CenterLeft", L"CenterCenter",
    L"CenterRight", L"BottomLeft", L"BottomCenter", L"BottomRight"};

// -1 for a word that is none of the nine.
int32_t AlignmentFromWord(const wchar_t* word)
{
    for (int32_t i = 0; i < kAlignmentWordCount; ++i) {
        if (wcscmp(word, kAlignmentWords[i]) == 0)
            return i;
    }
    return -1;
}

} // namespace

void CUIWindow::OnCreated() {}

void CUIWindow::AddChild(IUIWindow* child)
{
    Common::TIntrusivePointer<CUIWindow> added(AsCUIWindow(child));
    if (added.IsNull())
        return;
    // A window inside its own subtree would make every walk of the tree endless.
    for (CUIWindow* ancestor = this; ancestor != nullptr; ancestor = ancestor->m_parent) {
        if (ancestor == added.Get()) {
            FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR,
                                                    L"Window %s cannot be added below itself", added->GetName());
            return;
        }
    }
    // A window is in one child list only: adding it elsewhere moves it.
    added->LeaveParent(m_system);
    CUISystem* system = AsCUISystem(m_system);
    const wchar_t* name = added->GetName();
    if (system != nullptr && name[0] != L'\0') {
        const Common::TIntrusivePointer<IUIWindow> registered = system->FindRegisteredWindow(name);
        if (!registered.IsNull() && registered.Get() != added->AsWindow())
            Common::ShowEngineDebuggingWarningMessage(L"Window name collision: %s", name);
    }
    added->SetUISystem(m_system);
    added->SetParentWindow(this);
    m_children.push_back(added);
    if (system != nullptr)
        system->RegisterWindowName(added->GetName(), Common::TIntrusivePointer<IUIWindow>(added->AsWindow()));
}

void CUIWindow::LeaveParent(IUISystem* nextSystem)
{
    CUIWindow* parent = m_parent;
    if (parent == nullptr)
        return;
    // Within one UI system the window keeps its handlers, names and holds.
    if (m_system != nextSystem)
        ReleaseFromSystem(false);
    parent->EraseChild(this);
    m_parent = nullptr;
    parent->Invalidate();
}

void CUIWindow::EraseChild(CUIWindow* child)
{
    for (auto it = m_children.begin(); it != m_children.end(); ++it) {
        if (it->Get() == child) {
            m_children.erase(it);
            return;
        }
    }
}

bool CUIWindow::RemoveWindow(IUIWindow* window)
{
    if (window == nullptr)
        return false;
    for (CUIWindow& child : VisitChildren(enmVisitOrder::FirstToLast)) {
        if (child.RemoveWindow(window))
            return true;
        if (child.AsWindow() != window)
            continue;
        child.DetachFromSystem();
        EraseChild(&child);
        child.ForgetParentAndSystem();
        return true;
    }
    return false;
}

void CUIWindow::ForgetParentAndSystem()
{
    m_parent = nullptr;
    SetUISystem(nullptr);
}

void CUIWindow::DetachFromSystem()
{
    ReleaseFromSystem(true);
}

void CUIWindow::ReleaseFromSystem(bool dropHandlers)
{
    // Handlers go first: giving up the focus below fires focus-lost, which
    // must not reach a window that is leaving.
    if (dropHandlers) {
        RemoveAllDelegates();
        m_hoverWindow.Reset();
        m_wheelTarget.Reset();
    }
    CUISystem* system = AsCUISystem(m_system);
    if (system != nullptr)
        system->UnregisterWindowName(m_name.c_str(), AsWindow());
    for (CUIWindow& child : VisitChildren(enmVisitOrder::FirstToLast))
        child.ReleaseFromSystem(dropHandlers);
    if (system != nullptr)
        system->ReleaseHoldsOn(AsWindow());
}

IUIWindow* CUIWindow::GetChild(int32_t index)
{
    if (index < 0 || index >= GetChildCount())
        return nullptr;
    CUIWindow* child = m_children[static_cast<size_t>(index)].Get();
    return child != nullptr ? child->AsWindow() : nullptr;
}

IUIWindow* CUIWindow::FindChild(const wchar_t* name)
{
    const wchar_t* wanted = OrEmpty(name);
    return FindChildWhere([wanted](CUIWindow& child) { return child.m_name == wanted; });
}

IUIWindow* CUIWindow::FindWindow(const wchar_t* name)
{
    const wchar_t* wanted = OrEmpty(name);
    CUISystem* system = AsCUISystem(m_system);
    if (wanted[0] != L'\0' && system != nullptr)
        return system->FindRegisteredWindow(wanted).Get();
    // The empty name (and a window outside any UI system) searches the subtree.
    if (IUIWindow* child = FindChild(wanted))
        return child;
    return FindBelowChildren([wanted](CUIWindow& child) { return child.FindWindow(wanted); });
}

IUIWindow* CUIWindow::FindChildByTag(const wchar_t* tag)
{
    const wchar_t* wanted = OrEmpty(tag);
    return FindChildWhere([wanted](CUIWindow& child) { return child.m_tag.text == wanted; });
}

IUIWindow* CUIWindow::FindWindowByTag(const wchar_t* tag)
{
    if (IUIWindow* child = FindChildByTag(tag))
        return child;
    return FindBelowChildren([tag](CUIWindow& child) { return child.FindWindowByTag(tag); });
}

void CUIWindow::RemoveAllChildren()
{
    for (CUIWindow& child : VisitChildren(enmVisitOrder::LastToFirst))
        RemoveWindow(child.AsWindow());
}

void CUIWindow::BringChildToFront(IUIWindow* child)
{
    // Moved in place: the window keeps its subscriptions and registrations.
    for (size_t i = 0; i + 1 < m_children.size(); ++i) {
        if (!m_children[i].IsNull() && m_children[i]->AsWindow() == child) {
            Common::TIntrusivePointer<CUIWindow> moved = m_children[i];
            m_children.erase(m_children.begin() + static_cast<std::ptrdiff_t>(i));
            m_children.push_back(moved);
            moved->Invalidate();
            return;
        }
    }
}

void CUIWindow::BringToFront()
{
    if (m_parent != nullptr)
        m_parent->BringChildToFront(AsWindow());
}

int32_t CUIWindow::GetChildCount()
{
    return static_cast<int32_t>(m_children.size());
}

IUIWindow* CUIWindow::GetParent()
{
    return m_parent != nullptr ? m_parent->AsWindow() : nullptr;
}

void CUIWindow::SetParentWindow(IUIWindow* parent)
{
    m_parent = AsCUIWindow(parent);
}

void CUIWindow::SetUISystem(IUISystem* system)
{
    m_system = system;
    m_driver = system != nullptr ? system->GetDriver() : nullptr;
    for (CUIWindow& child : VisitChildren(enmVisitOrder::FirstToLast))
        child.SetUISystem(system);
}

IUISystem* CUIWindow::GetUISystem()
{
    return m_system;
}

// ---- XML -------------------------------------------------------------------------

void CUIWindow::LoadFromXmlFile(const wchar_t* path)
{
    Common::TIntrusivePointer<Common::IXmlScript> document = Common::IXmlScript_Create();
    if (!document.IsNull())
        LoadAttributes(document->LoadFromFile(path));
}

void CUIWindow::LoadNameFromXml(Common::IXmlElement* element)
{
    if (element != nullptr)
        SetName(element->GetAttribute(L"Name"));
}

IUIImage* CUIWindow::LoadImageFromXml(Common::IXmlElement* element, const wchar_t* tag)
{
    Common::IXmlElement* imageElement = element != nullptr ? element->FindChildByTagAttribute(tag) : nullptr;
    if (imageElement == nullptr)
        return nullptr;
    const wchar_t* fileName = imageElement->GetAttribute(L"Filename");
    if (fileName[0] == L'\0')
        return nullptr;
    IUIImage* image = IImage_Create(m_system != nullptr ? m_system->GetDriver() : nullptr);
    if (image == nullptr)
        return nullptr;
    image->Load(fileName);
    if (imageElement->HasAttribute(L"X"))
        image->SetSubRect(true, imageElement->GetAttributeInt(L"X"), imageElement->GetAttributeInt(L"Y"),
                          imageElement->GetAttributeInt(L"Width"), imageElement->GetAttributeInt(L"Height"));
    if (imageElement->HasAttribute(L"PX"))
        image->SetDrawPoint(true, imageElement->GetAttributeInt(L"PX"), imageElement->GetAttributeInt(L"PY"));
    return image;
}

void CUIWindow::LoadAttributes(Common::IXmlElement* element)
{
    if (element == nullptr)
        return;
    IUIWindow* self = AsWindow();
    if (element->HasAttribute(L"Name"))
        self->SetName(element->GetAttribute(L"Name"));
    if (element->HasAttribute(L"Alias"))
        self->SetAlias(element->GetAttribute(L"Alias"));
    self->SetTag(element->GetAttribute(L"Tag"));
    self->SetTag2(element->GetAttribute(L"Tag2"));
    self->SetTag3(element->GetAttribute(L"Tag3"));
    self->SetTag4(element->GetAttribute(L"Tag4"));
    self->SetTag5(element->GetAttribute(L"Tag5"));
    // A description giving only a zero Y and Height keeps the rectangle.
    if (element->HasAttribute(L"X") || element->GetAttributeInt(L"Y") != 0 || element->HasAttribute(L"Width") ||
        element->GetAttributeInt(L"Height") != 0)
        self->SetRect(element->GetAttributeInt(L"X"), element->GetAttributeInt(L"Y"),
                      element->GetAttributeInt(L"Width"), element->GetAttributeInt(L"Height"));
    if (element->HasAttribute(L"TitleStartPos"))
        m_titleStartPos = element->GetAttributeInt(L"TitleStartPos");
    self->SetExtraReactWidth(element->GetAttributeInt(L"ExtraReactWidth"));
    if (element->HasAttribute(L"Visible"))
        element->GetAttributeBool(L"Visible") ? self->Show() : self->Hide();
    if (element->HasAttribute(L"Enable"))
        element->GetAttributeBool(L"Enable") ? self->Enable() : self->Disable();
    self->SetPenetrable(element->GetAttributeBool(L"Penetrable"));
    self->SetTitleFont(element->HasAttribute(L"TitleFont") ? element->GetAttribute(L"TitleFont") : L"Default");
    if (element->HasAttribute(L"TitleColor"))
        self->SetTitleColor(ParseUIColor(element->GetAttribute(L"TitleColor")));
    if (element->HasAttribute(L"BackgroundImageColor"))
        self->SetBackgroundImageColor(ParseUIColor(element->GetAttribute(L"BackgroundImageColor")));
    if (element->HasAttribute(L"MaxBytesShow"))
        self->SetMaxBytesShow(element->GetAttributeInt(L"MaxBytesShow"));
    self->SetTitle(element->GetAttribute(L"Title"));

    Common::TIntrusivePointer<IUIImage> smart(LoadImageFromXml(element, L"Smart"));
    if (!smart.IsNull()) {
        self->SetBackgroundImage(smart.Get());
        self->SetWidth(smart->GetImageWidth());
        self->SetHeight(smart->GetImageHeight());
    } else {
        Common::TIntrusivePointer<IUIImage> background(LoadImageFromXml(element, L"Background"));
        self->SetBackgroundImage(background.Get());
    }

    self->SetFrameDrag(element->GetAttributeBool(L"FrameDrag"));
    self->SetCommitsString(element->GetAttributeBool(L"CommitsString"));
    if (element->HasAttribute(L"TitleAlign")) {
        const int32_t align = AlignmentFromWord(element->GetAttribute(L"TitleAlign"));
        if (align >= 0)
            self->SetTitleAlign(align);
    }
    if (element->HasAttribute(L"AnchorMode")) {
        const int32_t mode = AlignmentFromWord(element->GetAttribute(L"AnchorMode"));
        if (mode >= 0)
            self->SetAnchorMode(mode);
    }
    LoadChildren(element);
}

void CUIWindow::LoadChildren(Common::IXmlElement* element)
{
    if (m_system == nullptr)
        return;
    for (int32_t i = 0; i < element->GetChildCount(); ++i) {
        Common::IXmlElement* childElement = element->GetChild(i);
        if (childElement == nullptr)
            continue;
        Common::TIntrusivePointer<IUIWindow> child(m_system->CreateControl(childElement->GetName()));
        CUIWindow* created = AsCUIWindow(child.Get());
        if (created == nullptr)
            continue;
        child->OnCreated();
        created->LoadNameFromXml(childElement);
        AddChild(child.Get());
        child->LoadAttributes(childElement);
    }
}

} // namespace DirectUI
} // namespace RVGameEngine
