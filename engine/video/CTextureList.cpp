#include "engine/video/CTextureList.h"

#include "engine/common/base/Console.h"
#include "engine/common/base/StringFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/documents/IXmlScript.h"
#include "engine/video/ITextureManager.h"
#include "engine/video/IVideoDriver.h"

#include <new>

namespace RVGameEngine {
namespace Video {

namespace {

// A batch is flushed before it grows past this many indices, which keeps it
// within 16-bit indices with room to spare.
constexpr int kBatchIndexLimit = 1999;

} // namespace

CTextureList::CTextureList() : m_batch(IMeshBuffer_Create(MESH_BUFFER_TYPE_2D)) {}

void CTextureList::LoadImageList(const wchar_t* path, uint32_t filter)
{
    if (path == nullptr)
        return;
    if (!FileSystem::IVirtualFileSystem_GetInstance()->FileExists(path)) {
        Common::ShowEngineDebuggingWarningMessage(L"ImageList %s not found!", path);
        return;
    }
    Common::TIntrusivePointer<Common::IXmlScript> script = Common::IXmlScript_Create();
    Common::IXmlElement* list = script->LoadFromFile(path)->FindChildByElementName(L"ImageList");
    if (list == nullptr) {
        FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR,
                                                L"ImageList %s has no ImageList element", path);
        return;
    }
    for (int32_t i = 0; i < list->GetChildCount(); ++i) {
        Common::IXmlElement* element = list->GetChild(i);
        // An image of that name is already there (a list loaded twice). An
        // empty name is not a match: an entry with neither name nor file
        // would otherwise hide every later entry named by its file.
        const wchar_t* name = element->GetAttribute(L"Name");
        if (name[0] != L'\0' && HasImage(name))
            continue;
        Common::TIntrusivePointer<CPackedTexture> image(new (std::nothrow) CPackedTexture());
        if (image.IsNull())
            return;
        image->Name = name;
        image->Filename = element->GetAttribute(L"Filename");
        if (image->Name.empty())
            image->Name = image->Filename;
        if (!image->Filename.empty()) {
            image->Texture = Common::TIntrusivePointer<ITexture>(
                ITextureManager_GetInstance()->GetTexture(image->Filename.c_str(), filter));
            if (element->HasAttribute(L"X")) {
                image->X = element->GetAttributeInt(L"X");
                image->Y = element->GetAttributeInt(L"Y");
                image->W = element->GetAttributeInt(L"W");
                image->H = element->GetAttributeInt(L"H");
            } else {
                image->SizeFromTexture = true;
            }
        }
        // Kept all the same; lookups find the earlier image.
        if (HasImage(image->Name.c_str()))
            Common::ShowEngineDebuggingWarningMessage(L"Image %s duplicated!", image->Name.c_str());
        m_images.push_back(image);
    }
}

void CTextureList::LoadImageList(const wchar_t* path)
{
    LoadImageList(path, 0);
}

bool CTextureList::HasImage(const wchar_t* name)
{
    if (name == nullptr)
        return false;
    for (const auto& image : m_images)
        if (image->Name == name)
            return true;
    return false;
}

int CTextureList::Find(const wchar_t* name, bool warn)
{
    if (name == nullptr)
        return -1;
    Common::TIntrusivePointer<Common::IString> replaced =
        FileSystem::IVirtualFileSystem_GetInstance()->ReplaceFilename(name);
    const wchar_t* replacedName = replaced.IsNull() ? name : replaced->GetUtf16();
    for (size_t i = 0; i < m_images.size(); ++i) {
        const wchar_t* imageName = m_images[i]->Name.c_str();
        if (Common::UnicodeStringIgnoreEqual(imageName, name) ||
            Common::UnicodeStringIgnoreEqual(imageName, replacedName))
            return static_cast<int>(i);
    }
    if (warn)
        Common::ShowEngineDebuggingWarningMessage(L"Image %s not found!", name);
    return -1;
}

int CTextureList::FindImage(const wchar_t* name)
{
    return Find(name, true);
}

int CTextureList::FindImageQuiet(const wchar_t* name)
{
    return Find(name, false);
}

CPackedTexture* CTextureList::ImageAt(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_images.size())
        return nullptr;
    CPackedTexture* image = m_images[index].Get();
    image->RefreshSize();
    return image;
}

void CTextureList::GetImageSize(int index, int& w, int& h)
{
    if (CPackedTexture* image = ImageAt(index)) {
        w = image->W;
        h = image->H;
    }
}

bool CTextureList::PrepareBatch(CPackedTexture* image)
{
    if (image == nullptr || image->Texture.IsNull())
        return false;
    if (m_batch->GetIndexCount() > kBatchIndexLimit)
        Flush();
    if (m_batch->GetTexture() != image->Texture.Get()) {
        Flush();
        m_batch->SetTexture(image->Texture.Get());
    }
    return true;
}

