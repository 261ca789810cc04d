#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/ICompress.h"

#include <atomic>
#include <thread>

using namespace FileSystemTest;

namespace {

std::wstring ReadUnicode(const std::wstring& name, bool orScrambled = false)
{
    IVirtualFileSystem* vfs = IVirtualFileSystem_GetInstance();
    wchar_t* text = nullptr;
    const bool read = orScrambled ? vfs->ReadUnicodeText2(name.c_str(), &text)
                                  : vfs->ReadUnicodeText(name.c_str(), &text);
    std::wstring result = read ? text : L"<failed>";
    vfs->FreeBuffer2(text);
    return result;
}

} // namespace

using VirtualFileSystem = FileSystemTestBase;

TEST_F(VirtualFileSystem, FilesRoundTripWholeAndWritesReportTheRealResult)
{
    StreamPtr stream = NewStream("0123456789");
    stream->Seek(7);
    ASSERT_TRUE(VFS()->WriteFile(L"out/data.bin", stream.Get()));
    EXPECT_EQ(RVTest::ReadWholeFile(L"out\\data.bin"), "0123456789") << "written from 0 whatever the position";
    ASSERT_TRUE(VFS()->WriteFile(L"out/data.bin", NewStream("ab").Get()));
    EXPECT_EQ(Read(L"out/data.bin"), "ab") << "a rewrite replaces the whole file";
    EXPECT_EQ(VFS()->ReadFile(L"out/data.bin")->Tell(), 0);
    // A folder where the file should be: the write fails, and says so.
    VFS()->CreateDirectory(L"taken");
    EXPECT_FALSE(VFS()->WriteFile(L"taken", NewStream("x").Get()) || VFS()->WriteText(L"taken", "x") ||
                 VFS()->WriteUnicodeText(L"taken", L"x"));
    EXPECT_FALSE(VFS()->WriteFile(nullptr, stream.Get()) || VFS()->WriteFile(L"x", nullptr));
    // Missing files are absent (quietly) and reading one warns.
    RVTest::MessageBoxRecorder::Clear();
    EXPECT_FALSE(VFS()->FileExists(L"nowhere.txt"));
    EXPECT_TRUE(VFS()->FileExists(L"taken")) << "folders exist too";
    EXPECT_TRUE(VFS()->ReadFile(L"nowhere.txt").IsNull() && VFS()->ReadFile(nullptr).IsNull());
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"Failed to open file: nowhere.txt"});
}

