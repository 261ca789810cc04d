#include "engine/filesystem/CCheckedFileWriter.h"

#include "engine/filesystem/FinalPathFunctions.h"
#include "engine/filesystem/ReparsePointFunctions.h"

#include <utility>
#include <vector>

namespace RVGameEngine {
namespace FileSystem {

using Common::CScopedKernelHandle;

namespace {

// A new file is only written: others may still read it while it is open.
constexpr DWORD kNewFileAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
constexpr DWORD kFileAccess = kNewFileAccess | DELETE;
constexpr DWORD kAttributeAccess = FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
constexpr DWORD kReplacedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// A file that another program makes and removes under our hands as often
// as this is taken for a link.
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

// Names compare as the system compares them: letter case aside.
std::wstring InCapitals(std::wstring name)
{
    if (!name.empty())
        CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
    return name;
}

bool IsReparsePoint(const tagEntryIdentity& identity)
{
    return (identity.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool CutToNothing(HANDLE handle)
{
    FILE_END_OF_FILE_INFO end{};
    return SetFileInformationByHandle(handle, FileEndOfFileInfo, &end, sizeof end) != 0;
}

CHECKED_REACH Failed(DWORD* error)
{
    *error = GetLastError();
    return CHECKED_REACH_FAILED;
}

CHECKED_REACH Refused(DWORD* error)
{
    *error = ERROR_CANT_ACCESS_FILE;
    return CHECKED_REACH_LINK;
}

} // namespace

DWORD CCheckedFileWriter::ReplacedAttributes(DWORD attributes)
{
    const DWORD kept = attributes & ~kReplacedAttributes;
    return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

bool CCheckedFileWriter::SetBase(HANDLE folder)
{
    HANDLE copy = nullptr;
    if (folder == nullptr || folder == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), folder, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    m_base.Reset(copy);
    m_folders.clear();
    return true;
}

CHECKED_REACH CCheckedFileWriter::OpenBase(DWORD* error)
{
    tagFolder base;
    if (m_base) {
        HANDLE copy = nullptr;
        if (!DuplicateHandle(GetCurrentProcess(), m_base.Get(), GetCurrentProcess(), &copy, 0, FALSE,
                             DUPLICATE_SAME_ACCESS))
            return Failed(error);
        base.handle.Reset(copy);
    } else {
        const CHECKED_REACH reach = OpenCheckedCurrentFolder(&base.handle, error);
        if (reach != CHECKED_REACH_DONE)
            return reach;
    }
    // Where the folder really is, so that a file's own final path can be
    // compared with it (never with a path as spelled: a drive letter may map
    // another folder).
    base.finalPath = GetHandleFinalPath(base.handle.Get());
    if (base.finalPath.empty())
        return Failed(error);
    m_folders.emplace(std::wstring(), std::move(base));
    return CHECKED_REACH_DONE;
}

CHECKED_REACH CCheckedFileWriter::CheckInPlace(const tagFolder& parent, const std::wstring& part, HANDLE handle,
                                               const tagEntryIdentity& identity, const tagListedEntry* listed,
                                               DWORD* error)
{
    bool redirecting = false;
    if (IsReparsePoint(identity) && !QueryNameRedirection(handle, &redirecting))
        return Failed(error);
    if (redirecting)
        return Refused(error);
    // The first listing still tells, unless the entry was replaced since.
    const bool listedSo = listed != nullptr && listed->index == identity.index &&
                          (listed->attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && !IsReparsePoint(identity);
    if (!listedSo) {
        const CHECKED_REACH reach =
            CheckedReachOf(MatchListedEntry(parent.handle.Get(), part.c_str(), identity, error));
        if (reach != CHECKED_REACH_DONE)
            return reach;
    }
    // Some systems open a link to a file as if it were the file, and list it
    // so too; where the handle really leads still tells.
    const std::wstring finalPath = GetHandleFinalPath(handle);
    if (finalPath.empty())
        return Failed(error);
    return IsFinalPathOfName(finalPath.c_str(), parent.finalPath.c_str(), part.c_str()) ? CHECKED_REACH_DONE
                                                                                      : Refused(error);
}

CCheckedFileWriter::tagFolder* CCheckedFileWriter::FolderOf(const std::wstring& name, CHECKED_REACH* reach,
                                                           DWORD* error)
{
    *reach = m_folders.empty() ? OpenBase(error) : CHECKED_REACH_DONE;
    if (*reach != CHECKED_REACH_DONE)
        return nullptr;
    tagFolder* folder = &m_folders.at(std::wstring());
    size_t begin = 0;
    for (size_t end = name.find_first_of(L"/\\"); end != std::wstring::npos;
         begin = end + 1, end = name.find_first_of(L"/\\", begin)) {
        // "a//b" and "./a" name the folders "a/b" and "a" of the base.
        if (end == begin || (end == begin + 1 && name[begin] == L'.'))
            continue;
        const std::wstring key = name.substr(0, end);
        const auto known = m_folders.find(key);
        if (known != m_folders.end()) {
            folder = &known->second;
            continue;
        }
        tagFolder next;
        const std::wstring part = name.substr(begin, end - begin);
        *reach = OpenCheckedFolder(folder->handle.Get(), part.c_str(), FOLDER_MISSING_MADE, &next.handle, &next.made,
                                   error);
        if (*reach != CHECKED_REACH_DONE)
            return nullptr;
        next.finalPath = GetHandleFinalPath(next.handle.Get());
        if (next.finalPath.empty()) {
            *reach = Failed(error);
            return nullptr;
        }
        folder = &m_folders.emplace(key, std::move(next)).first->second;
    }
    return folder;
}

// Opens the existing file without cutting it, and only when it is the file
// its folder lists under that name does anything about it change. Done with
// an empty handle means: try again (the name went, or was just removed).
CHECKED_REACH CCheckedFileWriter::OpenExistingFile(const tagFolder& folder, const std::wstring& part,
                                                   const tagListedEntry* listed, CScopedKernelHandle* file,
                                                   DWORD* error)
{
    const HANDLE parent = folder.handle.Get();
    file->Reset(OpenFolderEntry(parent, part.c_str(), ENTRY_KIND_FILE, ENTRY_OPEN_EXISTING, kFileAccess, error));
    tagEntryIdentity identity;
    if (!*file && *error == ERROR_ACCESS_DENIED) {
        // A read-only file opens for its attributes only, until they are checked and cleared.
        CScopedKernelHandle attributes(
            OpenFolderEntry(parent, part.c_str(), ENTRY_KIND_FILE, ENTRY_OPEN_EXISTING, kAttributeAccess, error));
        if (!attributes)
            return CHECKED_REACH_FAILED;
        if (!GetEntryIdentity(attributes.Get(), &identity))
            return Failed(error);
        const CHECKED_REACH reach = CheckInPlace(folder, part, attributes.Get(), identity, listed, error);
        if (reach != CHECKED_REACH_DONE)
            return reach;
        // Its other names would lose the attribute too: it must go first, and cannot.
        if (identity.links > 1 || (identity.attributes & FILE_ATTRIBUTE_READONLY) == 0) {
            *error = ERROR_ACCESS_DENIED;
            return CHECKED_REACH_FAILED;
        }
        if (!SetEntryAttributes(attributes.Get(), ReplacedAttributes(identity.attributes)))
            return Failed(error);
        attributes.Close();
        file->Reset(OpenFolderEntry(parent, part.c_str(), ENTRY_KIND_FILE, ENTRY_OPEN_EXISTING, kFileAccess, error));
    }
    if (!*file)
        return *error == ERROR_FILE_NOT_FOUND ? CHECKED_REACH_DONE : CHECKED_REACH_FAILED;
    if (!GetEntryIdentity(file->Get(), &identity))
        return Failed(error);
    const CHECKED_REACH reach = CheckInPlace(folder, part, file->Get(), identity, listed, error);
    if (reach != CHECKED_REACH_DONE)
        return reach;
    if (identity.links > 1 || IsReparsePoint(identity)) {
        // Only this name goes: the file's other names keep their bytes, and
        // a placeholder's content is not written through its stub.
        if (!MarkForDeletion(file->Get()))
            return Failed(error);
        file->Close();
        m_madeAnew = true;
        return CHECKED_REACH_DONE;
    }
    if ((identity.attributes & kReplacedAttributes) != 0 &&
        !SetEntryAttributes(file->Get(), ReplacedAttributes(identity.attributes)))
        return Failed(error);
    if (identity.size != 0 && !CutToNothing(file->Get()))
        return Failed(error);
    return CHECKED_REACH_DONE;
}

const tagListedEntry* CCheckedFileWriter::ListedEntry(tagFolder* folder, const std::wstring& part)
{
    if (folder->made)
        return nullptr;
    if (!folder->listed) {
        folder->listed = true;
        std::vector<tagListedEntry> entries;
        if (ListFolderEntries(folder->handle.Get(), &entries)) {
            for (tagListedEntry& entry : entries) {
                const std::wstring key = InCapitals(entry.name);
                folder->entries.emplace(key, std::move(entry));
            }
        }
    }
    const auto found = folder->entries.find(InCapitals(part));
    return found != folder->entries.end() ? &found->second : nullptr;
}

CHECKED_REACH CCheckedFileWriter::OpenFile(tagFolder* folder, const std::wstring& part, CScopedKernelHandle* file,
                                           DWORD* error)
{
    const bool replacing = m_existing == FILE_EXISTING_REPLACED;
    const tagListedEntry* listed = replacing ? ListedEntry(folder, part) : nullptr;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        // A new file can be nothing else: a first install makes nothing but these.
        if (listed == nullptr || attempt > 0) {
            file->Reset(OpenFolderEntry(folder->handle.Get(), part.c_str(), ENTRY_KIND_FILE, ENTRY_OPEN_NEW,
                                        kNewFileAccess, error));
            if (*file)
                return CHECKED_REACH_DONE;
            if (*error != ERROR_ALREADY_EXISTS || !replacing)
                return CHECKED_REACH_FAILED;
        }
        const CHECKED_REACH reach = OpenExistingFile(*folder, part, listed, file, error);
        if (reach != CHECKED_REACH_DONE || *file)
            return reach;
    }
    return Refused(error);
}

HANDLE CCheckedFileWriter::Open(const std::wstring& name, CHECKED_REACH* reach, DWORD* error)
{
    *error = ERROR_SUCCESS;
    m_madeAnew = false;
    const size_t last = name.find_last_of(L"/\\");
    const std::wstring part = last == std::wstring::npos ? name : name.substr(last + 1);
    if (part.empty()) {
        *reach = CHECKED_REACH_FAILED;
        *error = ERROR_INVALID_NAME;
        return INVALID_HANDLE_VALUE;
    }
    CScopedKernelHandle file;
    tagFolder* folder = FolderOf(name, reach, error);
    if (folder != nullptr)
        *reach = OpenFile(folder, part, &file, error);
    return *reach == CHECKED_REACH_DONE ? file.Release() : INVALID_HANDLE_VALUE;
}

bool CCheckedFileWriter::Write(const std::wstring& name, const void* bytes, uint32_t size, CHECKED_REACH* reach,
                               DWORD* error)
{
    CScopedKernelHandle file(Open(name, reach, error));
    return file && Append(file.Get(), bytes, size, error);
}

bool CCheckedFileWriter::Append(HANDLE file, const void* bytes, uint32_t size, DWORD* error)
{
    if (WriteAll(file, bytes, size))
        return true;
    *error = GetLastError();
    return false;
}

} // namespace FileSystem
} // namespace RVGameEngine
