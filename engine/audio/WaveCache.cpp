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
    Common::ShowEngineWarningBox(text.c_str());
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

    // A missing file is remembered as such (an empty entry): a game that
    // plays it on every frame gets one warning, not a box per play.
    if (!FileSystem::IVirtualFileSystem_GetInstance()->FileExists(path)) {
        ShowLoadWarning(path, L"file not found");
        cache.emplace(path, Common::TIntrusivePointer<CWaveFile>());
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
