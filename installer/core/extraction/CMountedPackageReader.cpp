#include "installer/core/extraction/CMountedPackageReader.h"

using RVGameEngine::Common::IStream;
using RVGameEngine::Common::TIntrusivePointer;

CMountedPackageReader::CMountedPackageReader() : m_reader(new CPackedFileReader_Stream()) {}

bool CMountedPackageReader::OpenArchive(TIntrusivePointer<IStream> archive)
{
    return m_reader->Open(archive);
}

bool CMountedPackageReader::Open(const wchar_t*)
{
    return false;
}

bool CMountedPackageReader::FileExists(const wchar_t* name)
{
    return m_reader->FindItem(name) != nullptr;
}

TIntrusivePointer<IStream> CMountedPackageReader::ReadFile(const wchar_t* name)
{
    return m_reader->ReadItem(name);
}

int32_t CMountedPackageReader::GetItemCount()
{
    return m_reader->GetItemCount();
}

const wchar_t* CMountedPackageReader::GetItemName(int32_t index)
{
    return m_reader->GetItemName(index);
}

TIntrusivePointer<IStream> CMountedPackageReader::ReadItem(int32_t index)
{
    return m_reader->ReadItemByIndex(index);
}
