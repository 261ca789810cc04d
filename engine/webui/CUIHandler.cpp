#include "engine/webui/CUIHandler.h"

namespace RVGameEngine {
namespace WebUI {

HRESULT CUIHandler::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDocHostUIHandler)) {
        *object = static_cast<IDocHostUIHandler*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_FAIL;
}

} // namespace WebUI
} // namespace RVGameEngine
