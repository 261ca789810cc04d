#pragma once

#include "installer/core/extraction/IPackageSource.h"

#include <zlib.h>

#include <cstdint>
#include <string>

// The archive inside a package blob (uint32 size, zlib stream), inflated
// straight into the caller's buffers as it is read, so that the archive is
// never held whole. The blob's bytes must outlive the source.
//
// zlib rather than a faster whole-buffer inflater (libdeflate): only an
// inflater that works in pieces keeps memory bounded, and writing the files,
// not inflating, is the slower side of an extraction.
class CInflatingPackageSource : public IPackageSource
{
public:
    CInflatingPackageSource() = default;
    CInflatingPackageSource(const CInflatingPackageSource&) = delete;
    CInflatingPackageSource& operator=(const CInflatingPackageSource&) = delete;
    ~CInflatingPackageSource() override;

    // False, with a log line naming the package, for a blob without a size
    // field or one stating more than its stream can hold.
    bool Open(const void* blob, uint32_t blobSize, const wchar_t* name);

    uint64_t GetSize() const override { return m_statedSize; }
    bool ReadNext(uint8_t* target, uint32_t count) override;
    bool ReadRestAndCheck() override;

private:
    bool Inflate(uint8_t* target, uint32_t count);
    bool Fail(int zlibResult);

    z_stream m_zlib{};
    bool m_started = false;
    bool m_failed = false;
    uint32_t m_statedSize = 0;
    uint64_t m_produced = 0;
    std::wstring m_name;
};
