#pragma once

#include "engine/download/IHttpBodySink.h"
#include "engine/filesystem/CRawFile.h"

#include <cstdint>
#include <memory>

namespace RVGameEngine {
namespace Download {

// A response body into a file. The pieces are gathered in a block and
// written a block at a time: one system call per piece costs more than the
// piece's bytes. Once a block cannot be written the body has failed: nothing
// more is taken, and the file keeps only the bytes written before the
// failure, so that it never looks whole with a gap inside. A body cut short
// for another reason keeps what had arrived.
class CHttpFileSink : public IHttpBodySink
{
public:
    static constexpr uint32_t kBlockSize = 256 * 1024;

    explicit CHttpFileSink(const wchar_t* fileName);
    virtual ~CHttpFileSink();
    CHttpFileSink(const CHttpFileSink&) = delete;
    CHttpFileSink& operator=(const CHttpFileSink&) = delete;

    uint32_t GetLimit() const override { return 0xFFFFFFFFu; }
    bool Prepare() override;
    void ExpectLength(uint32_t) override {}
    bool Append(const uint8_t* data, uint32_t count) override;
    uint8_t* GetRoom(uint32_t count) override;
    void Commit(uint32_t count) override { m_pending += count; }
    bool Finish() override;

protected:
    // Writes the bytes at the end of what is in the file; true when all went.
    virtual bool WriteBlock(const uint8_t* data, uint32_t count);

private:
    // Writes the gathered block out; false, from then on, once a write failed.
    bool Flush();
    bool Write(const uint8_t* data, uint32_t count);

    const wchar_t* m_fileName;
    FileSystem::CRawFile m_file;
    std::unique_ptr<uint8_t[]> m_block;
    uint32_t m_pending = 0;
    uint64_t m_written = 0;
    bool m_failed = false;
};

} // namespace Download
} // namespace RVGameEngine
