#include "engine/webui/CWBStorage.h"

namespace RVGameEngine {
namespace WebUI {

HRESULT CWBStorage::QueryInterface(REFIID, void** object)
{
    if (object != nullptr)
        *object = nullptr;
    return E_NOTIMPL;
}

HRESULT CWBStorage::CreateStream(const OLECHAR*, DWORD, DWORD, DWORD, IStream**) { return E_NOTIMPL; }
HRESULT CWBStorage::OpenStream(const OLECHAR*, void*, DWORD, DWORD, IStream**) { return E_NOTIMPL; }
HRESULT CWBStorage::CreateStorage(const OLECHAR*, DWORD, DWORD, DWORD, IStorage**) { return E_NOTIMPL; }
HRESULT CWBStorage::OpenStorage(const OLECHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) { return E_NOTIMPL; }
HRESULT CWBStorage::CopyTo(DWORD, const IID*, SNB, IStorage*) { return E_NOTIMPL; }
HRESULT CWBStorage::MoveElementTo(const OLECHAR*, IStorage*, const OLECHAR*, DWORD) { return E_NOTIMPL; }
HRESULT CWBStorage::Commit(DWORD) { return E_NOTIMPL; }
HRESULT CWBStorage::Revert() { return E_NOTIMPL; }
HRESULT CWBStorage::EnumElements(DWORD, void*, DWORD, IEnumSTATSTG**) { return E_NOTIMPL; }
HRESULT CWBStorage::DestroyElement(const OLECHAR*) { return E_NOTIMPL; }
HRESULT CWBStorage::RenameElement(const OLECHAR*, const OLECHAR*) { return E_NOTIMPL; }
HRESULT CWBStorage::SetElementTimes(const OLECHAR*, const FILETIME*, const FILETIME*, const FILETIME*)
{
    return E_NOTIMPL;
}
HRESULT CWBStorage::SetClass(REFCLSID) { return S_OK; }
HRESULT CWBStorage::SetStateBits(DWORD, DWORD) { return E_NOTIMPL; }
HRESULT CWBStorage::Stat(STATSTG*, DWORD) { return E_NOTIMPL; }

} // namespace WebUI
} // namespace RVGameEngine
