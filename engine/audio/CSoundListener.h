#pragma once

#include "engine/audio/DirectSoundHeaders.h"
#include "engine/common/base/ComPointer.h"
#include "engine/common/base/EngineApi.h"

#include <memory>

namespace RVGameEngine {
namespace Audio {

// The listener of 3D sounds, over the primary buffer.
class RV_API CSoundListener
{
public:
    // Null when the primary buffer has no listener.
    static std::unique_ptr<CSoundListener> Create(IDirectSoundBuffer* primaryBuffer);

    DS3DLISTENER& GetParameters() { return m_parameters; }
    // Hands the parameters over deferred: they take effect, together with
    // those of the 3D buffers, at CommitDeferredSettings.
    void CommitParameters();
    void CommitDeferredSettings();

private:
    CSoundListener();

    Common::TComPointer<IDirectSound3DListener> m_listener;
    DS3DLISTENER m_parameters;
};

} // namespace Audio
} // namespace RVGameEngine
