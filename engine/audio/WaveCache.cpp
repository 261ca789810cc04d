#include "engine/audio/WaveCache.h"

#include "engine/common/base/EngineMessageBox.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <map>
#include <string>

namespace RVGameEngine {
namespace Audio {

namespace {

// Texts of the warning box are cut to this many units, terminator included.
constexpr size_t kWarningCapacity = 1000;

using WaveMap = std::map<std::wstring, Common::TIntrusivePointer<CWaveFile>>;

WaveMap& Cache()
{
    static WaveMap cache;
    return cache;
}

void ShowLoadWarning(const wchar_t* path, const wchar_t* reason)
{
    std::wstring text = std::wstring(L"Failed to load sound file \"") + path + L"\", " + reason + L".";
    if (text.size() >= kWarningCapacity)
        text.resize(kWarningCapacity - 1);
    FileSystem::ILogFile_GetInstance()->Log(FileSystem::LOG_LEVEL_WARNING, L"%ls", text.c_str());
    Common::EngineMessageBox(nullptr, text.c_str(), L"Warning", MB_OK);
}

} // namespace

Common::TIntrusivePointer<CWaveFile> LoadSound(const wchar_t* path)
{
    if (path == nullptr)
        return {};
    WaveMap& cache = Cache();
    const auto found = cache.find(path);
    if (found != cache.end())
        return found->second;

    if (!FileSystem::IVirtualFileSystem_GetInstance()->FileExists(path)) {
        ShowLoadWarning(path, L"file not found");
        return {};
    }
    Common::TIntrusivePointer<CWaveFile> wave(new CWaveFile());
    if (!wave->Open(path))
        ShowLoadWarning(path, L"unsupported format");
    cache.emplace(path, wave);
    return wave;
}

} // namespace Audio
} // namespace RVGameEngine
