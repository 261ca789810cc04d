#include <winsock2.h>

#include "engine/common/base/IStream.h"
#include "engine/common/base/TIntrusivePointer.h"
#include "engine/common/base/TextCodec.h"
#include "engine/download/CHttpDownloader.h"
#include "engine/download/CHttpFileSink.h"
#include "engine/download/HttpUrl.h"
#include "tests/servers/PeerEnvironment.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using namespace RVGameEngine;
using namespace RVGameEngine::Download;
using Common::TIntrusivePointer;

namespace {

RVTest::WinsockScope g_winsock;

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring ServerUrl(const std::string& path, const char* portVariable = "RV_HTTP_PORT")
{
    return L"http://127.0.0.1:" + Widen(std::to_string(RVTest::PeerPort(portVariable))) + Widen(path);
}

std::string HostText()
{
    return "127.0.0.1:" + std::to_string(RVTest::PeerPort("RV_HTTP_PORT"));
}

// The raw bytes of the newest request the server saw for a path.
std::string RecordedRequest(const std::string& path)
{
    std::string name;
    for (char c : path)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return RVTest::ReadPeerFile(RVTest::PeerVariable("RV_HTTP_RECORD_DIR") + "\\" + name + ".req");
}

std::string Text(Common::IStream* stream)
{
    return std::string(reinterpret_cast<const char*>(stream->GetData()), static_cast<size_t>(stream->GetSize()));
}

TIntrusivePointer<Common::IStream> NewStream()
{
    return TIntrusivePointer<Common::IStream>(Common::IStream_CreateEmpty());
}

// Bytes of private memory committed in this process now (whether touched
// yet or not).
uint64_t CommittedBytes()
{
    uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at)
            break;
        at = next;
    }
    return total;
}

uint32_t Elapsed(DWORD start)
{
    return GetTickCount() - start;
}

} // namespace

TEST(HttpUrl, SplitsHostPathAndPort)
{
    struct Case
    {
        const wchar_t* url;
        const char* host;
        const char* path;
        uint16_t port;
        const char* address;
    };
    const Case cases[] = {
        {L"localhost", "localhost", "/", 80, "127.0.0.1"},
        {L"HTTP://127.0.0.1:8/a/b?x=1", "127.0.0.1:8", "/a/b?x=1", 8, "127.0.0.1"},
        {L"http://10.1.2.3/index", "10.1.2.3", "/index", 80, nullptr},
        {L"127.0.0.1:65535", "127.0.0.1:65535", "/", 65535, "127.0.0.1"},
        // No port rather than the one 65536 + 80 would wrap to.
        {L"127.0.0.1:65616/x", "127.0.0.1:65616", "/x", 0, "127.0.0.1"},
        {L"127.0.0.1:/x", "127.0.0.1:", "/x", 0, "127.0.0.1"},
    };
    for (const Case& c : cases) {
        const tagHttpUrl parts = SplitHttpUrl(c.url);
        EXPECT_EQ(parts.host, c.host);
        EXPECT_EQ(parts.path, c.path);
        EXPECT_EQ(HttpHostPort(parts.host), c.port);
        if (c.address != nullptr) {
            EXPECT_EQ(ResolveHttpHost(parts.host), c.address);
        }
    }
    RVTest::LogCapture log;
    TIntrusivePointer<IHttpDownloader> http(IHttpDownloader_Create());
    EXPECT_FALSE(http->Open(L"http://127.0.0.1:65616/"));
    EXPECT_EQ(log.CountContaining(L"no usable port"), 1);
}

