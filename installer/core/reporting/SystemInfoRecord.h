#pragma once

// The system-information record the statistics connection sends.

#include <cstddef>
#include <cstdint>
#include <string>

// The system-information message body.
constexpr size_t kSystemInfoRecordSize = 48;
constexpr size_t kHardwareAddressFieldSize = 24;
constexpr size_t kPartnerIDFieldSize = 16;

// The 48-byte record: the hardware address text (at most 23 bytes), 0, the
// step, and the partner identity in code page 936 cut at a character
// boundary to at most 15 bytes; every field zero-terminated and zero-filled.
void BuildSystemInfoRecord(const std::string& hardwareAddress, uint32_t step, const std::wstring& partnerID,
                           uint8_t* record);
// The text in code page 936, whole characters only, at most maxBytes long.
std::string NarrowTextCut(const std::wstring& text, size_t maxBytes);
