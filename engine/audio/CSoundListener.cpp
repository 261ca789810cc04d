#include "engine/audio/CSoundListener.h"

#include <cstring>

namespace RVGameEngine {
namespace Audio {

CSoundListener::CSoundListener()
{
    std::memset(&m_parameters, 0, sizeof(m_parameters));
    m_parameters.dwSize = sizeof(DS3DLISTENER);
    m_parameters.vOrientFront.x = 1.0f;
    m_parameters.vOrientTop.y = 1.0f;
    m_parameters.flDistanceFactor = 1.0f;
    m_parameters.flRolloffFactor = 1.0f;
    m_parameters.flDopplerFactor = 1.0f;
}

std::unique_ptr<CSoundListener> CSoundListener::Create(IDirectSoundBuffer* primaryBuffer)
{
    if (primaryBuffer == nullptr)
        return nullptr;
    std::unique_ptr<CSoundListener> listener(new CSoundListener());
    if (FAILED(primaryBuffer->QueryInterface(IID_IDirectSound3DListener,
                                             reinterpret_cast<void**>(listener->m_listener.Receive()))) ||
        !listener->m_listener)
        return nullptr;
    return listener;
}

void CSoundListener::CommitParameters()
{
    m_listener->SetAllParameters(&m_parameters, DS3D_DEFERRED);
}

void CSoundListener::CommitDeferredSettings()
{
    m_listener->CommitDeferredSettings();
}

} // namespace Audio
} // namespace RVGameEngine
