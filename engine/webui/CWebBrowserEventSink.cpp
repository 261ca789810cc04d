#include "engine/webui/CWebBrowserEventSink.h"

#include "engine/webui/IWebBrowser.h"

#include <exdisp.h>
#include <exdispid.h>

#include <cwchar>

namespace RVGameEngine {
namespace WebUI {

namespace {

bool IsProgramLink(const wchar_t* url)
{
    const size_t prefixLength = wcslen(kProgramLinkPrefix);
    return url != nullptr && wcsncmp(url, kProgramLinkPrefix, prefixLength) == 0;
}

// The address argument of BeforeNavigate2: a VARIANT reached by reference.
const wchar_t* NavigationAddress(const VARIANTARG& argument)
{
    const VARIANT* value = &argument;
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal != nullptr)
        value = value->pvarVal;
    return value->vt == VT_BSTR ? value->bstrVal : nullptr;
}

} // namespace

HRESULT CWebBrowserEventSink::QueryInterface(REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (IsSinkInterface(iid)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT CWebBrowserEventSink::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError)
{
    if (m_owner != nullptr)
        return m_owner->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
    if (id == DISPID_BEFORENAVIGATE2)
        CancelProgramLink(parameters);
    return S_OK;
}

bool CWebBrowserEventSink::IsSinkInterface(REFIID iid)
{
    return IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DWebBrowserEvents2);
}

// BeforeNavigate2's seven arguments arrive last first: the address is the
// sixth from the end, the cancel flag the last. The prefix is compared on the
// address as the browser gives it.
const wchar_t* CWebBrowserEventSink::CancelProgramLink(DISPPARAMS* parameters)
{
    if (parameters == nullptr || parameters->cArgs < 7 || parameters->rgvarg == nullptr)
        return nullptr;
    const wchar_t* url = NavigationAddress(parameters->rgvarg[5]);
    VARIANTARG& cancel = parameters->rgvarg[0];
    if (!IsProgramLink(url) || cancel.vt != (VT_BYREF | VT_BOOL) || cancel.pboolVal == nullptr)
        return nullptr;
    *cancel.pboolVal = VARIANT_TRUE;
    return url;
}

} // namespace WebUI
} // namespace RVGameEngine
