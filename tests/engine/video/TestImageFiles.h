#pragma once

// Image files made on the fly for tests and benchmarks.

#include <cstdint>
#include <functional>
#include <string>

namespace VideoTest {

// A 24-bit BMP whose pixel (x, y) is color(x, y) (ARGB, alpha ignored).
inline std::string BmpBytes(int width, int height, const std::function<uint32_t(int, int)>& color)
{
    const int rowBytes = (width * 3 + 3) & ~3;
    std::string bytes(54 + static_cast<size_t>(rowBytes) * height, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<char>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<uint32_t>(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = color(x, y);
            const size_t at = 54 + static_cast<size_t>(height - 1 - y) * rowBytes + static_cast<size_t>(x) * 3;
            bytes[at] = static_cast<char>(c);
            bytes[at + 1] = static_cast<char>(c >> 8);
            bytes[at + 2] = static_cast<char>(c >> 16);
        }
    return bytes;
}

// An all-black 1-bit BMP: a large picture in a small file. The header is the
// 24-bit one's with the depth, pixel offset and palette changed.
inline std::string MonochromeBmpBytes(int width, int height)
{
    const uint32_t rowBytes = (width + 31) / 32 * 4, pixelsAt = 54 + 8;
    std::string bytes = BmpBytes(1, 1, [](int, int) { return 0u; }).substr(0, pixelsAt);
    bytes.resize(pixelsAt + static_cast<size_t>(rowBytes) * height, '\0');
    const uint32_t fields[][2] = {{2, static_cast<uint32_t>(bytes.size())}, {10, pixelsAt},
                                  {18, static_cast<uint32_t>(width)},       {22, static_cast<uint32_t>(height)},
                                  {28, 1}, {46, 2}, {58, 0x00FFFFFFu}};
    for (const auto& field : fields)
        for (int i = 0; i < 4; ++i)
            bytes[field[0] + i] = static_cast<char>(field[1] >> (8 * i));
    return bytes;
}

// UTF-16LE text with its byte-order mark, as the engine's XML files are.
inline std::string UnicodeFileBytes(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes;
}

} // namespace VideoTest