TEST(HttpDownloader, SendsExactRequestBytesOnOneConnection)
{
    ASSERT_NE(RVTest::PeerPort("RV_HTTP_PORT"), 0) << "run through tests/servers/run_with_peers.py";
    TIntrusivePointer<IHttpDownloader> http(IHttpDownloader_Create());
    ASSERT_TRUE(http->Open(ServerUrl("/").c_str()));

    ASSERT_TRUE(http->Download(ServerUrl("/ok5?a=1").c_str(), NewStream(), 0));
    EXPECT_EQ(RecordedRequest("/ok5"), "GET /ok5?a=1 HTTP/1.1\r\n"
                                       "Accept: application/octet-stream\r\n"
                                       "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
                                       "Host: " + HostText() + "\r\n"
                                       "Cache-Control: no-cache\r\n\r\n");

    // The connection stays open between requests.
    http->DisableAcceptHeader();
    ASSERT_TRUE(http->DownloadWithHost(ServerUrl("/again").c_str(), L"example.test", NewStream(), 0));
    EXPECT_EQ(RecordedRequest("/again"), "GET /again HTTP/1.1\r\n"
                                         "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
                                         "Host: example.test\r\n"
                                         "Cache-Control: no-cache\r\n\r\n");

    TIntrusivePointer<Common::IStream> reply = NewStream();
    ASSERT_TRUE(http->Post(ServerUrl("/form?a=1&b=2").c_str(), reply, 0));
    EXPECT_EQ(Text(reply.Get()), "ok");
    EXPECT_EQ(RecordedRequest("/form"), "POST /form HTTP/1.1\r\n"
                                        "Content-Length:7\r\n"
                                        "Content-Type: application/x-www-form-urlencoded;charset=UTF-8\r\n"
                                        "Host:" + HostText() + "\r\n\r\na=1&b=2");

    // A line break in a URL or host would add header lines of its own: such
    // requests are refused before anything is sent, so the connection still
    // answers the next request.
    RVTest::LogCapture log;
    EXPECT_FALSE(http->Download(ServerUrl("/ok5\r\nX-Added: 1").c_str(), NewStream(), 0));
    EXPECT_FALSE(http->DownloadWithHost(ServerUrl("/ok5").c_str(), L"a\r\nX-Added: 1", NewStream(), 0));
    EXPECT_FALSE(http->Post(ServerUrl("/form\n?a=1").c_str(), NewStream(), 0));
    EXPECT_EQ(log.CountContaining(L"a control character in the URL"), 3);
    EXPECT_TRUE(http->Download(ServerUrl("/ok5").c_str(), NewStream(), 0));

    // The form body is the query as the system's ANSI code page reads the
    // URL's narrow (936) bytes, sent as UTF-8: the users' systems use code page
    // 936, where the text comes through unchanged.
    const std::wstring query = L"name=\u4E2D\u6587&x=1";
    ASSERT_TRUE(http->Post((ServerUrl("/form?") + query).c_str(), NewStream(), 0));
    const std::string narrow = Common::WideToNarrow(Common::kCodePageAnsi, query.c_str());
    const std::wstring asSystemReadsIt = Common::NarrowToWide(CP_ACP, narrow.c_str());
    const std::string body = Common::WideToNarrow(Common::kCodePageUtf8, asSystemReadsIt.c_str());
    const std::string request = RecordedRequest("/form");
    ASSERT_GE(request.size(), body.size());
    EXPECT_EQ(request.substr(request.size() - body.size()), body);
    EXPECT_NE(request.find("Content-Length:" + std::to_string(body.size()) + "\r\n"), std::string::npos);
    if (GetACP() == 936) {
        EXPECT_EQ(body, "name=\xE4\xB8\xAD\xE6\x96\x87&x=1");
    }
}

TEST(HttpDownloader, ResponsesAreTakenOnlyWhenWholeAndSound)
{
    struct Case
    {
        const char* path;
        bool result;
        const char* body;
    };
    const Case cases[] = {
        {"/ok5", true, "hello"},
        {"/slow", true, "slow"},
        {"/chunked", true, "Wikipedia in\r\nchunks"},
        {"/notfound", false, ""},
        {"/lower", false, ""},       // the length field is matched with its letter case
        {"/nolength", false, ""},
        {"/zero", false, ""},
        {"/short", false, "12345"},  // what came stays in the stream
        {"/badchunk", false, ""},
        {"/blankchunk", false, "hello"},  // a size line without a digit is no last chunk
        {"/pausedheader", false, ""},     // a header not ended before the time-out is no header
        {"/hugechunk", false, ""},
        {"/overflow", false, ""},
        {"/toolarge", false, ""},
        {"/bigheader", false, ""},
    };
    RVTest::LogCapture log;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        TIntrusivePointer<IHttpDownloader> http(IHttpDownloader_Create());
        ASSERT_TRUE(http->Open(ServerUrl(c.path).c_str()));
        TIntrusivePointer<Common::IStream> stream = NewStream();
        stream->Write("old", 3);
        EXPECT_EQ(http->Download(ServerUrl(c.path).c_str(), stream, 0), c.result);
        if (c.result || stream->GetSize() != 3) {
            EXPECT_EQ(Text(stream.Get()), c.body);
        }
        // A failed request leaves no half-read response on the connection.
        if (!c.result) {
            EXPECT_FALSE(http->Download(ServerUrl("/ok5").c_str(), NewStream(), 0));
        }
    }
}

