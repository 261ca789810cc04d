// Reading packages from memory and unpacking them: scrambling by type and
// folder, progress counts, and damaged or hostile packages; the setup
// program's own resources.

#include "installer/core/extraction/CExtractedFileWriter.h"
#include "installer/core/extraction/CMemoryPackageSource.h"
#include "installer/core/extraction/CPackageExtraction.h"
#include "installer/core/extraction/CPackedFileReader_Stream.h"
#include "installer/core/extraction/PackedResourceFunctions.h"
#include "installer/core/install/CInstallProgress.h"
#include "installer/core/rules/EntryNameRules.h"
#include "tests/installer/InstallerTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MappedDrive.h"
#include "tests/support/PlantedLink.h"
#include "tests/support/TempFolder.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/CCheckedFileWriter.h"
#include "engine/filesystem/IFileCollector.h"
#include "engine/filesystem/IVirtualFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <future>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace InstallerTests;
using RVGameEngine::Common::TIntrusivePointer;

// Every file under the folder, relative, "/" separated.
std::vector<std::wstring> FilesUnder(const std::wstring& folder)
{
    TIntrusivePointer<RVGameEngine::FileSystem::IFileCollector> collector(
        RVGameEngine::FileSystem::IFileCollector_Create());
    collector->CollectFiles(folder.c_str());
    std::vector<std::wstring> files;
    for (int32_t i = 0; i < collector->GetCount(); ++i)
        files.push_back(std::wstring(collector->GetAt(i)).substr(folder.size() + 1));
    return files;
}

// A sandbox whose "install" subfolder is the current directory while a
// package is unpacked into it.
struct Sandbox
{
    RVTest::TempFolder root;
    std::wstring install = root.Child(L"install");

    bool Extract(const std::string& archive)
    {
        CreateDirectoryW(install.c_str(), nullptr);
        RVTest::ScopedCurrentFolder inside(install);
        return CInstallProgress::GetInstance()->ExtractPackedArchive(StreamOf(archive));
    }
};

// The archive inside a compressed package the packing step made.
std::string UncompressedFixture(const wchar_t* name)
{
    const std::string blob = Fixture(name);
    StreamPointer archive = UncompressPackage(blob.data(), static_cast<uint32_t>(blob.size()), name);
    return archive ? BytesOf(archive.Get()) : std::string();
}

std::string RvefForm(const std::string& plain)
{
    std::string scrambled = plain;
    RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance()->ScrambleBuffer(
        reinterpret_cast<uint8_t*>(&scrambled[0]), static_cast<int32_t>(scrambled.size()));
    return "RVEF" + scrambled;
}

TEST(PackageReader, FindsEntriesByEitherSlashAndAnyCaseAndRefusesOtherFormats)
{
    StreamPointer archive = UncompressPackage(Fixture(L"good.blob").data(),
                                              static_cast<uint32_t>(Fixture(L"good.blob").size()), L"good");
    ASSERT_TRUE(archive);
    TIntrusivePointer<CPackedFileReader_Stream> reader(new CPackedFileReader_Stream());
    ASSERT_TRUE(reader->Open(archive));
    EXPECT_EQ(reader->GetItemCount(), 3);
    EXPECT_STREQ(reader->GetItemName(1), L"Data/x.PNG");
    EXPECT_EQ(reader->GetItemName(3), nullptr);
    StreamPointer found = reader->ReadItem(L"DATA\\x.png");
    ASSERT_TRUE(found);
    EXPECT_EQ(BytesOf(found.Get()), "png bytes");
    EXPECT_EQ(found->Tell(), 0);
    EXPECT_FALSE(reader->ReadItem(L""));
    EXPECT_FALSE(reader->ReadItem(L"Data/y.png"));
    EXPECT_FALSE(reader->Open(StreamPointer()));
}

