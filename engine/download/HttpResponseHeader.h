#pragma once

#include <cstdint>
#include <string>

namespace RVGameEngine {
namespace Download {

// How a response says where its body ends.
enum enmHttpBodyFraming
{
    HTTP_BODY_NO_LENGTH,     // neither a length nor a transfer coding
    HTTP_BODY_LENGTH,        // "Content-Length: <decimal>"
    HTTP_BODY_CHUNKED,       // "Transfer-Encoding" without a length
    HTTP_BODY_BAD_LENGTH,    // a length that is not an unsigned 32-bit number
};

// The status number read from the tenth character on; 0 for a header of nine
// characters or fewer.
int HttpStatusOf(const std::string& header);

// Looks for "Content-Length: " (this letter case, with its blank) anywhere in
// the header, then for "Transfer-Encoding". `length` gets the decimal length:
// digits only (after optional blanks), at most 4294967295.
enmHttpBodyFraming HttpBodyFramingOf(const std::string& header, uint32_t* length);

// Reads a chunk-size line: hexadecimal digits, optionally followed by ";"
// and extensions. False for anything else or a size above `limit`.
bool ParseHttpChunkSize(const std::string& line, uint32_t limit, uint32_t* size);

} // namespace Download
} // namespace RVGameEngine
