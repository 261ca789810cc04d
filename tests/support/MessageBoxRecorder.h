#pragma once

#include <string>
#include <vector>

namespace RVTest {

// Takes every engine message box in place of the real one and remembers it.
struct RecordedMessageBox
{
    std::wstring text;
    std::wstring caption;
    unsigned int type = 0;
};

class MessageBoxRecorder
{
public:
    static void Install();
    static void Clear();
    static std::vector<RecordedMessageBox> Taken();
};

} // namespace RVTest
