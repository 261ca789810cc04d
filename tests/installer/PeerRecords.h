#pragma once

// Reading what the local test servers recorded (see tests/servers).

#include "tests/servers/PeerEnvironment.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace InstallerTests {

// The lines of the record file named by the environment variable.
inline std::vector<std::string> PeerRecordLines(const char* variable)
{
    std::istringstream record(RVTest::ReadPeerFile(RVTest::PeerVariable(variable)));
    std::vector<std::string> lines;
    for (std::string line; std::getline(record, line);)
        lines.push_back(line);
    return lines;
}

// Lower-case hexadecimal, as the servers record payloads.
inline std::string Hex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        text += kDigits[c >> 4];
        text += kDigits[c & 15];
    }
    return text;
}

// System-information messages (main command 108, sub-command 6) of the
// install step that the statistics server recorded.
inline int CountStepMessages(uint32_t step)
{
    const std::string stepHex = Hex(std::string(1, static_cast<char>(step)) + std::string(3, '\0'));
    int count = 0;
    for (const std::string& line : PeerRecordLines("RV_STAT_RECORD")) {
        const size_t at = line.find(" 108 6 ");
        if (at != std::string::npos && line.compare(at + 7 + 56, 8, stepHex) == 0)
            ++count;
    }
    return count;
}

} // namespace InstallerTests
