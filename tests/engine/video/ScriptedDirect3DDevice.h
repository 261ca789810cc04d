#pragma once

// A Direct3D 8 device that answers TestCooperativeLevel from a script, for
// the lost-device sequence that Wine's Direct3D never enters. Only the calls
// the video driver makes around BeginScene are answered; each is recorded.

#include <windows.h>

#include <string>
#include <vector>

struct IDirect3DDevice8;

namespace VideoTest {

struct ScriptedDeviceLog
{
    // Answers of TestCooperativeLevel, one per call; D3D_OK once used up.
    std::vector<HRESULT> cooperativeLevels;
    std::vector<std::string> calls;  // "TestCooperativeLevel", "BeginScene", "SetTransform", ...
};

// The device lives as long as the program; it is not reference counted.
IDirect3DDevice8* ScriptedDirect3DDevice(ScriptedDeviceLog* log);

} // namespace VideoTest
