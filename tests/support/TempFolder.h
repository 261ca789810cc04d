#pragma once

#include <string>

namespace RVTest {

// A fresh, empty folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Full path without a trailing separator.
    const std::wstring& Path() const { return m_path; }
    std::wstring Child(const std::wstring& relative) const { return m_path + L"\\" + relative; }

private:
    std::wstring m_path;
};

// Makes a folder the current one while it lives, then restores the previous.
class ScopedCurrentFolder
{
public:
    explicit ScopedCurrentFolder(const std::wstring& folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    std::wstring m_previous;
};

// Removes a folder with everything in it (read-only files too); links are
// neither followed nor removed (see PlantedLink for taking one away).
void RemoveTree(const std::wstring& folder);

// Writes bytes to a file (creating or replacing it); reads a whole file.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes);
std::string ReadWholeFile(const std::wstring& path);

} // namespace RVTest
