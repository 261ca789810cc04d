#pragma once

#include "engine/common/base/EngineApi.h"
#include "engine/common/base/IStream.h"
#include "engine/common/base/IString.h"
#include "engine/common/base/TIntrusivePointer.h"

#include <windows.h>

#include <cstdint>

namespace RVGameEngine {
namespace FileSystem {

// Results of DetectTextEncoding.
enum enmTextEncoding : int32_t
{
    TEXT_ENCODING_NONE = 0,     // no mark recognised
    TEXT_ENCODING_UTF8 = 1,     // EF BB BF
    TEXT_ENCODING_UTF16LE = 2,  // FF FE
    TEXT_ENCODING_TSD = 3,      // "%TSD"
    TEXT_ENCODING_NO_FILE = 4,
};

// Size, in UTF-16 units with the terminator, of the buffers the path-part
// operations write into.
constexpr int kPathPartBufferLength = 260;

// The one way engine and installer code reads and writes files. Every name
// passes through the replacement list; reads look in the mounted packed
// archives first and then on disk (a relative name is put under the base
// folder, empty by default); writes, folder creation and attribute changes
// use the name as given, relative to the current directory.
//
// <windows.h> comes first so that CreateDirectory, a macro there, names the
// same member in every file that includes this header.
//
// Files are handled whole, as streams. Files of 2 GiB or more are refused.
// Failures give false or an empty pointer and a log line.
class RV_API IVirtualFileSystem
{
public:
    virtual bool MountPackedFile(const wchar_t* archivePath) = 0;
    // True for a file or a folder.
    virtual bool FileExists(const wchar_t* name) = 0;
    virtual bool IsDirectory(const wchar_t* path) = 0;
    // Creates the whole folder chain; check IsDirectory afterwards.
    virtual void CreateDirectory(const wchar_t* path) = 0;
    virtual void ClearReadOnly(const wchar_t* path) = 0;
    // The whole file at position 0, or empty when it cannot be read whole.
    virtual Common::TIntrusivePointer<Common::IStream> ReadFile(const wchar_t* name) = 0;
    // Replaces the file with the stream's bytes 0..size (whatever its position).
    virtual bool WriteFile(const wchar_t* name, Common::IStream* stream) = 0;
    // Needs the FF FE mark; *text gets a zero-terminated copy (free it with
    // FreeBuffer2). An odd last byte is dropped.
    virtual bool ReadUnicodeText(const wchar_t* name, wchar_t** text) = 0;
    virtual void FreeBuffer(char* buffer) = 0;
    virtual void FreeBuffer2(wchar_t* buffer) = 0;
    // FF FE, then the text's UTF-16LE units.
    virtual bool WriteUnicodeText(const wchar_t* name, const wchar_t* text) = 0;
    // The stream in RVEF form: the same stream when it already is, else a new one.
    virtual Common::TIntrusivePointer<Common::IStream> ScrambleStream(Common::TIntrusivePointer<Common::IStream> stream) = 0;
    // The file's plain content, whether it is stored plain or in RVEF form.
    virtual Common::TIntrusivePointer<Common::IStream> ReadFileUnscrambled(const wchar_t* name) = 0;
    virtual void ScrambleBuffer(uint8_t* bytes, int32_t count) = 0;
    virtual void UnscrambleBuffer(uint8_t* bytes, int32_t count) = 0;
    // Path parts, written into a buffer of kPathPartBufferLength units. Each
    // gives false (and an empty answer) for a null or over-long path.
    //   directory: up to the last "/" or "\", or "./" when there is none;
    //   file name: after the last separator, or the whole path without one;
    //   extension: after the last "." of the file-name part, else empty.
    virtual bool GetDirectoryPart(const wchar_t* path, wchar_t* directory) = 0;
    virtual bool GetFileNamePart(const wchar_t* path, wchar_t* fileName) = 0;
    virtual bool GetExtension(const wchar_t* path, wchar_t* extension) = 0;
    // Every later name has `from` (any letter case) replaced by `to`; pairs
    // apply in the order added. An empty `from` is ignored.
    virtual void AddFilenameReplace(const wchar_t* from, const wchar_t* to) = 0;
    virtual Common::TIntrusivePointer<Common::IString> ReplaceFilename(const wchar_t* name) = 0;
    // *text gets the file's bytes and a zero byte (free it with FreeBuffer).
    virtual bool ReadText(const wchar_t* name, char** text) = 0;
    virtual bool WriteText(const wchar_t* name, const char* text) = 0;
    virtual void SetBaseDirectory(const wchar_t* path) = 0;
    // ReadUnicodeText over plain and RVEF files alike.
    virtual bool ReadUnicodeText2(const wchar_t* name, wchar_t** text) = 0;
    virtual int32_t DetectTextEncoding(const wchar_t* name) = 0;
    // EF BB BF, then the text's bytes.
    virtual bool WriteTextWithBom(const wchar_t* name, const char* text) = 0;
    virtual void ClearFilenameReplace() = 0;

protected:
    ~IVirtualFileSystem() = default;
};

// The process-wide file system, made on the first call (before other threads
// start) and never destroyed.
RV_API IVirtualFileSystem* IVirtualFileSystem_GetInstance();

} // namespace FileSystem
} // namespace RVGameEngine