TEST(PackageExtraction, ScrambledTypesOutsideWebOnly)
{
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"x/b.Jpg", true}, {L"c.bmp", true}, {L"d.xml", true}, {L"e.sw", true}, {L"Webby/f.png", true},
        {L"web/Sub/h.XML", false}, {L"i.swf", false}, {L"png", false}, {L"k.png.txt", false},
    };
    for (const auto& [name, scrambled] : cases)
        EXPECT_EQ(IsScrambledOnExtraction(name), scrambled) << name;
}

TEST(PackageExtraction, GoodBlobUnpacksWithScramblingAndCounts)
{
    Sandbox sandbox;
    StreamPointer archive = StreamOf(UncompressedFixture(L"good.blob"));
    CreateDirectoryW(sandbox.install.c_str(), nullptr);
    // An earlier install left a longer, read-only file in the way.
    const std::wstring earlier = sandbox.install + L"\\good.txt";
    ASSERT_TRUE(RVTest::WriteWholeFile(earlier, std::string(100, 'x')));
    ASSERT_TRUE(SetFileAttributesW(earlier.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        RVTest::ScopedCurrentFolder inside(sandbox.install);
        ASSERT_TRUE(CInstallProgress::GetInstance()->ExtractPackedArchive(archive));
    }
    EXPECT_EQ(CInstallProgress::GetInstance()->GetTotal(), 3u);
    EXPECT_EQ(CInstallProgress::GetInstance()->GetCurrent(), 3u);
    EXPECT_EQ(RVTest::ReadWholeFile(sandbox.install + L"\\good.txt"), "a good entry");
    EXPECT_EQ(RVTest::ReadWholeFile(sandbox.install + L"\\Data\\x.PNG"), RvefForm("png bytes"));
    EXPECT_EQ(RVTest::ReadWholeFile(sandbox.install + L"\\Web\\y.png"), "web png");
}

TEST(PackageExtraction, DamagedBlobsDoNotDecompress)
{
    for (const wchar_t* name : {L"cut.blob", L"bad_stream.blob", L"size_too_large.blob", L"size_too_small.blob"}) {
        RVTest::LogCapture log;
        const std::string blob = Fixture(name);
        EXPECT_FALSE(UncompressPackage(blob.data(), static_cast<uint32_t>(blob.size()), name)) << name;
        EXPECT_EQ(log.CountContaining(std::wstring(L"Package ") + name + L" does not decompress"), 1) << name;
    }
}

// Every entry name that would reach outside the install folder, or another
// file than it names, is refused; the good entry beside it is still written.
TEST(PackageExtraction, HostileNamesWriteNothingOutsideTheInstallFolder)
{
    // Every name_*.rade the packing step made holds one hostile name.
    WIN32_FIND_DATAW found;
    RVGameEngine::Common::CScopedFindHandle search(
        FindFirstFileW((ProgramFolder() + L"installer_fixtures\\name_*.rade").c_str(), &found));
    ASSERT_TRUE(search);
    int kinds = 0;
    do {
        const std::wstring kind = found.cFileName;
        Sandbox sandbox;
        RVTest::LogCapture log;
        EXPECT_FALSE(sandbox.Extract(Fixture(kind))) << kind;
        EXPECT_EQ(FilesUnder(sandbox.root.Path()), std::vector<std::wstring>{L"install/good.txt"}) << kind;
        EXPECT_EQ(RVTest::ReadWholeFile(sandbox.install + L"\\good.txt"), "a good entry") << kind;
        EXPECT_EQ(log.CountContaining(L"refused: not a plain relative name"), 1) << kind;
        for (const std::wstring& message : log.Messages())
            EXPECT_EQ(message.find_first_of(L"\r\n"), std::wstring::npos) << kind << ": one line per entry";
        // Only what was written counts: the refused entry does not.
        EXPECT_EQ(CInstallProgress::GetInstance()->GetCurrent(), 1u) << kind;
        ++kinds;
    } while (FindNextFileW(search.Get(), &found));
    EXPECT_GE(kinds, 17);
    for (const wchar_t* outside : {L"C:\\evil_absolute.txt", L"C:\\evil_backslash.txt", L"C:\\evil_drive.txt",
                                   L"C:\\evil_device.txt", L"C:\\evil_long.txt", L"C:\\evil_drive_relative.txt"})
        EXPECT_FALSE(Exists(outside)) << outside;

    const std::pair<const wchar_t*, bool> names[] = {
        {L"Data/Image/Card.png", true}, {L"a b/c d.txt", true}, {L".hidden", true}, {L"Data/cone/x", true}, {L"Data/con.d/x", false},
        {L"Data/console.txt", true}, {L"Data/COM10", true}, {L"", false}, {L"a//b", false}, {L"a/", false},
        {L"a/./b", false}, {L"LPT9.txt", false}, {L"a/b ", false}, {L"a|b", false}, {L"a\x01" L"b", false},
        {L"Data/com\u00b9.txt", false}, {L"lpt\u00b3", false}, {L"Data/COM\u00b4", true},
    };
    for (const auto& [name, safe] : names)
        EXPECT_EQ(IsSafeEntryName(name), safe) << name;
}

// Every file outside the sandbox's install folder, with its bytes.
std::vector<std::pair<std::wstring, std::string>> FilesOutsideTheInstallFolder(const Sandbox& sandbox)
{
    std::vector<std::pair<std::wstring, std::string>> files;
    for (const std::wstring& file : FilesUnder(sandbox.root.Path()))
        if (file.compare(0, 8, L"install/") != 0)
            files.emplace_back(file, RVTest::ReadWholeFile(sandbox.root.Child(file)));
    return files;
}

// Links planted inside the install folder, where the package has a file or
// a folder, leading to what is there or to nothing: nothing is written,
// made or cut through them, and the extraction fails.
TEST(PackageExtraction, EntriesThatAreLinksAreRefused)
{
    const std::string archive = UncompressedFixture(L"good.blob");
    // A link leading nowhere is planted to its target, which then goes.
    struct Case { const wchar_t* link; const wchar_t* target; bool folder; const wchar_t* refused; bool dangling; };
    const Case cases[] = {
        {L"install\\good.txt", L"outside.txt", false, L"good.txt", false},
        {L"install\\Data", L"outside", true, L"Data/x.PNG", false},
        {L"install\\Web", L"outside", true, L"Web/y.png", false},
        {L"install\\good.txt", L"made_outside", false, L"good.txt", true},
        {L"install\\Data", L"made_outside", true, L"Data/x.PNG", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::wstring(c.link) + L" -> " + c.target);
        Sandbox sandbox;
        ASSERT_TRUE(CreateDirectoryW(sandbox.install.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(sandbox.root.Child(L"outside").c_str(), nullptr));
        ASSERT_TRUE(RVTest::WriteWholeFile(sandbox.root.Child(L"outside.txt"), "keep"));
        ASSERT_TRUE(RVTest::WriteWholeFile(sandbox.root.Child(L"outside\\x.PNG"), "keep"));
        const std::wstring target = sandbox.root.Child(c.target);
        const auto makeTarget = [&] {
            return c.folder ? CreateDirectoryW(target.c_str(), nullptr) != 0 : RVTest::WriteWholeFile(target, "");
        };
        if (c.dangling) {
            ASSERT_TRUE(makeTarget());
        }
        const auto outside = FilesOutsideTheInstallFolder(sandbox);
        const RVTest::PlantedLink link(sandbox.root.Child(c.link), target, c.folder);
        if (!link.Made())
            GTEST_SKIP() << "no links can be made here";
        if (c.dangling) {
            ASSERT_TRUE(c.folder ? RemoveDirectoryW(target.c_str()) : DeleteFileW(target.c_str()));
        }
        RVTest::LogCapture log;
        EXPECT_FALSE(sandbox.Extract(archive));
        EXPECT_FALSE(c.dangling && Exists(target)) << "made through a link leading nowhere";
        if (c.dangling) {
            ASSERT_TRUE(Exists(target) || makeTarget());  // for the link to be taken away
        }
        EXPECT_EQ(FilesOutsideTheInstallFolder(sandbox), outside);
        EXPECT_EQ(log.CountContaining(std::wstring(c.refused) + L" not written: a link, a junction or a volume "
                                                               L"mounted in a folder on its path leads out"),
                  1);
        EXPECT_EQ(CInstallProgress::GetInstance()->GetCurrent(), 2u);
    }
}

// A helper on the host swaps the install folder's files and folders for
// links to a folder outside, and back, while thousands of entries are
// written over them: whatever the extraction's outcome, nothing outside the
// install folder is made, cut or changed. (Under Wine, where the host makes
// the links; elsewhere the planted links above stand for it.)
TEST(PackageExtraction, FilesAndFoldersSwappedForLinksDuringTheExtractionChangeNothingOutside)
{
    Sandbox sandbox;
    const std::wstring outsideFolder = sandbox.root.Child(L"outside");
    const std::wstring signals = sandbox.root.Child(L"signals");
    const std::wstring script = RVTest::HostPathOf(ProgramFolder() + L"installer_fixtures\\swap_links.py");
    if (script.empty())
        GTEST_SKIP() << "the host's own tools swap the links";
    for (const std::wstring& folder : {sandbox.install, outsideFolder, signals})
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    // A reinstall: the helper first puts every entry there already, in the
    // install folder and, with the same names, outside.
    std::vector<std::pair<std::wstring, std::string>> outside;
    wchar_t name[32];
    for (int i = 0; i < 600; ++i) {
        swprintf(name, 32, L"outside/T%03d.bin", i);
        outside.emplace_back(name, "keep");
    }
    for (int d = 0; d < 10; ++d) {
        for (int i = 0; i < 150; ++i) {
            swprintf(name, 32, L"outside/D%02d/f%03d.bin", d, i);
            outside.emplace_back(name, "keep");
        }
    }
    std::sort(outside.begin(), outside.end());

    const auto quoted = [](const std::wstring& text) { return L"\"" + text + L"\""; };
    ASSERT_TRUE(RVTest::StartHostCommand(L"/usr/bin/env python3 " + quoted(script) + L" " +
                                         quoted(RVTest::HostPathOf(sandbox.install)) + L" " +
                                         quoted(RVTest::HostPathOf(outsideFolder)) + L" " +
                                         quoted(RVTest::HostPathOf(signals)) + L" 60 600 10 150"));
    const auto waitFor = [](const std::wstring& file) {
        for (int tries = 0; tries < 2000 && !Exists(file); ++tries)
            Sleep(10);
        return Exists(file);
    };
    ASSERT_TRUE(waitFor(signals + L"\\started"));
    RVTest::LogCapture log;
    sandbox.Extract(Fixture(L"race.rade"));
    ASSERT_TRUE(RVTest::WriteWholeFile(signals + L"\\stop", ""));
    ASSERT_TRUE(waitFor(signals + L"\\stopped"));
    const std::string swaps = RVTest::ReadWholeFile(signals + L"\\stopped");
    EXPECT_GT(std::stoi(swaps), 0);

    auto after = FilesOutsideTheInstallFolder(sandbox);
    after.erase(std::remove_if(after.begin(), after.end(),
                               [](const auto& file) { return file.first.compare(0, 8, L"signals/") == 0; }),
                after.end());
    std::sort(after.begin(), after.end());
    EXPECT_TRUE(after == outside) << swaps << " swaps; " << after.size() << " files outside";
    // Each entry was written, or failed with its log line (refused for a
    // link on its way, or its new folder was taken away under its hands).
    EXPECT_EQ(CInstallProgress::GetInstance()->GetCurrent() +
                  static_cast<uint32_t>(log.CountContaining(L" could not be written")),
              2100u);
}

// The current folder was checked for links by its path; a folder above it
// swapped for a link since then leads there no more: nothing is written.
TEST(PackageExtraction, ACurrentFolderReachedThroughALinkAboveItIsNotWrittenTo)
{
    Sandbox sandbox;
    const std::wstring outside = sandbox.root.Child(L"outside");
    ASSERT_TRUE(CreateDirectoryW(outside.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((outside + L"\\install").c_str(), nullptr));
    const RVTest::PlantedLink link(sandbox.root.Child(L"swapped"), outside, true);
    if (!link.Made())
        GTEST_SKIP() << "no links can be made here";
    RVTest::LogCapture log;
    {
        RVTest::ScopedCurrentFolder inside(sandbox.root.Child(L"swapped\\install"));
        CExtractedFileWriter writer;
        DWORD error = ERROR_SUCCESS;
        EXPECT_FALSE(writer.Write(L"good.txt", "x", 1, &error));
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_CANT_ACCESS_FILE));
    }
    EXPECT_FALSE(Exists(outside + L"\\install\\good.txt"));
    EXPECT_EQ(log.CountContaining(L"good.txt not written: a link, a junction or a volume mounted in a folder on its "
                                  L"path leads out"),
              1);
}

// A drive letter that maps another folder (as subst makes one): the
// folder's handles report its own drive, and the entries are still
// written, where the mapped path says.
TEST(PackageExtraction, AFolderReachedThroughAMappedDriveIsWrittenTo)
{
    Sandbox sandbox;
    ASSERT_TRUE(CreateDirectoryW(sandbox.install.c_str(), nullptr));
    const RVTest::MappedDrive drive(sandbox.install);
    if (drive.Root().empty())
        GTEST_SKIP() << "no drive can be mapped here: " << drive.WhyNone();
    RVTest::ScopedCurrentFolder inside(drive.Root() + L"\\");
    CExtractedFileWriter writer;
    for (const wchar_t* name : {L"one.txt", L"sub/two.txt"}) {
        DWORD error = ERROR_SUCCESS;
        EXPECT_TRUE(writer.Write(name, "x", 1, &error)) << name << " " << error;
    }
    EXPECT_EQ(RVTest::ReadWholeFile(sandbox.install + L"\\one.txt"), "x");
    EXPECT_EQ(RVTest::ReadWholeFile(sandbox.install + L"\\sub\\two.txt"), "x");
}

// A file of the install folder that has other names (a hard link to a file
// elsewhere) is made anew: the other names keep their bytes.
TEST(PackageExtraction, AFileWithOtherNamesIsMadeAnewNotWrittenThrough)
{
    Sandbox sandbox;
    ASSERT_TRUE(CreateDirectoryW(sandbox.install.c_str(), nullptr));
    ASSERT_TRUE(RVTest::WriteWholeFile(sandbox.root.Child(L"outside.txt"), "keep"));
    const std::wstring planted = sandbox.install + L"\\good.txt";
    ASSERT_TRUE(CreateHardLinkW(planted.c_str(), sandbox.root.Child(L"outside.txt").c_str(), nullptr));
    RVTest::LogCapture log;
    EXPECT_TRUE(sandbox.Extract(UncompressedFixture(L"good.blob")));
    EXPECT_EQ(RVTest::ReadWholeFile(sandbox.root.Child(L"outside.txt")), "keep");
    EXPECT_EQ(RVTest::ReadWholeFile(planted), "a good entry");
    RVGameEngine::Common::CScopedKernelHandle file(
        CreateFileW(planted.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    ASSERT_TRUE(GetFileInformationByHandle(file.Get(), &information));
    EXPECT_EQ(information.nNumberOfLinks, 1u);
    EXPECT_EQ(log.CountContaining(L"good.txt had other names"), 1);
}

// A reinstall replaces read-only, hidden and system files alike, and the
// files it leaves are ordinary ones (over a hidden or system file, Windows
// refuses a creation that does not keep those attributes).
TEST(PackageExtraction, ReadOnlyHiddenAndSystemFilesAreReplacedByOrdinaryOnes)
{
    const DWORD kCleared = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const DWORD planted[] = {
        FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE, kCleared,
    };
    for (DWORD attributes : planted) {
        SCOPED_TRACE(attributes);
        Sandbox sandbox;
        ASSERT_TRUE(CreateDirectoryW(sandbox.install.c_str(), nullptr));
        const std::wstring earlier = sandbox.install + L"\\good.txt";
        ASSERT_TRUE(RVTest::WriteWholeFile(earlier, std::string(100, 'x')));
        ASSERT_TRUE(SetFileAttributesW(earlier.c_str(), attributes));
        EXPECT_TRUE(sandbox.Extract(UncompressedFixture(L"good.blob")));
        EXPECT_EQ(RVTest::ReadWholeFile(earlier), "a good entry");
        EXPECT_EQ(GetFileAttributesW(earlier.c_str()) & kCleared, 0u);
    }
    // What is kept of the attributes, as the system is told.
    const std::pair<DWORD, DWORD> kept[] = {
        {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_NORMAL},
        {kCleared | FILE_ATTRIBUTE_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE},
        {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, FILE_ATTRIBUTE_NOT_CONTENT_INDEXED},
    };
    for (const auto& [attributes, replaced] : kept)
        EXPECT_EQ(RVGameEngine::FileSystem::CCheckedFileWriter::ReplacedAttributes(attributes), replaced) << attributes;
}

TEST(PackageExtraction, DamagedArchivesFailWithoutWritingTheirBadEntries)
{
    struct Case { const wchar_t* file; uint32_t total; std::vector<std::wstring> written; };
    const Case cases[] = {
        {L"truncated_entry.rade", 2, {L"install/good.txt"}},
        {L"lying_size.rade", 2, {L"install/good.txt"}},
        {L"wrapped_offset.rade", 2, {L"install/good.txt"}},
        {L"empty_name.rade", 2, {L"install/good.txt"}},
        {L"bad_magic.rade", 0, {}},
        {L"version2.rade", 0, {}},
        {L"huge_count.rade", 0, {}},
        {L"truncated_table.rade", 0, {}},
    };
    for (const Case& c : cases) {
        Sandbox sandbox;
        RVTest::LogCapture log;
        EXPECT_FALSE(sandbox.Extract(Fixture(c.file))) << c.file;
        EXPECT_EQ(FilesUnder(sandbox.root.Path()), c.written) << c.file;
        EXPECT_EQ(CInstallProgress::GetInstance()->GetTotal(), c.total) << c.file;
        EXPECT_EQ(CInstallProgress::GetInstance()->GetCurrent(), c.written.size()) << c.file;
        EXPECT_GE(log.Messages().size(), 1u) << c.file;
    }
}

// Entries placed anywhere in the data: each file gets its own bytes.
TEST(PackageExtraction, EntriesAreWrittenFromWhereverTheyLieInTheData)
{
    using Files = std::vector<std::pair<std::wstring, std::string>>;
    struct Case { const wchar_t* file; bool extracted; uint32_t total; Files files; };
    const Case cases[] = {
        {L"overlap.rade", true, 2, {{L"install/b.txt", " entrytail o"}, {L"install/good.txt", "a good entry"}}},
        {L"gaps.rade", true, 2, {{L"install/b.txt", "bbbbb"}, {L"install/good.txt", "a good entry"}}},
        {L"repeated.rade", true, 2, {{L"install/good.txt", "a good entry"}}},
        {L"rvef.rade", true, 3,
         {{L"install/Data/r.xml", "RVEFabc"}, {L"install/empty.xml", "RVEF"}, {L"install/good.txt", "a good entry"}}},
    };
    for (const Case& c : cases) {
        Sandbox sandbox;
        RVTest::LogCapture log;
        EXPECT_EQ(sandbox.Extract(Fixture(c.file)), c.extracted) << c.file;
        Files files;
        for (const std::wstring& file : FilesUnder(sandbox.root.Path()))
            files.emplace_back(file, RVTest::ReadWholeFile(sandbox.root.Path() + L"\\" + file));
        std::sort(files.begin(), files.end());
        EXPECT_EQ(files, c.files) << c.file;
        EXPECT_EQ(CInstallProgress::GetInstance()->GetTotal(), c.total) << c.file;
        EXPECT_EQ(CInstallProgress::GetInstance()->GetCurrent(), c.total) << c.file;
    }
}

// What a file holds once written: the RVEF form for the scrambled types,
// unless the plain bytes are in that form already.
std::string WrittenForm(const std::wstring& name, const std::string& plain)
{
    return IsScrambledOnExtraction(name.c_str()) && plain.compare(0, 4, "RVEF") != 0 ? RvefForm(plain) : plain;
}

// Entries sharing their bytes, overlapping, nested or out of data order (and
// several slabs' worth of them): every file is written byte for byte as the
// package's own reader gives its entry (the first one of a repeated name).
TEST(PackageExtraction, EntriesSharingOrOverlappingTheirBytesGetTheirOwnBytes)
{
    struct Case { const wchar_t* file; uint32_t total; uint32_t files; };
    const Case cases[] = {
        {L"shared.rade", 3, 3}, {L"nested.rade", 4, 4}, {L"interleaved.rade", 4, 4},
        {L"rvef_shared.rade", 4, 4}, {L"repeated_shared.rade", 3, 2}, {L"big_shared.rade", 5, 5},
    };
    for (const Case& c : cases) {
        Sandbox sandbox;
        RVTest::LogCapture log;
        const std::string archive = Fixture(c.file);
        EXPECT_TRUE(sandbox.Extract(archive)) << c.file;
        EXPECT_EQ(CInstallProgress::GetInstance()->GetTotal(), c.total) << c.file;
        EXPECT_EQ(CInstallProgress::GetInstance()->GetCurrent(), c.total) << c.file;
        EXPECT_EQ(FilesUnder(sandbox.install).size(), c.files) << c.file;
        TIntrusivePointer<CPackedFileReader_Stream> reader(new CPackedFileReader_Stream());
        ASSERT_TRUE(reader->Open(StreamOf(archive))) << c.file;
        for (int32_t i = 0; i < reader->GetItemCount(); ++i) {
            const std::wstring name = reader->GetItemName(i);
            StreamPointer plain = reader->ReadItem(name.c_str());
            ASSERT_TRUE(plain) << c.file << " " << name;
            EXPECT_TRUE(RVTest::ReadWholeFile(sandbox.install + L"\\" + name) == WrittenForm(name, BytesOf(plain.Get())))
                << c.file << " " << name;
        }
    }
}

// Memory short enough to give a single slab: bytes several entries share need
// a second one while the first is held, so the extraction refuses to start
// instead of waiting for ever; two slabs are enough for every shape.
TEST(PackageExtraction, FewerSlabsThanSharedBytesNeedFailAtOnceAndTwoAreEnough)
{
    struct Case { const wchar_t* file; uint32_t slabs; bool extracted; };
    const Case cases[] = {
        {L"big_shared.rade", 1, false}, {L"shared.rade", 1, false}, {L"big_shared.rade", 2, true},
        {L"nested.rade", 2, true}, {L"big_shared.rade", CPackageExtraction::kDefaultSlabCount, true},
    };
    for (const Case& c : cases) {
        Sandbox sandbox;
        RVTest::LogCapture log;
        const std::string archive = Fixture(c.file);
        CreateDirectoryW(sandbox.install.c_str(), nullptr);
        std::atomic<uint32_t> total{0};
        std::atomic<uint32_t> done{0};
        std::future<bool> run = std::async(std::launch::async, [&] {
            RVTest::ScopedCurrentFolder inside(sandbox.install);
            CMemoryPackageSource source(StreamOf(archive));
            return CPackageExtraction(&total, &done, c.slabs).Run(&source, c.file);
        });
        if (run.wait_for(std::chrono::minutes(2)) != std::future_status::ready) {
            // A hung extraction cannot be joined: report it and end the run.
            std::fprintf(stderr, "Extraction of %ls with %u slab(s) never ended\n", c.file, c.slabs);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 1);
        }
        EXPECT_EQ(run.get(), c.extracted) << c.file << " " << c.slabs;
        EXPECT_EQ(done.load() == total.load(), c.extracted) << c.file << " " << c.slabs;
        EXPECT_EQ(log.CountContaining(L"Out of memory extracting"), c.extracted ? 0 : 1) << c.file << " " << c.slabs;
        if (!c.extracted) {
            EXPECT_TRUE(FilesUnder(sandbox.install).empty()) << c.file;
        }
    }
}

// A blob inflated while its files are written: a sound one is written whole,
// one damaged anywhere fails (those cut short part-way before every entry is
// out) and never writes outside the install folder.
TEST(PackageExtraction, ABlobDamagedPartWayFailsAndWritesOnlyInsideTheInstallFolder)
{
    struct Case { const wchar_t* file; bool extracted; bool cutShort; };
    const Case cases[] = {
        {L"many.blob", true, false},
        {L"many_cut.blob", false, true},
        {L"many_flipped.blob", false, false},
        {L"many_bad_checksum.blob", false, false},
    };
    for (const Case& c : cases) {
        Sandbox sandbox;
        RVTest::LogCapture log;
        const std::string blob = Fixture(c.file);
        CreateDirectoryW(sandbox.install.c_str(), nullptr);
        bool extracted = false;
        {
            RVTest::ScopedCurrentFolder inside(sandbox.install);
            extracted = CInstallProgress::GetInstance()->ExtractPackage(blob.data(), static_cast<uint32_t>(blob.size()),
                                                                        c.file);
        }
        EXPECT_EQ(extracted, c.extracted) << c.file;
        const std::vector<std::wstring> files = FilesUnder(sandbox.root.Path());
        for (const std::wstring& file : files)
            EXPECT_EQ(file.compare(0, 8, L"install/"), 0) << c.file << " wrote " << file;
        const uint32_t done = CInstallProgress::GetInstance()->GetCurrent();
        EXPECT_EQ(CInstallProgress::GetInstance()->GetTotal(), 120u) << c.file;
        EXPECT_EQ(log.CountContaining(L"Written before the damage: "), c.extracted ? 0 : static_cast<int>(done))
            << c.file;
        if (c.extracted) {
            EXPECT_EQ(files.size(), 120u) << c.file;
        }
        if (c.cutShort) {
            EXPECT_LT(done, 120u) << c.file;
        }
    }
}

// The built setup program carries both packages, its manifest, icon and
// version; a package a program lacks is logged.
TEST(EmbeddedPackages, TheSetupProgramCarriesPackagesManifestIconAndVersion)
{
    const std::wstring program = ProgramFolder() + L"..\\..\\installer\\WendmoorSetup.exe";
    RVGameEngine::Common::CScopedModule setup(LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(setup);
    auto resource = [&setup](const wchar_t* name, const wchar_t* type) {
        HRSRC found = FindResourceW(setup.Get(), name, type);
        HGLOBAL loaded = found != nullptr ? LoadResource(setup.Get(), found) : nullptr;
        const char* bytes = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
        return bytes != nullptr ? std::string(bytes, SizeofResource(setup.Get(), found)) : std::string();
    };
    for (const wchar_t* package : {kInstallerPackage, kGameClientPackage}) {
        const std::string blob = resource(package, kPackageResourceType);
        EXPECT_TRUE(UncompressPackage(blob.data(), static_cast<uint32_t>(blob.size()), package)) << package;
    }
    EXPECT_NE(resource(MAKEINTRESOURCEW(1), RT_MANIFEST).find("level=\"requireAdministrator\""), std::string::npos);
    EXPECT_FALSE(resource(L"IDI_WENDMOOR", RT_GROUP_ICON).empty());

    DWORD ignored = 0;
    std::vector<char> version(GetFileVersionInfoSizeW(program.c_str(), &ignored));
    ASSERT_FALSE(version.empty());
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 9));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(3, 1));

    RVTest::LogCapture log;
    EXPECT_FALSE(LoadPackedResource(L"IDR_MISSING", kPackageResourceType));
    EXPECT_FALSE(LoadPackageArchive(L"IDR_MISSING"));
    EXPECT_EQ(log.CountContaining(L"no resource IDR_MISSING"), 2);
}

} // namespace