TEST(HttpDownloader, LargeBodyReportsProgressAndGoesToFiles)
{
    TIntrusivePointer<IHttpDownloader> http(IHttpDownloader_Create());
    ASSERT_TRUE(http->Open(ServerUrl("/").c_str()));
    struct Counter
    {
        uint32_t total = 0;
        void OnBytes(void*, Common::tagEventArgs* args)
        {
            total += static_cast<tagHttpDownloaderBytesDownloadedEventArgs*>(args)->bytes;
        }
    } counter;
    http->AddMemberFunctionDelegate(kHttpDownloaderBytesDownloadedEvent, &counter, &Counter::OnBytes);

    TIntrusivePointer<Common::IStream> stream = NewStream();
    ASSERT_TRUE(http->Download(ServerUrl("/big").c_str(), stream, 0));
    ASSERT_EQ(stream->GetSize(), 1048576);
    for (int32_t i = 0; i < stream->GetSize(); i += 4093)
        ASSERT_EQ(stream->GetData()[i], i % 251) << i;
    EXPECT_EQ(counter.total, 1048576u);
    EXPECT_FLOAT_EQ(http->GetProgress(), 1.0f);

    RVTest::TempFolder folder;
    const std::wstring file = folder.Child(L"made\\later\\ok.bin");
    ASSERT_TRUE(http->DownloadToFile(ServerUrl("/ok5").c_str(), file.c_str(), 10));
    EXPECT_EQ(RVTest::ReadWholeFile(file), "hello");
    const std::wstring chunked = folder.Child(L"chunked.bin");
    ASSERT_TRUE(http->DownloadToFile(ServerUrl("/chunked").c_str(), chunked.c_str(), 0));
    EXPECT_EQ(RVTest::ReadWholeFile(chunked), "Wikipedia in\r\nchunks");
    EXPECT_EQ(http->GetBytesDownloaded(), 1048576u + 5u + 20u);
    // A file takes the pieces in blocks of many: every byte lands, in order.
    const std::wstring big = folder.Child(L"big.bin");
    ASSERT_TRUE(http->DownloadToFile(ServerUrl("/big").c_str(), big.c_str(), 0));
    std::string expected(1048576, '\0');
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = static_cast<char>(i % 251);
    EXPECT_TRUE(RVTest::ReadWholeFile(big) == expected);

    // Without a connection nothing is asked, but the folder is still made.
    http->Close();
    EXPECT_FALSE(http->DownloadToFile(ServerUrl("/ok5").c_str(), folder.Child(L"closed\\x.bin").c_str(), 0));
    EXPECT_NE(GetFileAttributesW(folder.Child(L"closed").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A progress handler may drop the last reference to the downloader; the
// request still completes without running on freed (poisoned) memory.
TEST(HttpDownloader, AProgressHandlerMayReleaseTheDownloader)
{
    struct Releaser
    {
        TIntrusivePointer<IHttpDownloader> http;
        void OnBytes(void*, Common::tagEventArgs*) { http.Reset(); }
    } releaser;
    releaser.http = TIntrusivePointer<IHttpDownloader>(IHttpDownloader_Create());
    IHttpDownloader* raw = releaser.http.Get();
    ASSERT_TRUE(raw->Open(ServerUrl("/").c_str()));
    raw->AddMemberFunctionDelegate(kHttpDownloaderBytesDownloadedEvent, &releaser, &Releaser::OnBytes);
    TIntrusivePointer<Common::IStream> stream = NewStream();
    EXPECT_TRUE(raw->Download(ServerUrl("/big").c_str(), stream, 0));
    EXPECT_TRUE(releaser.http.IsNull());
    EXPECT_EQ(stream->GetSize(), 1048576);
}

TEST(HttpDownloader, TimeLimitsHold)
{
    // A connect that is never answered gives up after the time-out asked for.
    const struct
    {
        uint32_t timeoutMs;
        uint32_t atLeast;
        uint32_t atMost;
    } waits[] = {{0, 4500, 6500}, {1500, 1300, 2500}};
    for (const auto& wait : waits) {
        TIntrusivePointer<IHttpDownloader> http(IHttpDownloader_Create());
        const DWORD start = GetTickCount();
        const std::wstring url = ServerUrl("/", "RV_BLACKHOLE_PORT");
        EXPECT_FALSE(wait.timeoutMs == 0 ? http->Open(url.c_str()) : http->Open(url.c_str(), wait.timeoutMs));
        EXPECT_GE(Elapsed(start), wait.atLeast);
        EXPECT_LE(Elapsed(start), wait.atMost);
        EXPECT_FALSE(http->Download(url.c_str(), NewStream(), 0));
    }
    TIntrusivePointer<IHttpDownloader> refused(IHttpDownloader_Create());
    const DWORD start = GetTickCount();
    EXPECT_FALSE(refused->Open(ServerUrl("/", "RV_REFUSED_PORT").c_str()));
    EXPECT_LE(Elapsed(start), 2500u);

    // A server that trickles its answer is given up on at the deadline.
    TIntrusivePointer<IHttpDownloader> http(new CHttpDownloader(2000));
    ASSERT_TRUE(http->Open(ServerUrl("/trickle").c_str()));
    const DWORD trickleStart = GetTickCount();
    EXPECT_FALSE(http->Download(ServerUrl("/trickle").c_str(), NewStream(), 0));
    EXPECT_LE(Elapsed(trickleStart), 3500u);
    EXPECT_TRUE(http->Reopen(2000));
    EXPECT_TRUE(http->Download(ServerUrl("/ok5").c_str(), NewStream(), 0));
}

// A stated length is not taken on trust: answers that promise 64 MB and send
// one byte commit no such memory, and each failed request leaves in its
// stream the one byte that came, the position after it.
TEST(HttpDownloader, AStatedLengthCommitsNoMemoryBeforeTheBodyArrives)
{
    constexpr int kAnswers = 8;
    std::vector<TIntrusivePointer<Common::IStream>> streams;
    const uint64_t before = CommittedBytes();
    for (int i = 0; i < kAnswers; ++i) {
        TIntrusivePointer<IHttpDownloader> http(IHttpDownloader_Create());
        ASSERT_TRUE(http->Open(ServerUrl("/lyinglength").c_str()));
        streams.push_back(NewStream());
        streams.back()->Write("old", 3);
        streams.back()->Seek(1);
        EXPECT_FALSE(http->Download(ServerUrl("/lyinglength").c_str(), streams.back(), 0));
        EXPECT_EQ(Text(streams.back().Get()), "x");
        EXPECT_EQ(streams.back()->Tell(), 1);
    }
    const uint64_t grown = CommittedBytes() - before;
    // A few MB each at most, far from the 64 MB stated.
    EXPECT_LT(grown, kAnswers * 8ull * 1024 * 1024);

    // A body that does come in whole still lands byte for byte.
    TIntrusivePointer<IHttpDownloader> http(IHttpDownloader_Create());
    ASSERT_TRUE(http->Open(ServerUrl("/bench").c_str()));
    TIntrusivePointer<Common::IStream> stream = NewStream();
    ASSERT_TRUE(http->Download(ServerUrl("/bench").c_str(), stream, 0));
    ASSERT_EQ(stream->GetSize(), 20971520);
    EXPECT_EQ(stream->Tell(), 20971520);
    for (int32_t i = 0; i < stream->GetSize(); i += 65521)
        ASSERT_EQ(stream->GetData()[i], i % 251) << i;
}

// A body cut short fails the request but leaves exactly the bytes that came,
// in a stream (whatever it held before) as in a file: the ones the progress
// event counted, however the peer stopped.
TEST(HttpDownloader, ABodyCutShortLeavesExactlyTheReceivedPart)
{
    struct Case
    {
        const char* path;
        uint32_t deadlineMs;
        // Empty: the body is a run of the pattern bytes, as many as counted.
        std::string received;
    };
    const Case cases[] = {
        {"/short", CHttpDownloader::kDefaultRequestDeadlineMs, "12345"},        // the peer hangs up
        {"/stalled", CHttpDownloader::kDefaultRequestDeadlineMs, "1234567"},    // the peer falls silent
        {"/lyinglength", CHttpDownloader::kDefaultRequestDeadlineMs, "x"},      // far less than stated
        {"/trickle", 3500, ""},                                                 // the deadline passes
    };
    struct Counter
    {
        uint32_t total = 0;
        void OnBytes(void*, Common::tagEventArgs* args)
        {
            total += static_cast<tagHttpDownloaderBytesDownloadedEventArgs*>(args)->bytes;
        }
    };
    RVTest::LogCapture log;
    RVTest::TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        for (const bool toFile : {false, true}) {
            SCOPED_TRACE(toFile ? "file" : "stream");
            TIntrusivePointer<IHttpDownloader> http(new CHttpDownloader(c.deadlineMs));
            Counter counter;
            http->AddMemberFunctionDelegate(kHttpDownloaderBytesDownloadedEvent, &counter, &Counter::OnBytes);
            ASSERT_TRUE(http->Open(ServerUrl(c.path).c_str()));
            std::string received;
            if (toFile) {
                const std::wstring file = folder.Child(L"cut.bin");
                EXPECT_FALSE(http->DownloadToFile(ServerUrl(c.path).c_str(), file.c_str(), 0));
                received = RVTest::ReadWholeFile(file);
            } else {
                TIntrusivePointer<Common::IStream> stream = NewStream();
                stream->Write("an older answer", 15);
                EXPECT_FALSE(http->Download(ServerUrl(c.path).c_str(), stream, 0));
                received = Text(stream.Get());
                EXPECT_EQ(stream->Tell(), stream->GetSize());
            }
            std::string expected = c.received;
            if (expected.empty()) {
                for (uint32_t i = 0; i < counter.total; ++i)
                    expected.push_back(static_cast<char>(i % 251));
            }
            EXPECT_EQ(counter.total, expected.size());
            EXPECT_TRUE(received == expected) << received.size() << " bytes kept, " << expected.size() << " came";
        }
    }
}

namespace {

// A file whose write of one chosen block fails (a disk full for a moment).
class FailingFileSink : public CHttpFileSink
{
public:
    FailingFileSink(const wchar_t* fileName, int failingBlock) : CHttpFileSink(fileName), m_failing(failingBlock) {}

protected:
    bool WriteBlock(const uint8_t* data, uint32_t count) override
    {
        return m_block++ != m_failing && CHttpFileSink::WriteBlock(data, count);
    }

private:
    int m_failing;
    int m_block = 0;
};

} // namespace

TEST(HttpDownloader, AFileBlockThatCannotBeWrittenFailsTheDownload)
{
    RVTest::TempFolder folder;
    const std::wstring file = folder.Child(L"big.bin");
    std::string expected(1048576, '\0');
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = static_cast<char>(i % 251);
    // The first, a middle and the last of the four blocks.
    for (int failing : {0, 1, 3}) {
        SCOPED_TRACE(failing);
        CHttpDownloader http;
        ASSERT_TRUE(http.Open(ServerUrl("/big").c_str()));
        {
            FailingFileSink sink(file.c_str(), failing);
            EXPECT_FALSE(http.DownloadInto(ServerUrl("/big").c_str(), sink, 0));
        }
        // Only the bytes before the failed block, exactly: no gap, nothing
        // that looks like the whole body.
        const std::string written = RVTest::ReadWholeFile(file);
        EXPECT_LE(written.size(), failing * CHttpFileSink::kBlockSize);
        EXPECT_GT(written.size() + CHttpFileSink::kBlockSize, failing * CHttpFileSink::kBlockSize);
        EXPECT_TRUE(written == expected.substr(0, written.size()));
    }
}

namespace {

// A stream whose size cannot be set beyond a limit (its memory ran out for a
// block that large); everything else goes to an ordinary stream.
class SizeCappedStream : public Common::IStream
{
public:
    explicit SizeCappedStream(int32_t cap) : m_inner(Common::IStream_CreateEmpty()), m_cap(cap) {}
    void SetSize(int32_t size) override
    {
        if (size <= m_cap)
            m_inner->SetSize(size);
    }
    uint8_t* GetData() override { return m_inner->GetData(); }
    int32_t GetSize() override { return m_inner->GetSize(); }
    int32_t Tell() override { return m_inner->Tell(); }
    void Seek(int32_t position) override { m_inner->Seek(position); }
    uint8_t* GetCurrent() override { return m_inner->GetCurrent(); }
    void Skip(int32_t count) override { m_inner->Skip(count); }
    bool Read(void* destination, int32_t count) override { return m_inner->Read(destination, count); }
    bool Write(const void* source, int32_t count) override { return m_inner->Write(source, count); }
    int8_t ReadInt8() override { return m_inner->ReadInt8(); }
    bool WriteInt8(int8_t value) override { return m_inner->WriteInt8(value); }
    uint8_t ReadUInt8() override { return m_inner->ReadUInt8(); }
    bool WriteUInt8(uint8_t value) override { return m_inner->WriteUInt8(value); }
    int16_t ReadInt16() override { return m_inner->ReadInt16(); }
    bool WriteInt16(int16_t value) override { return m_inner->WriteInt16(value); }
    uint16_t ReadUInt16() override { return m_inner->ReadUInt16(); }
    bool WriteUInt16(uint16_t value) override { return m_inner->WriteUInt16(value); }
    int32_t ReadInt32() override { return m_inner->ReadInt32(); }
    bool WriteInt32(int32_t value) override { return m_inner->WriteInt32(value); }
    uint32_t ReadUInt32() override { return m_inner->ReadUInt32(); }
    bool WriteUInt32(uint32_t value) override { return m_inner->WriteUInt32(value); }
    int64_t ReadInt64() override { return m_inner->ReadInt64(); }
    bool WriteInt64(int64_t value) override { return m_inner->WriteInt64(value); }
    uint64_t ReadUInt64() override { return m_inner->ReadUInt64(); }
    bool WriteUInt64(uint64_t value) override { return m_inner->WriteUInt64(value); }
    float ReadFloat() override { return m_inner->ReadFloat(); }
    bool WriteFloat(float value) override { return m_inner->WriteFloat(value); }
    TIntrusivePointer<Common::IString> ReadAnsiString() override { return m_inner->ReadAnsiString(); }
    bool WriteAnsiString(const char* text) override { return m_inner->WriteAnsiString(text); }
    TIntrusivePointer<Common::IString> ReadUnicodeString() override { return m_inner->ReadUnicodeString(); }
    bool WriteUnicodeString(const wchar_t* text) override { return m_inner->WriteUnicodeString(text); }
    TIntrusivePointer<Common::IString> ReadShortAnsiString() override { return m_inner->ReadShortAnsiString(); }
    bool WriteShortAnsiString(const char* text) override { return m_inner->WriteShortAnsiString(text); }
    bool HasReadFailed() override { return m_inner->HasReadFailed(); }
    void ClearReadFailure() override { m_inner->ClearReadFailure(); }

private:
    TIntrusivePointer<Common::IStream> m_inner;
    int32_t m_cap;
};

} // namespace

// The room ahead of a stated length cannot always grow: the pieces are then
// appended where the received bytes end, never received past the room.
TEST(HttpDownloader, ABodyWhoseRoomCannotGrowIsAppendedWhole)
{
    TIntrusivePointer<IHttpDownloader> http(IHttpDownloader_Create());
    ASSERT_TRUE(http->Open(ServerUrl("/bench").c_str()));
    // The first room (a few MB) is had, the next step (the rest) is not.
    TIntrusivePointer<Common::IStream> stream(new SizeCappedStream(6 * 1024 * 1024));
    ASSERT_TRUE(http->Download(ServerUrl("/bench").c_str(), stream, 0));
    ASSERT_EQ(stream->GetSize(), 20971520);
    EXPECT_EQ(stream->Tell(), 20971520);
    for (int32_t i = 0; i < stream->GetSize(); i += 4093)
        ASSERT_EQ(stream->GetData()[i], i % 251) << i;
}