void CTextureList::AddQuadToBatch(CPackedTexture& image, const float corners[8], float sx, float sy, float sw,
                                  float sh, tagColor color)
{
    IVideoDriver* driver = IVideoDriver_GetInstance();
    if (driver == nullptr)
        return;
    float uLeft, uRight, vTop, vBottom;
    driver->ComputeTexCoords(image.Texture.Get(), sx, sy, sw, sh, uLeft, uRight, vTop, vBottom);
    uint32_t c;
    driver->ToDeviceColor(c, color);
    const int topLeft = m_batch->AddVertex(corners[0], corners[1], c, uLeft, vTop);
    const int topRight = m_batch->AddVertex(corners[2], corners[3], c, uRight, vTop);
    const int bottomLeft = m_batch->AddVertex(corners[4], corners[5], c, uLeft, vBottom);
    const int bottomRight = m_batch->AddVertex(corners[6], corners[7], c, uRight, vBottom);
    m_batch->AddQuad(static_cast<uint16_t>(topLeft), static_cast<uint16_t>(topRight),
                     static_cast<uint16_t>(bottomLeft), static_cast<uint16_t>(bottomRight));
}

void CTextureList::AddToBatch(CPackedTexture& image, float x, float y, float w, float h, float sx, float sy,
                              float sw, float sh, tagColor color)
{
    IVideoDriver* driver = IVideoDriver_GetInstance();
    if (driver == nullptr)
        return;
    driver->ClipRectWithSource(x, y, w, h, sx, sy, sw, sh);
    if (!(sw > 0.0f && sh > 0.0f))
        return;
    const float corners[8] = {x, y, x + w, y, x, y + h, x + w, y + h};
    AddQuadToBatch(image, corners, sx, sy, sw, sh, color);
}

void CTextureList::DrawImage(int index, int x, int y, int w, int h, int sx, int sy, int sw, int sh, tagColor color)
{
    CPackedTexture* image = ImageAt(index);
    if (!PrepareBatch(image))
        return;
    AddToBatch(*image, float(x), float(y), float(w), float(h), float(image->X + sx), float(image->Y + sy),
               float(sw), float(sh), color);
}

void CTextureList::DrawImage(int index, int x, int y, int w, int h, int sx, int sy, int sw, int sh)
{
    DrawImage(index, x, y, w, h, sx, sy, sw, sh, tagColor::White());
}

void CTextureList::DrawImage(int index, int x, int y, int w, int h, tagColor color)
{
    if (CPackedTexture* image = ImageAt(index))
        DrawImage(index, x, y, w, h, 0, 0, image->W, image->H, color);
}

void CTextureList::DrawImage(int index, int x, int y, int w, int h)
{
    DrawImage(index, x, y, w, h, tagColor::White());
}

void CTextureList::DrawImage(int index, int x, int y, tagColor color)
{
    if (CPackedTexture* image = ImageAt(index))
        DrawImage(index, x, y, image->W, image->H, color);
}

void CTextureList::DrawImage(int index, int x, int y)
{
    DrawImage(index, x, y, tagColor::White());
}

void CTextureList::DrawImageMirrored(int index, int x, int y, int w, int h)
{
    DrawImage(index, x + w, y, -w, h);
}

void CTextureList::DrawImageQuad(int index, float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                                 float y3)
{
    if (CPackedTexture* image = ImageAt(index))
        DrawImageQuad(index, x0, y0, x1, y1, x2, y2, x3, y3, float(image->X), float(image->Y), float(image->W),
                      float(image->H), tagColor::White());
}

void CTextureList::DrawImageQuad(int index, float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                                 float y3, float sx, float sy, float sw, float sh, tagColor color)
{
    CPackedTexture* image = ImageAt(index);
    if (!PrepareBatch(image))
        return;
    const float corners[8] = {x0, y0, x1, y1, x2, y2, x3, y3};
    AddQuadToBatch(*image, corners, sx, sy, sw, sh, color);
}

void CTextureList::DrawImage(int index, float x, float y, float w, float h)
{
    CPackedTexture* image = ImageAt(index);
    if (!PrepareBatch(image))
        return;
    AddToBatch(*image, x, y, w, h, float(image->X), float(image->Y), float(image->W), float(image->H),
               tagColor::White());
}

void CTextureList::Flush()
{
    m_batch->Draw();
    m_batch->Clear();
}

ITextureList* ITextureList_GetInstance()
{
    // Never destroyed: images may be drawn until the very end of the process.
    static CTextureList* list = new CTextureList();
    return list;
}

} // namespace Video
} // namespace RVGameEngine
