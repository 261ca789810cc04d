// Built with the C form of the Direct3D interfaces, so that one function
// table with only the needed entries can stand for the whole device.
#define CINTERFACE
#include <d3d8.h>

#include "tests/engine/video/ScriptedDirect3DDevice.h"

namespace VideoTest {

namespace {

struct ScriptedDevice
{
    IDirect3DDevice8 face;
    ScriptedDeviceLog* log;
};

ScriptedDeviceLog* LogOf(IDirect3DDevice8* self)
{
    return reinterpret_cast<ScriptedDevice*>(self)->log;
}

ULONG STDMETHODCALLTYPE AddRef(IDirect3DDevice8*) { return 1; }
ULONG STDMETHODCALLTYPE Release(IDirect3DDevice8*) { return 1; }

HRESULT STDMETHODCALLTYPE TestCooperativeLevel(IDirect3DDevice8* self)
{
    ScriptedDeviceLog* log = LogOf(self);
    log->calls.push_back("TestCooperativeLevel");
    if (log->cooperativeLevels.empty())
        return D3D_OK;
    HRESULT answer = log->cooperativeLevels.front();
    log->cooperativeLevels.erase(log->cooperativeLevels.begin());
    return answer;
}

HRESULT STDMETHODCALLTYPE BeginScene(IDirect3DDevice8* self)
{
    LogOf(self)->calls.push_back("BeginScene");
    return D3D_OK;
}

HRESULT STDMETHODCALLTYPE SetTransform(IDirect3DDevice8* self, D3DTRANSFORMSTATETYPE, const D3DMATRIX*)
{
    LogOf(self)->calls.push_back("SetTransform");
    return D3D_OK;
}

HRESULT STDMETHODCALLTYPE SetTextureStageState(IDirect3DDevice8* self, DWORD, D3DTEXTURESTAGESTATETYPE, DWORD)
{
    LogOf(self)->calls.push_back("SetTextureStageState");
    return D3D_OK;
}

IDirect3DDevice8Vtbl MakeTable()
{
    IDirect3DDevice8Vtbl table{};
    table.AddRef = AddRef;
    table.Release = Release;
    table.TestCooperativeLevel = TestCooperativeLevel;
    table.BeginScene = BeginScene;
    table.SetTransform = SetTransform;
    table.SetTextureStageState = SetTextureStageState;
    return table;
}

} // namespace

IDirect3DDevice8* ScriptedDirect3DDevice(ScriptedDeviceLog* log)
{
    static IDirect3DDevice8Vtbl table = MakeTable();
    ScriptedDevice* device = new ScriptedDevice{{&table}, log};
    return &device->face;
}

} // namespace VideoTest
