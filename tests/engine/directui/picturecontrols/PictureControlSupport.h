#pragma once

// A recorded UI in a folder of generated pictures: a 200 x 10 strip of ten
// digit cells, sign pictures, a 20 x 10 thumb and a 200 x 10 track.

#include "tests/engine/directui/uisystem/UITestSupport.h"

#include <cstdio>

namespace UITest {

class PictureFolder
{
public:
    PictureFolder() : m_current(m_folder.Path())
    {
        const auto grey = [](int, int) { return 0xFF808080u; };
        for (auto [name, width] : {std::pair{L"digits.bmp", 200}, {L"plus.bmp", 8}, {L"minus.bmp", 6},
                                   {L"thumb.bmp", 20}, {L"wide.bmp", 200}, {L"strip.bmp", 300}})
            EXPECT_TRUE(WriteBmp(m_folder.Child(name), width, 10, grey));
        for (int i = 1; i <= 3; ++i)
            EXPECT_TRUE(WriteBmp(m_folder.Child(L"f" + std::to_wstring(i) + L".bmp"), 30 + i, 12, grey));
    }

private:
    RVTest::TempFolder m_folder;
    RVTest::ScopedCurrentFolder m_current;
};

// "x,y,w,h<-sx,sy,sw,sh" for each picture drawn, in order.
inline Lines DrawnPictures(const RecordingDriver& driver)
{
    Lines drawn;
    for (const std::string& call : driver.Starting("image ")) {
        int v[8] = {};
        if (sscanf(call.c_str(), "image %d,%d,%d,%d from %d,%d,%d,%d", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6],
                   &v[7]) == 8) {
            char line[96];
            snprintf(line, sizeof line, "%d,%d,%d,%d<-%d,%d,%d,%d", v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
            drawn.push_back(line);
        }
    }
    return drawn;
}

// Paints the tree and returns what it drew.
inline Lines Paint(RecordedUI& ui)
{
    ui.driver->calls.clear();
    ui.driver->RaisePaint();
    return DrawnPictures(*ui.driver);
}

// Counts the firings of one event.
struct EventCounter
{
    int count = 0;
    void On(void*, RVGameEngine::Common::tagEventArgs*) { ++count; }
};

} // namespace UITest