// A rewrite never shows a reader an empty or half-written file: it sees the
// old content or the new one, whole. (A rewrite may fail while the reader
// holds the file open; it then leaves the old file as it was.)
TEST_F(VirtualFileSystem, ARewriteReplacesTheFileInOneStep)
{
    const std::string contents[2] = {std::string(1 << 20, 'a'), std::string((1 << 20) + 7, 'b')};
    ASSERT_TRUE(VFS()->WriteFile(L"whole.bin", NewStream(contents[0]).Get()));
    std::atomic<bool> writing{true};
    int lastWritten = 0, rewrites = 0;
    std::thread writer([&] {
        for (int i = 1; i < 60; ++i) {
            if (VFS()->WriteFile(L"whole.bin", NewStream(contents[i % 2]).Get()))
                lastWritten = i % 2, ++rewrites;
            Sleep(1);
        }
        writing = false;
    });
    int torn = 0;
    for (int reads = 0; writing && reads < 100000; ++reads) {
        {
            const CScopedKernelHandle file(CreateFileW(L"whole.bin", GENERIC_READ,
                                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            std::string bytes(contents[1].size() + 1, '\0');
            DWORD read = 0;
            const bool whole = file && ::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read,
                                                  nullptr);
            bytes.resize(read);
            torn += whole && (bytes == contents[0] || bytes == contents[1]) ? 0 : 1;
        }
        Sleep(1);
    }
    writer.join();
    EXPECT_EQ(torn, 0);
    EXPECT_GT(rewrites, 0);
    EXPECT_TRUE(RVTest::ReadWholeFile(L"whole.bin") == contents[lastWritten]) << "the last good rewrite stays";
    WIN32_FIND_DATAW found;
    const CScopedFindHandle leftovers(FindFirstFileW(L"*.tmp", &found));
    EXPECT_FALSE(leftovers) << "no temporary file stays behind";
}

TEST_F(VirtualFileSystem, ReadsResolveAgainstTheBaseFolderButWritesDoNot)
{
    VFS()->CreateDirectory(L"base/ui");
    ASSERT_TRUE(RVTest::WriteWholeFile(L"base\\ui\\a.xml", "in base"));
    ASSERT_TRUE(RVTest::WriteWholeFile(L"base\\x", "slash"));
    VFS()->SetBaseDirectory((Temp() + L"\\base").c_str());
    EXPECT_EQ(Read(L"ui/a.xml"), "in base");
    EXPECT_EQ(Read(L"/x"), "slash") << "a leading slash still gets the prefix";
    EXPECT_EQ(Read((Temp() + L"\\base\\x").c_str()), "slash") << "drive-qualified names stay";
    ASSERT_TRUE(VFS()->WriteText(L"written.txt", "here"));
    EXPECT_EQ(RVTest::ReadWholeFile(Temp() + L"\\written.txt"), "here");
    EXPECT_TRUE(VFS()->ReadFile(std::wstring(995, L'n').c_str()).IsNull()) << "formed path beyond 999 units";
}

TEST_F(VirtualFileSystem, WholeTextsCarryTheirByteOrderMarks)
{
    ASSERT_TRUE(VFS()->WriteText(L"plain.txt", "abc"));
    EXPECT_EQ(RVTest::ReadWholeFile(L"plain.txt"), "abc");
    ASSERT_TRUE(VFS()->WriteTextWithBom(L"utf8.txt", "abc"));
    EXPECT_EQ(RVTest::ReadWholeFile(L"utf8.txt"), "\xEF\xBB\xBF" "abc");
    ASSERT_TRUE(VFS()->WriteUnicodeText(L"wide.txt", L"ab"));
    EXPECT_EQ(RVTest::ReadWholeFile(L"wide.txt"), std::string("\xFF\xFE" "a\0b\0", 6));
    char* narrow = nullptr;
    ASSERT_TRUE(VFS()->ReadText(L"utf8.txt", &narrow));
    EXPECT_STREQ(narrow, "\xEF\xBB\xBF" "abc");
    VFS()->FreeBuffer(narrow);
    EXPECT_EQ(ReadUnicode(L"wide.txt"), L"ab");
    ASSERT_TRUE(RVTest::WriteWholeFile(L"odd.txt", std::string("\xFF\xFE\x41\x00\x42", 5)));
    EXPECT_EQ(ReadUnicode(L"odd.txt"), L"A") << "the odd last byte is dropped";
    EXPECT_EQ(ReadUnicode(L"plain.txt"), L"<failed>");
    EXPECT_EQ(BoxTexts(), std::vector<std::wstring>{L"File \"plain.txt\" is expected to be a UNICODE coded file."});
}

TEST_F(VirtualFileSystem, RvefFilesReadBackPlainAndPlainFilesStayAsTheyAre)
{
    StreamPtr scrambled = VFS()->ScrambleStream(NewStream("abc"));
    EXPECT_EQ(VFS()->ScrambleStream(scrambled), scrambled) << "already scrambled: the same stream";
    EXPECT_EQ(VFS()->ScrambleStream(NewStream("RVE"))->GetSize(), 7) << "\"RVE\" is plain";
    EXPECT_TRUE(VFS()->ScrambleStream(StreamPtr()).IsNull());
    const std::string utf16("\xFF\xFE" "h\0i\0", 6);
    ASSERT_TRUE(VFS()->WriteFile(L"config.xml", VFS()->ScrambleStream(NewStream(utf16)).Get()));
    EXPECT_EQ(RVTest::ReadWholeFile(L"config.xml").substr(0, 4), "RVEF");
    EXPECT_EQ(StreamText(VFS()->ReadFileUnscrambled(L"config.xml").Get()), utf16);
    EXPECT_EQ(ReadUnicode(L"config.xml", true), L"hi");
    EXPECT_EQ(ReadUnicode(L"config.xml", false), L"<failed>") << "the plain read sees the magic";
    ASSERT_TRUE(RVTest::WriteWholeFile(L"magic_only", "RVEF"));
    EXPECT_EQ(StreamText(VFS()->ReadFileUnscrambled(L"magic_only").Get()), "");
    ASSERT_TRUE(RVTest::WriteWholeFile(L"almost", "RVE"));
    EXPECT_EQ(StreamText(VFS()->ReadFileUnscrambled(L"almost").Get()), "RVE");
    // The packing tool writes the same form with the same constant.
    EXPECT_EQ(ReadUnicode(Fixture(L"tool.rvef"), true), L"made by the tool");
}

TEST_F(VirtualFileSystem, DetectTextEncodingLooksAtTheLeadingBytes)
{
    auto detect = [this](const char* bytes) {
        return RVTest::WriteWholeFile(L"t", bytes), VFS()->DetectTextEncoding(L"t");
    };
    EXPECT_EQ(detect("\xFF\xFE" "x"), TEXT_ENCODING_UTF16LE);
    EXPECT_EQ(detect("\xEF\xBB\xBF" "x"), TEXT_ENCODING_UTF8);
    EXPECT_EQ(detect("%TSDx"), TEXT_ENCODING_TSD);
    EXPECT_EQ(detect("\xEF\xBB"), TEXT_ENCODING_NONE);
    VFS()->WriteFile(L"u16.rvef", VFS()->ScrambleStream(NewStream("\xFF\xFE" "x")).Get());
    EXPECT_EQ(VFS()->DetectTextEncoding(L"u16.rvef"), TEXT_ENCODING_UTF16LE);
    EXPECT_EQ(VFS()->DetectTextEncoding(L"absent"), TEXT_ENCODING_NO_FILE);
}

TEST_F(VirtualFileSystem, MountedArchivesAnswerInAnyCaseWithEitherSeparatorBeforeTheDisk)
{
    VFS()->CreateDirectory(L"Data");
    ASSERT_TRUE(RVTest::WriteWholeFile(L"Data\\Both.txt", "from the disk"));
    ASSERT_TRUE(RVTest::WriteWholeFile(L"Data\\DiskOnly.txt", "disk only"));
    ASSERT_TRUE(VFS()->MountPackedFile(Fixture(L"sample.rade").c_str()));
    EXPECT_EQ(Read(L"INSTALLER\\UI/a.XML"), "<installer-a/>");
    EXPECT_EQ(Read(L".\\UI/A.xml"), "ui-a");
    EXPECT_EQ(Read(L"\x4e2d\x6587/\x540d\x5b57.txt"), "\xe4\xbd\xa0\xe5\xa5\xbd");
    EXPECT_TRUE(VFS()->FileExists(L"Text/Unicode.TXT"));
    EXPECT_EQ(ReadUnicode(L"text/unicode.txt"), L"Hi");
    EXPECT_EQ(ReadUnicode(L"text/scrambled.xml", true), L"<x/>") << "RVEF inside an archive";
    EXPECT_EQ(Read(L"empty.bin"), "");
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(Read(L"data/both.txt"), "from the archive");
    EXPECT_EQ(Read(L"Data/DiskOnly.txt"), "disk only");
    ASSERT_TRUE(VFS()->WriteText(L"Data/Both.txt", "rewritten"));
    EXPECT_EQ(RVTest::ReadWholeFile(L"Data\\Both.txt"), "rewritten") << "writes still go to the disk";
    EXPECT_EQ(Read(L"Data/Both.txt"), "from the archive");
    // Names in archives pass through the replacement list too.
    VFS()->AddFilenameReplace(L"alias/", L"ui/");
    EXPECT_EQ(Read(L"alias/a.xml"), "ui-a");
    // Once, for FileExists as for ReadFile, even where a pair would match its
    // own result again.
    VFS()->ClearFilenameReplace();
    VFS()->AddFilenameReplace(L"u", L"installer/u");
    for (const wchar_t* name : {L"ui/a.xml", L"UI\\A.xml", L"text/unicode.txt", L"Data/DiskOnly.txt", L"absent"})
        EXPECT_EQ(VFS()->FileExists(name), !VFS()->ReadFile(name).IsNull()) << name;
    EXPECT_EQ(Read(L"UI/a.xml"), "<installer-a/>");
}

TEST_F(VirtualFileSystem, ToolMadeTreesAndBlobsMountAfterUncompressing)
{
    const std::string blob = RVTest::ReadWholeFile(Fixture(L"tree.blob"));
    StreamPtr archive = ICompress_GetInstance()->Uncompress(blob.data(), static_cast<uint32_t>(blob.size()));
    EXPECT_EQ(StreamText(archive.Get()), RVTest::ReadWholeFile(Fixture(L"tree.rade")));
    ASSERT_TRUE(VFS()->WriteFile(L"unpacked.rade", archive.Get()));
    ASSERT_TRUE(VFS()->MountPackedFile(L"unpacked.rade"));
    EXPECT_EQ(Read(L"sub/deeper/low.bin"), std::string("\0\1\2", 3));
    EXPECT_EQ(Read(L"top.txt"), "top");
    IPackedFileManager_GetInstance()->UnmountAll();
    EXPECT_FALSE(VFS()->FileExists(L"top.txt"));
}
