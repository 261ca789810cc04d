#include "installer/core/CExtractedFileWriter.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/common/system/FolderRemovalFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <algorithm>

using RVGameEngine::Common::CScopedKernelHandle;
using RVGameEngine::FileSystem::IVirtualFileSystem;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;

namespace {

HANDLE CreateReplacing(const std::wstring& name)
{
    return CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

bool WriteAll(HANDLE file, const void* bytes, uint32_t size)
{
    const uint8_t* at = static_cast<const uint8_t*>(bytes);
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, at, size, &written, nullptr) || written == 0)
            return false;
        at += written;
        size -= written;
    }
    return true;
}

std::wstring WithBackslashes(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

void LogLinkRefused(const std::wstring& name)
{
    RVGameEngine::FileSystem::ILogFile_GetInstance()->Log(
        RVGameEngine::FileSystem::LOG_LEVEL_ERROR,
        L"Package entry %s not written: a link in its path leads out of the folder written to", name.c_str());
}

} // namespace

std::wstring CExtractedFileWriter::ExpectedFinalPath(const std::wstring& name)
{
    if (m_baseFinalPath.empty())
        m_baseFinalPath = RVGameEngine::Common::GetUnfollowedFinalPath(L".");
    return m_baseFinalPath.empty() ? std::wstring() : m_baseFinalPath + L"\\" + WithBackslashes(name);
}

bool CExtractedFileWriter::ReachesThroughLink(const std::wstring& name)
{
    std::wstring part = WithBackslashes(name);
    while (!part.empty()) {
        if (GetFileAttributesW(part.c_str()) != INVALID_FILE_ATTRIBUTES)
            return !RVGameEngine::Common::IsSameFinalPath(RVGameEngine::Common::GetUnfollowedFinalPath(part.c_str()),
                                                          ExpectedFinalPath(part));
        const size_t separator = part.find_last_of(L'\\');
        part = separator == std::wstring::npos ? std::wstring() : part.substr(0, separator);
    }
    return false;
}

bool CExtractedFileWriter::MakeFolderOf(const std::wstring& name)
{
    const size_t separator = name.find_last_of(L"/\\");
    if (separator == std::wstring::npos)
        return false;
    const std::wstring folder = name.substr(0, separator);
    if (!m_madeFolders.insert(folder).second)
        return false;
    IVirtualFileSystem_GetInstance()->CreateDirectory(folder.c_str());
    return true;
}

HANDLE CExtractedFileWriter::Create(const std::wstring& name, DWORD* error)
{
    if (ReachesThroughLink(name)) {
        LogLinkRefused(name);
        *error = ERROR_CANT_ACCESS_FILE;
        return INVALID_HANDLE_VALUE;
    }
    HANDLE file = CreateReplacing(name);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND && MakeFolderOf(name))
        file = CreateReplacing(name);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            IVirtualFileSystem_GetInstance()->ClearReadOnly(name.c_str());
            file = CreateReplacing(name);
        } else {
            SetLastError(ERROR_ACCESS_DENIED);
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return file;
    }
    // A link planted between the check and the creation.
    CScopedKernelHandle opened(file);
    using RVGameEngine::Common::IsSameFinalPath;
    if (!IsSameFinalPath(RVGameEngine::Common::GetHandleFinalPath(opened.Get()), ExpectedFinalPath(name))) {
        LogLinkRefused(name);
        *error = ERROR_CANT_ACCESS_FILE;
        return INVALID_HANDLE_VALUE;
    }
    return opened.Release();
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
    return Create(replaced, error);
}

bool CExtractedFileWriter::Append(HANDLE file, const void* bytes, uint32_t size, DWORD* error)
{
    if (WriteAll(file, bytes, size))
        return true;
    *error = GetLastError();
    return false;
}

bool CExtractedFileWriter::Write(const wchar_t* name, const void* bytes, uint32_t size, DWORD* error)
{
    CScopedKernelHandle file(Open(name, error));
    return file && Append(file.Get(), bytes, size, error);
}
