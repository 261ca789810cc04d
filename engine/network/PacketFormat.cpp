#include "engine/network/PacketFormat.h"

#include "engine/filesystem/ScrambleKeys.h"

#include <cstring>

namespace RVGameEngine {
namespace Network {

namespace {

void WriteWord(uint8_t* at, uint32_t value)
{
    at[0] = static_cast<uint8_t>(value & 0xFF);
    at[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

} // namespace

uint32_t EncodePacket(uint16_t mainCommand, uint16_t subCommand, const uint8_t* data, uint32_t length,
                      bool kindFromCheck, uint8_t* packet)
{
    if (length > kMaxPacketPayload || (data == nullptr && length != 0))
        return 0;
    const uint32_t size = kPacketHeaderSize + length;
    WriteWord(packet, size);
    packet[2] = 0;
    packet[3] = kPacketKind;
    WriteWord(packet + 4, mainCommand);
    WriteWord(packet + 6, subCommand);
    if (length != 0)
        std::memcpy(packet + kPacketHeaderSize, data, length);

    uint8_t sum = 0;
    for (uint32_t i = kPacketSubstitutedOffset; i < size; ++i) {
        sum = static_cast<uint8_t>(sum + packet[i]);
        packet[i] = FileSystem::kPacketSendTable[packet[i]];
    }
    packet[2] = static_cast<uint8_t>(0 - sum);
    if (kindFromCheck)
        packet[3] = static_cast<uint8_t>(255 - packet[2]);
    return size;
}

bool DecodePacket(uint8_t* packet, uint32_t size)
{
    uint8_t sum = packet[2];
    for (uint32_t i = kPacketSubstitutedOffset; i < size; ++i) {
        packet[i] = FileSystem::kPacketReceiveTable[packet[i]];
        sum = static_cast<uint8_t>(sum + packet[i]);
    }
    return sum == 0;
}

} // namespace Network
} // namespace RVGameEngine
