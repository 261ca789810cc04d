#include "engine/download/CHttpFileSink.h"

#include <algorithm>
#include <new>

namespace RVGameEngine {
namespace Download {

CHttpFileSink::CHttpFileSink(const wchar_t* fileName) : m_fileName(fileName) {}

CHttpFileSink::~CHttpFileSink()
{
    Flush();
}

bool CHttpFileSink::Prepare()
{
    m_pending = 0;
    m_written = 0;
    m_failed = false;
    if (m_block == nullptr)
        m_block.reset(new (std::nothrow) uint8_t[kBlockSize]);
    return m_file.Open(m_fileName, false, false) && m_file.SetSize(0);
}

bool CHttpFileSink::Append(const uint8_t* data, uint32_t count)
{
    uint8_t* room = GetRoom(count);
    if (room != nullptr) {
        std::copy_n(data, count, room);
        Commit(count);
        return true;
    }
    return Flush() && Write(data, count);
}

uint8_t* CHttpFileSink::GetRoom(uint32_t count)
{
    if (m_failed || m_block == nullptr || count > kBlockSize || (m_pending + count > kBlockSize && !Flush()))
        return nullptr;
    return m_block.get() + m_pending;
}

bool CHttpFileSink::Finish()
{
    return Flush();
}

bool CHttpFileSink::WriteBlock(const uint8_t* data, uint32_t count)
{
    return m_file.Write(m_written, data, count);
}

bool CHttpFileSink::Flush()
{
    if (m_failed)
        return false;
    if (m_pending == 0)
        return true;
    const uint32_t count = m_pending;
    m_pending = 0;
    return Write(m_block.get(), count);
}

bool CHttpFileSink::Write(const uint8_t* data, uint32_t count)
{
    if (WriteBlock(data, count)) {
        m_written += count;
        return true;
    }
    // Part of the bytes may have landed: the file ends where the good bytes
    // end.
    m_failed = true;
    m_file.SetSize(m_written);
    return false;
}

} // namespace Download
} // namespace RVGameEngine
