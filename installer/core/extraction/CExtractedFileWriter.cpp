#include "installer/core/extraction/CExtractedFileWriter.h"

#include "engine/common/base/CAutoLock.h"
#include "engine/common/base/CCriticalSection.h"
#include "engine/common/base/LogTextFunctions.h"
#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/ReparsePointFunctions.h"

#include <string>

using RVGameEngine::Common::CScopedKernelHandle;
using RVGameEngine::Common::LoggableText;
using RVGameEngine::FileSystem::CCheckedFileWriter;
using RVGameEngine::FileSystem::CHECKED_REACH;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;

namespace {

RVGameEngine::Common::CCriticalSection g_targetLock;
CScopedKernelHandle g_target;

// Whether the folder set is the current one (reached from its root, checked):
// a writer of another folder's extraction (a test's, a later step's) writes
// where it is, never into a folder set long before.
bool IsCurrentFolder(HANDLE folder)
{
    CScopedKernelHandle current;
    DWORD error = ERROR_SUCCESS;
    BY_HANDLE_FILE_INFORMATION a{};
    BY_HANDLE_FILE_INFORMATION b{};
    return RVGameEngine::FileSystem::OpenCheckedCurrentFolder(&current, &error) ==
               RVGameEngine::FileSystem::CHECKED_REACH_DONE &&
           GetFileInformationByHandle(current.Get(), &a) && GetFileInformationByHandle(folder, &b) &&
           a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

} // namespace

CExtractedFileWriter::CExtractedFileWriter()
{
    RVGameEngine::Common::CAutoLock guard(&g_targetLock);
    if (g_target && IsCurrentFolder(g_target.Get()))
        m_writer.SetBase(g_target.Get());
}

void CExtractedFileWriter::SetTargetFolder(HANDLE folder)
{
    HANDLE copy = nullptr;
    if (folder != nullptr && folder != INVALID_HANDLE_VALUE &&
        !DuplicateHandle(GetCurrentProcess(), folder, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        copy = nullptr;
    RVGameEngine::Common::CAutoLock guard(&g_targetLock);
    g_target.Reset(copy);
}

HANDLE CExtractedFileWriter::Open(const wchar_t* name, DWORD* error)
{
    *error = ERROR_SUCCESS;
    // Names pass through the file system's replacement list, as every write does.
    const std::wstring replaced = IVirtualFileSystem_GetInstance()->ReplaceFilename(name)->GetUtf16();
    if (replaced.empty()) {
        *error = ERROR_INVALID_NAME;
        return INVALID_HANDLE_VALUE;
    }
    CHECKED_REACH reach = RVGameEngine::FileSystem::CHECKED_REACH_DONE;
    const HANDLE file = m_writer.Open(replaced, &reach, error);
    if (reach == RVGameEngine::FileSystem::CHECKED_REACH_LINK)
        ILogFile_GetInstance()->Log(
            RVGameEngine::FileSystem::LOG_LEVEL_ERROR,
            L"Package entry %s not written: %s on its path leads out of the folder written to",
            LoggableText(replaced).c_str(), RVGameEngine::FileSystem::kLinkKinds);
    else if (m_writer.WasMadeAnew())
        ILogFile_GetInstance()->Log(RVGameEngine::FileSystem::LOG_LEVEL_WARNING,
                                    L"%s had other names (a hard link) or was a placeholder: it is made anew",
                                    LoggableText(replaced.substr(replaced.find_last_of(L"/\\") + 1)).c_str());
    return file;
}

bool CExtractedFileWriter::Write(const wchar_t* name, const void* bytes, uint32_t size, DWORD* error)
{
    CScopedKernelHandle file(Open(name, error));
    return file && CCheckedFileWriter::Append(file.Get(), bytes, size, error);
}
