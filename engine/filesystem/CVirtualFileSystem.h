#pragma once

#include "engine/common/base/CCriticalSection.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "engine/filesystem/tagFilenameReplace.h"

#include <string>
#include <vector>

namespace RVGameEngine {
namespace FileSystem {

class CVirtualFileSystem : public IVirtualFileSystem
{
public:
    CVirtualFileSystem() = default;
    CVirtualFileSystem(const CVirtualFileSystem&) = delete;
    CVirtualFileSystem& operator=(const CVirtualFileSystem&) = delete;

    bool MountPackedFile(const wchar_t* archivePath) override;
    bool FileExists(const wchar_t* name) override;
    bool IsDirectory(const wchar_t* path) override;
    void CreateDirectory(const wchar_t* path) override;
    void ClearReadOnly(const wchar_t* path) override;
    Common::TIntrusivePointer<Common::IStream> ReadFile(const wchar_t* name) override;
    bool WriteFile(const wchar_t* name, Common::IStream* stream) override;
    bool ReadUnicodeText(const wchar_t* name, wchar_t** text) override;
    void FreeBuffer(char* buffer) override;
    void FreeBuffer2(wchar_t* buffer) override;
    bool WriteUnicodeText(const wchar_t* name, const wchar_t* text) override;
    Common::TIntrusivePointer<Common::IStream> ScrambleStream(Common::TIntrusivePointer<Common::IStream> stream) override;
    Common::TIntrusivePointer<Common::IStream> ReadFileUnscrambled(const wchar_t* name) override;
    void ScrambleBuffer(uint8_t* bytes, int32_t count) override;
    void UnscrambleBuffer(uint8_t* bytes, int32_t count) override;
    bool GetDirectoryPart(const wchar_t* path, wchar_t* directory) override;
    bool GetFileNamePart(const wchar_t* path, wchar_t* fileName) override;
    bool GetExtension(const wchar_t* path, wchar_t* extension) override;
    void AddFilenameReplace(const wchar_t* from, const wchar_t* to) override;
    Common::TIntrusivePointer<Common::IString> ReplaceFilename(const wchar_t* name) override;
    bool ReadText(const wchar_t* name, char** text) override;
    bool WriteText(const wchar_t* name, const char* text) override;
    void SetBaseDirectory(const wchar_t* path) override;
    bool ReadUnicodeText2(const wchar_t* name, wchar_t** text) override;
    int32_t DetectTextEncoding(const wchar_t* name) override;
    bool WriteTextWithBom(const wchar_t* name, const char* text) override;
    void ClearFilenameReplace() override;

private:
    // The name under the base folder (drive-qualified names stay as they
    // are); false when the result is too long.
    bool FormDiskPath(const wchar_t* name, std::wstring* path);
    Common::TIntrusivePointer<Common::IStream> ReadDiskFile(const wchar_t* name);
    bool WriteBytes(const wchar_t* name, const void* prefix, uint32_t prefixSize, const void* bytes, size_t size);
    bool ReadUnicodeFrom(Common::IStream* stream, const wchar_t* name, wchar_t** text);

    std::vector<Common::TIntrusivePointer<tagFilenameReplace>> m_replacements;
    std::wstring m_baseDirectory;
    Common::CCriticalSection m_lock;
};

} // namespace FileSystem
} // namespace RVGameEngine
