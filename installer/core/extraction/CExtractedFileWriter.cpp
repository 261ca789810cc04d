#include "installer/core/extraction/CExtractedFileWriter.h"

#include "engine/common/base/LogTextFunctions.h"
#include "engine/common/system/FolderRemovalFunctions.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

using RVGameEngine::Common::CScopedKernelHandle;
using RVGameEngine::Common::ENTRY_KIND_FILE;
using RVGameEngine::Common::ENTRY_KIND_FOLDER;
using RVGameEngine::Common::ENTRY_OPEN_EXISTING;
using RVGameEngine::Common::ENTRY_OPEN_NEW;
using RVGameEngine::Common::LoggableText;
using RVGameEngine::Common::tagEntryIdentity;
using RVGameEngine::Common::tagListedEntry;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;

namespace {

constexpr DWORD kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
constexpr DWORD kFileAccess = GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
constexpr DWORD kAttributeAccess = FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
constexpr DWORD kReplacedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// An entry that another program makes and removes under our hands as often
// as this is taken for a link (it is one, under some systems: one leading
// nowhere can be neither opened nor made).
constexpr int kOpenAttempts = 4;

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

void LogLinkRefused(const std::wstring& name)
{
    ILogFile_GetInstance()->Log(RVGameEngine::FileSystem::LOG_LEVEL_ERROR,
                                L"Package entry %s not written: a link in its path leads out of the folder written to",
                                LoggableText(name).c_str());
}

// Names compare as the system compares them: letter case aside.
std::wstring InCapitals(std::wstring name)
{
    if (!name.empty())
        CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

bool IsLink(const tagEntryIdentity& identity)
{
    return (identity.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool SetAttributes(HANDLE handle, DWORD attributes)
{
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = attributes;
    return SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic) != 0;
}

bool CutToNothing(HANDLE handle)
{
    FILE_END_OF_FILE_INFO end{};
    return SetFileInformationByHandle(handle, FileEndOfFileInfo, &end, sizeof end) != 0;
}

} // namespace

DWORD CExtractedFileWriter::ReplacedAttributes(DWORD attributes)
{
    const DWORD kept = attributes & ~kReplacedAttributes;
    return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

CExtractedFileWriter::enmReach CExtractedFileWriter::OpenBase(DWORD* error)
{
    tagFolder base;
    base.handle.Reset(CreateFileW(L".", kFolderAccess | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    tagEntryIdentity identity;
    if (!base.handle || !RVGameEngine::Common::GetEntryIdentity(base.handle.Get(), &identity)) {
        *error = GetLastError();
        return REACH_FAILED;
    }
    base.finalPath = RVGameEngine::Common::GetHandleFinalPath(base.handle.Get());
    // The folder was checked for links by its path: a folder above it
    // swapped for one since would lead every write elsewhere.
    if (IsLink(identity) ||
        !RVGameEngine::Common::IsSameFinalPath(base.finalPath, RVGameEngine::Common::GetUnlinkedFinalPath(L".")))
        return REACH_LINK;
    m_folders.emplace(std::wstring(), std::move(base));
    return REACH_DONE;
}

bool CExtractedFileWriter::IsInPlace(const tagFolder& parent, const std::wstring& part, HANDLE handle,
                                     const tagEntryIdentity& identity, const tagListedEntry* listed,
                                     bool byFinalPath) const
{
    if (IsLink(identity))
        return false;
    // The first listing still tells, unless the entry was replaced since.
    const bool listedSo = listed != nullptr && listed->index == identity.index &&
                          (listed->attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
    if (!listedSo && !RVGameEngine::Common::IsListedEntry(parent.handle.Get(), part, identity))
        return false;
    // Some systems open a link to a file as if it were the file, and list it
    // so too; where the handle really leads still tells.
    return !byFinalPath || RVGameEngine::Common::IsSameFinalPath(RVGameEngine::Common::GetHandleFinalPath(handle),
                                                                 parent.finalPath + L"\\" + part);
}

CExtractedFileWriter::enmReach CExtractedFileWriter::OpenFolder(const tagFolder& parent, const std::wstring& part,
                                                                tagFolder* folder, DWORD* error)
{
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        folder->handle.Reset(RVGameEngine::Common::OpenFolderEntry(parent.handle.Get(), part, ENTRY_KIND_FOLDER,
                                                                   ENTRY_OPEN_EXISTING, kFolderAccess, error));
        if (folder->handle) {
            tagEntryIdentity identity;
            if (!RVGameEngine::Common::GetEntryIdentity(folder->handle.Get(), &identity)) {
                *error = GetLastError();
                return REACH_FAILED;
            }
            if (!IsInPlace(parent, part, folder->handle.Get(), identity, nullptr, false))
                return REACH_LINK;
        } else if (*error == ERROR_FILE_NOT_FOUND) {
            // Made here, it can be nothing else than a new folder.
            folder->handle.Reset(RVGameEngine::Common::OpenFolderEntry(parent.handle.Get(), part, ENTRY_KIND_FOLDER,
                                                                       ENTRY_OPEN_NEW, kFolderAccess, error));
            if (!folder->handle && *error == ERROR_ALREADY_EXISTS)
                continue;
            folder->made = true;
        }
        if (!folder->handle)
            return REACH_FAILED;
        folder->finalPath = RVGameEngine::Common::GetHandleFinalPath(folder->handle.Get());
        return REACH_DONE;
    }
    return REACH_LINK;
}

CExtractedFileWriter::tagFolder* CExtractedFileWriter::FolderOf(const std::wstring& name, enmReach* reach,
                                                               DWORD* error)
{
    *reach = m_folders.empty() ? OpenBase(error) : REACH_DONE;
    if (*reach != REACH_DONE)
        return nullptr;
    tagFolder* folder = &m_folders.at(std::wstring());
    size_t begin = 0;
    for (size_t end = name.find_first_of(L"/\\"); end != std::wstring::npos;
         begin = end + 1, end = name.find_first_of(L"/\\", begin)) {
        const std::wstring key = name.substr(0, end);
        const auto known = m_folders.find(key);
        if (known != m_folders.end()) {
            folder = &known->second;
            continue;
        }
        tagFolder next;
        *reach = OpenFolder(*folder, name.substr(begin, end - begin), &next, error);
        if (*reach != REACH_DONE)
            return nullptr;
        folder = &m_folders.emplace(key, std::move(next)).first->second;
    }
    return folder;
}

// Opens the existing file without cutting it, and only when it is the file
// its folder lists under that name does anything about it change. Done with
// an empty handle means: try again (the name went, or was just removed).
CExtractedFileWriter::enmReach CExtractedFileWriter::OpenExistingFile(const tagFolder& folder,
                                                                      const std::wstring& part,
                                                                      const tagListedEntry* listed,
                                                                      CScopedKernelHandle* file, DWORD* error)
{
    using RVGameEngine::Common::OpenFolderEntry;
    file->Reset(OpenFolderEntry(folder.handle.Get(), part, ENTRY_KIND_FILE, ENTRY_OPEN_EXISTING, kFileAccess, error));
    tagEntryIdentity identity;
    if (!*file && *error == ERROR_ACCESS_DENIED) {
        // A read-only file opens for its attributes only, until they are checked and cleared.
        CScopedKernelHandle attributes(
            OpenFolderEntry(folder.handle.Get(), part, ENTRY_KIND_FILE, ENTRY_OPEN_EXISTING, kAttributeAccess, error));
        if (!attributes || !RVGameEngine::Common::GetEntryIdentity(attributes.Get(), &identity))
            return REACH_FAILED;
        if (!IsInPlace(folder, part, attributes.Get(), identity, listed, true))
            return REACH_LINK;
        // Its other names would lose the attribute too: it must go first, and cannot.
        if (identity.links > 1 || (identity.attributes & FILE_ATTRIBUTE_READONLY) == 0) {
            *error = ERROR_ACCESS_DENIED;
            return REACH_FAILED;
        }
        if (!SetAttributes(attributes.Get(), ReplacedAttributes(identity.attributes))) {
            *error = GetLastError();
            return REACH_FAILED;
        }
        attributes.Close();
        file->Reset(
            OpenFolderEntry(folder.handle.Get(), part, ENTRY_KIND_FILE, ENTRY_OPEN_EXISTING, kFileAccess, error));
    }
    if (!*file)
        return *error == ERROR_FILE_NOT_FOUND ? REACH_DONE : REACH_FAILED;
    if (!RVGameEngine::Common::GetEntryIdentity(file->Get(), &identity)) {
        *error = GetLastError();
        return REACH_FAILED;
    }
    if (!IsInPlace(folder, part, file->Get(), identity, listed, true))
        return REACH_LINK;
    if (identity.links > 1) {
        // Only this name goes: the file's other names keep their bytes.
        if (!RVGameEngine::Common::MarkForDeletion(file->Get())) {
            *error = GetLastError();
            return REACH_FAILED;
        }
        file->Close();
        ILogFile_GetInstance()->Log(RVGameEngine::FileSystem::LOG_LEVEL_WARNING,
                                    L"%s had other names (a hard link): it is made anew", LoggableText(part).c_str());
        return REACH_DONE;
    }
    if ((identity.attributes & kReplacedAttributes) != 0 &&
        !SetAttributes(file->Get(), ReplacedAttributes(identity.attributes))) {
        *error = GetLastError();
        return REACH_FAILED;
    }
    if (identity.size != 0 && !CutToNothing(file->Get())) {
        *error = GetLastError();
        return REACH_FAILED;
    }
    return REACH_DONE;
}

const tagListedEntry* CExtractedFileWriter::ListedEntry(tagFolder* folder, const std::wstring& part)
{
    if (folder->made)
        return nullptr;
    if (!folder->listed) {
        folder->listed = true;
        std::vector<tagListedEntry> entries;
        if (RVGameEngine::Common::ListFolderEntries(folder->handle.Get(), &entries)) {
            for (tagListedEntry& entry : entries) {
                const std::wstring key = InCapitals(entry.name);
                folder->entries.emplace(key, std::move(entry));
            }
        }
    }
    const auto found = folder->entries.find(InCapitals(part));
    return found != folder->entries.end() ? &found->second : nullptr;
}

CExtractedFileWriter::enmReach CExtractedFileWriter::OpenFile(tagFolder* folder, const std::wstring& part,
                                                              CScopedKernelHandle* file, DWORD* error)
{
    const tagListedEntry* listed = ListedEntry(folder, part);
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        // A new file can be nothing else: a first install makes nothing but these.
        if (listed == nullptr || attempt > 0) {
            file->Reset(RVGameEngine::Common::OpenFolderEntry(folder->handle.Get(), part, ENTRY_KIND_FILE,
                                                              ENTRY_OPEN_NEW, kFileAccess, error));
            if (*file)
                return REACH_DONE;
            if (*error != ERROR_ALREADY_EXISTS)
                return REACH_FAILED;
        }
        const enmReach reach = OpenExistingFile(*folder, part, listed, file, error);
        if (reach != REACH_DONE || *file)
            return reach;
    }
    return REACH_LINK;
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
    enmReach reach = REACH_DONE;
    CScopedKernelHandle file;
    tagFolder* folder = FolderOf(replaced, &reach, error);
    if (folder != nullptr)
        reach = OpenFile(folder, replaced.substr(replaced.find_last_of(L"/\\") + 1), &file, error);
    if (reach == REACH_LINK) {
        LogLinkRefused(replaced);
        *error = ERROR_CANT_ACCESS_FILE;
    }
    return reach == REACH_DONE ? file.Release() : INVALID_HANDLE_VALUE;
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
