#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace Download {

// Where a response body goes (a stream or a file).
class IHttpBodySink
{
public:
    // Longest body this destination takes.
    virtual uint32_t GetLimit() const = 0;
    // Makes the destination empty, ready for the body.
    virtual bool Prepare() = 0;
    // The body's length, when the response states it, before any of it
    // arrives: room for it can be made at once.
    virtual void ExpectLength(uint32_t length) = 0;
    virtual bool Append(const uint8_t* data, uint32_t count) = 0;
    // Room for the next `count` bytes to be received straight into, saving
    // Append's copy; null when the sink has none. Commit then takes the
    // bytes that arrived there.
    virtual uint8_t* GetRoom(uint32_t count) = 0;
    virtual void Commit(uint32_t count) = 0;
    // After the last piece: false when what was appended did not all reach
    // the destination.
    virtual bool Finish() = 0;

protected:
    ~IHttpBodySink() = default;
};

} // namespace Download
} // namespace RVGameEngine
