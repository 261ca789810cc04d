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
    virtual bool Append(const uint8_t* data, uint32_t count) = 0;

protected:
    ~IHttpBodySink() = default;
};

} // namespace Download
} // namespace RVGameEngine
