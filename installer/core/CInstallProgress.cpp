#include "installer/core/CInstallProgress.h"

#include "installer/core/CInflatingPackageSource.h"
#include "installer/core/CMemoryPackageSource.h"
#include "installer/core/CPackageExtraction.h"

#include "engine/filesystem/IVirtualFileSystem.h"

#include <windows.h>

using EngineStream = RVGameEngine::Common::IStream;
using RVGameEngine::Common::TIntrusivePointer;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;

CInstallProgress* CInstallProgress::GetInstance()
{
    static CInstallProgress instance;
    return &instance;
}

void CInstallProgress::Reset()
{
    m_done.store(0);
    m_total.store(0);
}

bool IsScrambledOnExtraction(const wchar_t* name)
{
    if (name == nullptr || CompareStringOrdinal(name, static_cast<int>(wcsnlen(name, 4)), L"Web/", 4, TRUE) == CSTR_EQUAL)
        return false;
    wchar_t extension[RVGameEngine::FileSystem::kPathPartBufferLength];
    if (!IVirtualFileSystem_GetInstance()->GetExtension(name, extension))
        return false;
    static const wchar_t* const kScrambledTypes[] = {L"PNG", L"JPG", L"BMP", L"XML", L"SW"};
    for (const wchar_t* type : kScrambledTypes) {
        if (CompareStringOrdinal(extension, -1, type, -1, TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

bool CInstallProgress::ExtractPackedArchive(TIntrusivePointer<EngineStream> stream)
{
    m_done.store(0);
    m_total.store(0);
    if (stream.IsNull())
        return false;
    CMemoryPackageSource source(stream);
    return CPackageExtraction(&m_total, &m_done).Run(&source, L"package");
}

bool CInstallProgress::ExtractPackage(const void* blob, uint32_t blobSize, const wchar_t* name)
{
    m_done.store(0);
    m_total.store(0);
    CInflatingPackageSource source;
    return source.Open(blob, blobSize, name) && CPackageExtraction(&m_total, &m_done).Run(&source, name);
}
