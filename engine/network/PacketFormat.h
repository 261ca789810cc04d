#pragma once

#include <cstdint>

namespace RVGameEngine {
namespace Network {

// One packet: u16 total size (header included), u8 check, u8 kind, u16 main
// command, u16 sub command, then the payload; little-endian. Every byte from
// kPacketSubstitutedOffset on travels substituted.
constexpr uint32_t kPacketHeaderSize = 8;
constexpr uint32_t kMaxPacketPayload = 2046;
constexpr uint32_t kMaxPacketSize = kPacketHeaderSize + kMaxPacketPayload;
constexpr uint32_t kPacketSubstitutedOffset = 4;
constexpr uint8_t kPacketKind = 2;
// Twice the largest packet: after each delivered piece at most one partial
// packet stays behind, so a piece of kMaxPacketSize bytes always fits.
constexpr int32_t kReceiveRingCapacity = 2 * static_cast<int32_t>(kMaxPacketSize);
// What one connection's packets waiting for Update may cost; past it the
// connection is read no further until Update has taken it below half.
constexpr uint32_t kMaxQueuedBytesPerConnection = 1024 * 1024;
// What a waiting packet costs besides its bytes: its event record, the two
// heap blocks behind it and its place in the queue.
constexpr uint32_t kQueuedPacketOverhead = 128;
// What the connection events (accepted, connect results, closes) waiting for
// Update may cost together; past it no more clients are accepted until
// Update has taken them below half: connections that come and go while
// Update is not called cannot grow the queue (or hold sockets) without end.
constexpr uint32_t kMaxQueuedConnectionEventBytes = 1024 * 1024;
// Events one Update raises at most; the rest wait for the next call.
constexpr uint32_t kMaxEventsPerUpdate = 256;

// Builds the wire form of a packet into `packet` (room for kMaxPacketSize
// bytes) and returns its size, or 0 when the payload is too long.
uint32_t EncodePacket(uint16_t mainCommand, uint16_t subCommand, const uint8_t* data, uint32_t length,
                      bool kindFromCheck, uint8_t* packet);

// Turns a whole received packet back into plain bytes in place; false when
// the check byte does not match.
bool DecodePacket(uint8_t* packet, uint32_t size);

// The size a header announces (the first two bytes).
inline uint32_t PacketSizeField(const uint8_t* header)
{
    return static_cast<uint32_t>(header[0]) | (static_cast<uint32_t>(header[1]) << 8);
}

inline uint16_t ReadPacketWord(const uint8_t* packet, uint32_t offset)
{
    return static_cast<uint16_t>(packet[offset] | (packet[offset + 1] << 8));
}

} // namespace Network
} // namespace RVGameEngine
