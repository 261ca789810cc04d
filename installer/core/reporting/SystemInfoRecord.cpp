#include "installer/core/reporting/SystemInfoRecord.h"

#include "engine/common/base/TextCodec.h"

#include <algorithm>
#include <cstring>

using RVGameEngine::Common::kCodePageAnsi;
using RVGameEngine::Common::WideToNarrow;

namespace {

// Copies at most fieldSize - 1 bytes, so the field always ends in a zero.
void CopyIntoField(uint8_t* field, size_t fieldSize, const std::string& text)
{
    memcpy(field, text.data(), std::min(text.size(), fieldSize - 1));
}

bool IsHighSurrogate(wchar_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

} // namespace

std::string NarrowTextCut(const std::wstring& text, size_t maxBytes)
{
    std::string narrow;
    for (size_t at = 0; at < text.size();) {
        const size_t units = IsHighSurrogate(text[at]) && at + 1 < text.size() ? 2 : 1;
        const std::string piece = WideToNarrow(kCodePageAnsi, text.substr(at, units).c_str());
        if (narrow.size() + piece.size() > maxBytes)
            break;
        narrow += piece;
        at += units;
    }
    return narrow;
}

void BuildSystemInfoRecord(const std::string& hardwareAddress, uint32_t step, const std::wstring& partnerID,
                           uint8_t* record)
{
    memset(record, 0, kSystemInfoRecordSize);
    CopyIntoField(record, kHardwareAddressFieldSize, hardwareAddress);
    const uint32_t reserved = 0;
    memcpy(record + 24, &reserved, sizeof reserved);
    memcpy(record + 28, &step, sizeof step);
    CopyIntoField(record + 32, kPartnerIDFieldSize, NarrowTextCut(partnerID, kPartnerIDFieldSize - 1));
}
