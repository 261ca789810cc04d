#pragma once

#include "installer/core/extraction/tagExtractionSlab.h"

#include <cstdint>

// Bytes of one entry in a slab, in order. Every piece has kPieceHeadroom free
// bytes in front of it, so that a header can go before the entry's first
// bytes without a copy. An abandoned piece carries no bytes: its entry will
// get no more, because the package turned out damaged.
struct tagExtractionPiece
{
    static constexpr uint32_t kPieceHeadroom = 4;

    uint32_t entry = 0;
    tagExtractionSlab* slab = nullptr;
    uint32_t offset = 0;
    uint32_t size = 0;
    bool first = false;
    bool last = false;
    bool abandoned = false;

    uint8_t* Bytes() const { return slab->bytes.get() + offset; }
};
