#pragma once

// Reading what the local test servers recorded (see tests/servers).

#include "tests/servers/PeerEnvironment.h"

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

} // namespace InstallerTests
