#include "installer/core/install/CInstallProgress.h"

#include "installer/core/extraction/CInflatingPackageSource.h"
#include "installer/core/extraction/CMemoryPackageSource.h"
#include "installer/core/extraction/CPackageExtraction.h"

using EngineStream = RVGameEngine::Common::IStream;
using RVGameEngine::Common::TIntrusivePointer;

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
