#include "installer/core/extraction/CPackedFileReader_Stream.h"

#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <cstring>

using EngineStream = RVGameEngine::Common::IStream;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::ILogFile_GetInstance;
using RVGameEngine::FileSystem::LOG_LEVEL_ERROR;

std::wstring CPackedFileReader_Stream::NormalizeName(const wchar_t* name)
{
    return RVGameEngine::FileSystem::CPackedArchiveTable::NormalizeName(name);
}

bool CPackedFileReader_Stream::Open(TIntrusivePointer<EngineStream> stream)
{
    m_table.Clear();
    m_stream.Reset();
    if (stream.IsNull())
        return false;
    const uint8_t* data = stream->GetData();
    const uint64_t size = static_cast<uint64_t>(stream->GetSize());
    const auto read = [data](uint64_t position, void* target, uint32_t count) {
        std::memcpy(target, data + position, count);
        return true;
    };
    if (!m_table.Read(read, size, L"package"))
        return false;
    m_stream = stream;
    m_stream->Seek(0);
    return true;
}

int32_t CPackedFileReader_Stream::GetItemCount() const
{
    return m_table.GetItemCount();
}

const wchar_t* CPackedFileReader_Stream::GetItemName(int32_t index) const
{
    return m_table.GetItemName(index);
}

CPackedFileReader_Stream::Item* CPackedFileReader_Stream::FindItem(const wchar_t* name) const
{
    return m_table.FindItem(name);
}

bool CPackedFileReader_Stream::GetStoredBytes(const wchar_t* name, const uint8_t** bytes, uint32_t* size) const
{
    const Item* item = FindItem(name);
    if (item == nullptr)
        return false;
    if (!m_table.LiesWithin(*item, static_cast<uint64_t>(m_stream->GetSize()))) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Package entry %s lies outside the package (%u bytes at %u)",
                                    item->name.c_str(), item->size, item->offset);
        return false;
    }
    *bytes = m_stream->GetData() + m_table.GetDataPosition(*item);
    *size = item->size;
    return true;
}

TIntrusivePointer<EngineStream> CPackedFileReader_Stream::ReadItem(const wchar_t* name)
{
    const uint8_t* stored = nullptr;
    uint32_t size = 0;
    if (!GetStoredBytes(name, &stored, &size))
        return {};
    TIntrusivePointer<EngineStream> bytes(RVGameEngine::Common::IStream_Create(static_cast<int32_t>(size)));
    if (bytes.IsNull()) {
        ILogFile_GetInstance()->Log(LOG_LEVEL_ERROR, L"Out of memory reading package entry %s (%u bytes)", name, size);
        return {};
    }
    std::memcpy(bytes->GetData(), stored, size);
    RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance()->UnscrambleBuffer(bytes->GetData(),
                                                                                 static_cast<int32_t>(size));
    return bytes;
}

TIntrusivePointer<EngineStream> CPackedFileReader_Stream::ReadItemByIndex(int32_t index)
{
    const wchar_t* name = GetItemName(index);
    return name != nullptr ? ReadItem(name) : TIntrusivePointer<EngineStream>();
}
