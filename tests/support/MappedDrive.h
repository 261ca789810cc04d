#pragma once

#include <string>

namespace RVTest {

// A free drive letter that maps a folder, as "subst" makes one, while the
// object lives: under Wine a drive link of the prefix made by the host
// (Wine does not act on DefineDosDevice), elsewhere the system's mapping.
class MappedDrive
{
public:
    explicit MappedDrive(const std::wstring& folder);
    ~MappedDrive();
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;

    // "M:", or empty when no drive could be mapped.
    const std::wstring& Root() const { return m_root; }

private:
    std::wstring m_root;
    std::wstring m_folder;
    std::wstring m_hostLink;
};

} // namespace RVTest
