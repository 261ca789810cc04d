#pragma once

#include <string>

namespace RVTest {

// A free drive letter that maps a folder, as "subst" makes one, while the
// object lives: under Wine a drive link of the prefix made by the host
// (Wine does not act on DefineDosDevice), elsewhere the system's mapping.
// A letter it gives up, and its own when it goes, is unmapped again: a
// link it made is taken away, another program's never.
class MappedDrive
{
public:
    explicit MappedDrive(const std::wstring& folder);
    ~MappedDrive();
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;

    // "M:", or empty when no drive could be mapped.
    const std::wstring& Root() const { return m_root; }
    // Why no drive could be mapped; empty when one is.
    const std::string& WhyNone() const { return m_whyNone; }

private:
    enum class Attempt { Mapped, LetterTaken, GiveUp };

    Attempt MapByHostLink(const std::wstring& drive, const std::wstring& target, const std::wstring& link);
    Attempt MapByDosDevice(const std::wstring& drive);
    Attempt GiveUp(const std::wstring& drive, const std::string& why);
    void Unmap();

    std::wstring m_root;
    std::wstring m_folder;
    std::wstring m_hostLink;
    std::string m_whyNone;
};

} // namespace RVTest
