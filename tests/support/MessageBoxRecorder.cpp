#include "tests/support/MessageBoxRecorder.h"

#include "engine/common/base/EngineMessageBox.h"

#include <mutex>

namespace RVTest {

namespace {

std::mutex g_lock;
std::vector<RecordedMessageBox> g_boxes;

int Record(const wchar_t* text, const wchar_t* caption, unsigned int type)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_boxes.push_back({text ? text : L"", caption ? caption : L"", type});
    return 1; // IDOK
}

} // namespace

void MessageBoxRecorder::Install()
{
    RVGameEngine::Common::SetEngineMessageBoxHook(Record);
}

void MessageBoxRecorder::Clear()
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_boxes.clear();
}

std::vector<RecordedMessageBox> MessageBoxRecorder::Taken()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_boxes;
}

} // namespace RVTest
