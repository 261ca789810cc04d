#pragma once

#include <string>

namespace RVTest {

// Under Wine: where a path is on the host, and a host program started by its
// host path (Wine gives no handle to wait on: wait for what it makes).
// Empty, and false, elsewhere.
std::wstring HostPathOf(const std::wstring& path);
bool StartHostCommand(std::wstring commandLine);

// A symbolic link planted where a program must not follow it, taken away
// (the link itself, never what it leads to) when the object goes, if it
// made one. Wine's
// CreateSymbolicLinkW reports success without making anything, so under
// Wine the host's "ln -s" makes a host link, which Wine shows as a reparse
// point when it leads to a folder; on Windows the system call makes it.
class PlantedLink
{
public:
    // Both paths full; the target need not exist.
    PlantedLink(const std::wstring& link, const std::wstring& target, bool folder);
    ~PlantedLink();
    PlantedLink(const PlantedLink&) = delete;
    PlantedLink& operator=(const PlantedLink&) = delete;

    // Whether this object made the link and it is there. A name already
    // taken is refused, and what has it is left alone.
    bool Made() const;

private:
    std::wstring m_link;
    bool m_folder;
    bool m_made = false;
};

} // namespace RVTest
