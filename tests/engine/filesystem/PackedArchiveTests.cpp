#include "tests/engine/filesystem/FileSystemTestSupport.h"

#include "engine/common/base/TScopedHandle.h"
#include "engine/filesystem/ILogFile.h"
#include "engine/filesystem/IPackedFileReader.h"

#include <thread>

using namespace FileSystemTest;

class PackedArchive : public FileSystemTestBase
{
protected:
    bool Open(const std::wstring& fixture) { return m_reader->Open(Fixture(fixture).c_str()); }

    TIntrusivePointer<IPackedFileReader> m_reader{IPackedFileReader_Create()};
};

TEST_F(PackedArchive, ReaderListsNormalisedNamesAndTheFirstOfTwinsWins)
{
    ASSERT_TRUE(Open(L"sample.rade"));
    ASSERT_EQ(m_reader->GetItemCount(), 10);
    EXPECT_STREQ(m_reader->GetItemName(0), L"Installer/UI/a.xml");
    EXPECT_TRUE(m_reader->FileExists(L"installer/ui/A.XML"));
    EXPECT_FALSE(m_reader->FileExists(L"./ui/a.xml")) << "only the manager strips \"./\"";
    EXPECT_FALSE(m_reader->FileExists(nullptr));
    EXPECT_EQ(StreamText(m_reader->ReadItem(4).Get()), "first");
    EXPECT_EQ(StreamText(m_reader->ReadFile(L"DUP.TXT").Get()), "first");
    std::string ramp;
    for (int i = 0; i < 1024; ++i)
        ramp += static_cast<char>(i);
    EXPECT_EQ(StreamText(m_reader->ReadFile(L"bytes.bin").Get()), ramp) << "entry bytes are unscrambled";
    EXPECT_TRUE(m_reader->ReadFile(L"absent").IsNull() && m_reader->ReadItem(10).IsNull());
    EXPECT_TRUE(m_reader->GetItemName(-1) == nullptr && m_reader->GetItemName(10) == nullptr);
    // A failed reopen drops the earlier entries; an empty table and the
    // longest name are fine.
    EXPECT_FALSE(Open(L"past_end.rade"));
    EXPECT_EQ(m_reader->GetItemCount(), 0);
    EXPECT_FALSE(m_reader->Open(nullptr));
    EXPECT_TRUE(Open(L"empty_table.rade"));
    ASSERT_TRUE(Open(L"longest_name.rade"));
    EXPECT_EQ(StreamText(m_reader->ReadFile(std::wstring(999, L'M').c_str()).Get()), "longest");
}

TEST_F(PackedArchive, DamagedAndHostileArchivesAreRefusedWhole)
{
    const wchar_t* refused[] = {
        L"truncated_table.rade", L"truncated_header.rade", L"huge_count.rade", L"all_ones_count.rade",
        L"past_end.rade",        L"offset_past_end.rade",  L"long_name.rade",  L"huge_name_length.rade",
        L"version2.rade",        L"bad_magic.rade",        L"cut_data.rade",   L"missing.rade",
        L"too_many_entries.rade", L"empty_name.rade",
    };
    for (const wchar_t* name : refused) {
        TIntrusivePointer<IPackedFileReader> reader(IPackedFileReader_Create());
        EXPECT_FALSE(reader->Open(Fixture(name).c_str())) << name;
        EXPECT_EQ(reader->GetItemCount(), 0) << name << ": a refused archive holds no entries";
        EXPECT_TRUE(reader->ReadFile(L"a.txt").IsNull()) << name;
        EXPECT_FALSE(VFS()->MountPackedFile(Fixture(name).c_str())) << name;
    }
    EXPECT_EQ(IPackedFileManager_GetInstance()->GetReaderCount(), 0);
    EXPECT_TRUE(IPackedFileManager_GetInstance()->GetReader(0).IsNull());
    EXPECT_TRUE(RVTest::MessageBoxRecorder::Taken().empty()) << "archive checks never ask the user";
}

TEST_F(PackedArchive, ThreadsMayReadOneMountedArchiveAtOnce)
{
    ASSERT_TRUE(VFS()->MountPackedFile(Fixture(L"sample.rade").c_str()));
    int mismatches[2] = {};
    auto reader = [](const wchar_t* name, const char* expected, int* count) {
        for (int i = 0; i < 200; ++i)
            *count += Read(name) != expected ? 1 : 0;
    };
    std::thread first(reader, L"ui/a.xml", "ui-a", &mismatches[0]),
        second(reader, L"data/both.txt", "from the archive", &mismatches[1]);
    first.join(), second.join();
    EXPECT_EQ(mismatches[0] + mismatches[1], 0);
}

namespace {

// An archive of one entry too large to be read into memory; the file is
// sparse, so it costs no disk space.
bool WriteUnreadableArchive(const std::wstring& path)
{
    const wchar_t name[] = L"huge.bin";
    const uint32_t nameUnits = 8, size = 0x7F000000;
    std::string bytes = "RADE";
    for (uint32_t field : {1u, 1u, 0u, size, nameUnits})
        bytes.append(reinterpret_cast<const char*>(&field), 4);
    bytes.append(reinterpret_cast<const char*>(name), nameUnits * sizeof(wchar_t));
    const uint64_t total = bytes.size() + uint64_t(size);
    if (!RVTest::WriteWholeFile(path, bytes))
        return false;
    const CScopedKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(total);
    return file && SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get());
}

// On the first log line, reads another entry on a second thread and notes
// whether that read could finish while the logging read was still going.
struct ReadWhileLogging
{
    bool otherReadFinished = false;
    bool fired = false;

    void OnLog(void*, tagEventArgs*)
    {
        if (fired)
            return;
        fired = true;
        CScopedKernelHandle finished(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        HANDLE done = finished.Get();
        std::thread other([done] {
            IPackedFileManager_GetInstance()->ReadFile(L"ui/a.xml");
            SetEvent(done);
        });
        otherReadFinished = WaitForSingleObject(done, 10000) == WAIT_OBJECT_0;
        if (otherReadFinished) {
            other.join();
        } else {
            // It waits for this read to end: let it finish on its own later.
            finished.Release();
            other.detach();
        }
    }
};

} // namespace

TEST_F(PackedArchive, OneArchiveReadDoesNotHoldUpAnother)
{
    const std::wstring huge = Temp() + L"\\huge.rade";
    ASSERT_TRUE(WriteUnreadableArchive(huge));
    ASSERT_TRUE(VFS()->MountPackedFile(huge.c_str()));
    ASSERT_TRUE(VFS()->MountPackedFile(Fixture(L"sample.rade").c_str()));
    ReadWhileLogging watcher;
    ILogFile* log = ILogFile_GetInstance();
    log->AddMemberFunctionDelegate(kLogFileLogEvent, &watcher, &ReadWhileLogging::OnLog);
    EXPECT_TRUE(IPackedFileManager_GetInstance()->ReadFile(L"huge.bin").IsNull()) << "too large for memory";
    log->RemoveObjectDelegates(&watcher);
    EXPECT_TRUE(watcher.fired);
    EXPECT_TRUE(watcher.otherReadFinished);
}
