#include "tests/installer/InstallerTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace InstallerTests;

std::wstring ShippedProgram()
{
    return ProgramFolder() + L"..\\..\\installer\\WendmoorSetup.exe";
}

template <typename T>
bool ReadAt(const std::string& bytes, size_t offset, T& value)
{
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T))
        return false;
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return true;
}

struct Section {
    std::string name;
    std::string data;
};

bool ReadFileHeader(const std::string& file, IMAGE_FILE_HEADER& header)
{
    IMAGE_DOS_HEADER dos{};
    return ReadAt(file, 0, dos) && dos.e_magic == IMAGE_DOS_SIGNATURE
           && ReadAt(file, static_cast<size_t>(dos.e_lfanew) + sizeof(DWORD), header);
}

// The sections of a PE file with their full names: names longer than eight
// characters stand in the COFF string table as "/offset".
std::vector<Section> ReadSections(const std::string& file)
{
    std::vector<Section> sections;
    IMAGE_DOS_HEADER dos{};
    IMAGE_FILE_HEADER header{};
    if (!ReadFileHeader(file, header) || !ReadAt(file, 0, dos))
        return sections;
    const size_t strings = header.PointerToSymbolTable + header.NumberOfSymbols * size_t(18);
    size_t at = static_cast<size_t>(dos.e_lfanew) + sizeof(DWORD) + sizeof(header) + header.SizeOfOptionalHeader;
    for (WORD i = 0; i < header.NumberOfSections; ++i, at += sizeof(IMAGE_SECTION_HEADER)) {
        IMAGE_SECTION_HEADER raw{};
        if (!ReadAt(file, at, raw))
            break;
        Section section;
        section.name.assign(reinterpret_cast<const char*>(raw.Name), strnlen(reinterpret_cast<const char*>(raw.Name), 8));
        if (section.name.size() > 1 && section.name[0] == '/' && strings < file.size())
            section.name = file.c_str() + strings + std::stoul(section.name.substr(1));
        if (raw.PointerToRawData < file.size())
            section.data = file.substr(raw.PointerToRawData, raw.SizeOfRawData);
        sections.push_back(section);
    }
    return sections;
}

// The program a player downloads carries no debug sections; the symbols for
// reading its crash dumps lie beside it, named by the program's debug link.
TEST(ShippedProgram, CarriesNoDebugSectionsAndLinksToItsSymbolFile)
{
    const std::vector<Section> program = ReadSections(RVTest::ReadWholeFile(ShippedProgram()));
    ASSERT_FALSE(program.empty());
    std::string link;
    for (const Section& section : program) {
        EXPECT_NE(section.name.rfind(".debug", 0), 0u) << section.name;
        if (section.name == ".gnu_debuglink")
            link = section.data.c_str();
    }
    EXPECT_EQ(link, "WendmoorSetup.exe.debug");

    bool symbols = false;
    for (const Section& section : ReadSections(RVTest::ReadWholeFile(ShippedProgram() + L".debug")))
        symbols = symbols || section.name == ".debug_info";
    EXPECT_TRUE(symbols);
}

// The symbol table is half the program's own size and of use to a debugger
// only: it lies in the symbol file. The engine's exports are no symbols and stay.
TEST(ShippedProgram, KeepsItsExportsAndLeavesTheSymbolTableToTheSymbolFile)
{
    const std::string program = RVTest::ReadWholeFile(ShippedProgram());
    const std::string symbolFile = RVTest::ReadWholeFile(ShippedProgram() + L".debug");
    IMAGE_FILE_HEADER header{};
    ASSERT_TRUE(ReadFileHeader(program, header));
    EXPECT_EQ(header.NumberOfSymbols, 0u);
    IMAGE_FILE_HEADER symbolHeader{};
    ASSERT_TRUE(ReadFileHeader(symbolFile, symbolHeader));
    EXPECT_GT(symbolHeader.NumberOfSymbols, 1000u);

    std::string exports;
    for (const Section& section : ReadSections(program))
        exports = section.name == ".edata" ? section.data : exports;
    EXPECT_NE(exports.find("IDevice_GetInstance"), std::string::npos);
    EXPECT_NE(exports.find("ILogFile_GetInstance"), std::string::npos);
}

} // namespace
