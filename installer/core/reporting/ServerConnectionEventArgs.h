#pragma once

#include "engine/common/base/EventArgs.h"
#include "engine/network/INetworkDriver.h"

#include <cstdint>

// Events a CServerConnection raises (sender: the connection).
enum enmServerConnectionEvent : int32_t
{
    SERVER_CONNECTION_EVENT_CONNECTED = 0,
    SERVER_CONNECTION_EVENT_CONNECT_FAILED = 1,
    SERVER_CONNECTION_EVENT_CLIENT_ACCEPTED = 2,
    SERVER_CONNECTION_EVENT_CLOSED = 3,
};

struct tagServerConnectionClientAcceptedEventArgs : public RVGameEngine::Common::tagEventArgs
{
    uint32_t socket = RVGameEngine::Network::kInvalidNetworkSocket;
};
