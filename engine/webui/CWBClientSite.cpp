#include "engine/webui/CWBClientSite.h"

namespace RVGameEngine {
namespace WebUI {

CWBClientSite::CWBClientSite(HWND host, IDocHostUIHandler* uiHandler) : m_host(host), m_uiHandler(uiHandler)
{
    if (m_uiHandler != nullptr)
        m_uiHandler->AddRef();
}

CWBClientSite::~CWBClientSite() { Detach(); }

void CWBClientSite::Detach()
{
    m_host = nullptr;
    if (m_uiHandler != nullptr) {
        IDocHostUIHandler* handler = m_uiHandler;
        m_uiHandler = nullptr;
        handler->Release();
    }
}

HRESULT CWBClientSite::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
        *object = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceFrame))
        *object = static_cast<IOleInPlaceFrame*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceSite))
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(iid, IID_IDocHostUIHandler))
        *object = m_uiHandler;
    else
        *object = nullptr;
    if (*object == nullptr)
        return E_NOINTERFACE;
    static_cast<IUnknown*>(*object)->AddRef();
    return S_OK;
}

HRESULT CWBClientSite::GetContainer(IOleContainer** container)
{
    if (container != nullptr)
        *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT CWBClientSite::GetWindow(HWND* window)
{
    if (window == nullptr)
        return E_POINTER;
    *window = m_host;
    return m_host != nullptr ? S_OK : E_FAIL;
}

HRESULT CWBClientSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                        LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    if (frame != nullptr) {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
    }
    if (document != nullptr)
        *document = nullptr;
    RECT client = {};
    GetClientRect(m_host, &client);
    if (position != nullptr)
        *position = client;
    if (clip != nullptr)
        *clip = client;
    if (frameInfo != nullptr) {
        frameInfo->fMDIApp = TRUE;
        frameInfo->hwndFrame = m_host;
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

} // namespace WebUI
} // namespace RVGameEngine
