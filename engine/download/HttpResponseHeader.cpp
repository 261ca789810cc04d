#include "engine/download/HttpResponseHeader.h"

#include <cstdlib>

namespace RVGameEngine {
namespace Download {

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

int HttpStatusOf(const std::string& header)
{
    return header.size() > 9 ? std::atoi(header.c_str() + 9) : 0;
}

enmHttpBodyFraming HttpBodyFramingOf(const std::string& header, uint32_t* length)
{
    static const std::string kLengthField = "Content-Length: ";
    *length = 0;
    const size_t field = header.find(kLengthField);
    if (field == std::string::npos)
        return header.find("Transfer-Encoding") != std::string::npos ? HTTP_BODY_CHUNKED : HTTP_BODY_NO_LENGTH;

    size_t at = field + kLengthField.size();
    while (at < header.size() && header[at] == ' ')
        ++at;
    uint64_t value = 0;
    size_t digits = 0;
    for (; at < header.size() && header[at] >= '0' && header[at] <= '9'; ++at, ++digits) {
        value = value * 10 + static_cast<uint64_t>(header[at] - '0');
        if (value > 0xFFFFFFFFull)
            return HTTP_BODY_BAD_LENGTH;
    }
    if (digits == 0 || (at < header.size() && header[at] != '\r' && header[at] != ' ' && header[at] != '\t'))
        return HTTP_BODY_BAD_LENGTH;
    *length = static_cast<uint32_t>(value);
    return HTTP_BODY_LENGTH;
}

bool ParseHttpChunkSize(const std::string& line, uint32_t limit, uint32_t* size)
{
    uint64_t value = 0;
    size_t at = 0;
    for (; at < line.size() && HexDigit(line[at]) >= 0; ++at) {
        value = value * 16 + static_cast<uint64_t>(HexDigit(line[at]));
        if (value > limit)
            return false;
    }
    // Without a digit the line says nothing, least of all "last chunk".
    if (at == 0)
        return false;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
        ++at;
    if (at < line.size() && line[at] != ';')
        return false;
    *size = static_cast<uint32_t>(value);
    return true;
}

} // namespace Download
} // namespace RVGameEngine
