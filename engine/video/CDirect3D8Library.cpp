#include "engine/video/CDirect3D8Library.h"

#include "engine/filesystem/ILogFile.h"

namespace RVGameEngine {
namespace Video {

namespace {

constexpr UINT kDirect3DSdkVersion = 220;
using Direct3DCreate8Function = IDirect3D8*(WINAPI*)(UINT);

void LogFailure(const wchar_t* what)
{
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_ERROR, L"Direct3D 8: %s", what);
}

} // namespace

bool CDirect3D8Library::CreateDirect3D(Common::TComPointer<IDirect3D8>& direct3D)
{
    direct3D.Reset();
    if (!m_module)
        m_module.Reset(::LoadLibraryW(L"D3D8.DLL"));
    if (!m_module) {
        LogFailure(L"D3D8.DLL cannot be loaded");
        return false;
    }
    auto create = reinterpret_cast<Direct3DCreate8Function>(
        reinterpret_cast<void*>(::GetProcAddress(m_module.Get(), "Direct3DCreate8")));
    if (create == nullptr) {
        LogFailure(L"Direct3DCreate8 is missing");
        return false;
    }
    *direct3D.Receive() = create(kDirect3DSdkVersion);
    if (!direct3D) {
        LogFailure(L"Direct3DCreate8 gave no object");
        return false;
    }
    return true;
}

} // namespace Video
} // namespace RVGameEngine
