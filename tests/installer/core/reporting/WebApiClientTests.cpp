// Winsock before <windows.h>.
#include "tests/installer/PeerRecords.h"

#include "tests/installer/InstallerTestSupport.h"

#include "installer/core/reporting/CWebApiClient.h"
#include "installer/core/rules/PartnerFunctions.h"
#include "installer/core/rules/WebAddressRules.h"

#include "engine/common/base/IDigest.h"
#include "tests/support/LogCapture.h"
#include "tests/support/PlantedLink.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using InstallerTests::Hex;

std::wstring Server()
{
    return L"http://127.0.0.1:" + std::to_wstring(RVTest::PeerPort("RV_WEBAPI_PORT"));
}

// The web API server answers in the mode named by this path prefix.
std::wstring ServerInMode(const std::string& mode)
{
    return Server() + L"/mode/" + std::wstring(mode.begin(), mode.end());
}

std::vector<std::string> RecordedRequests()
{
    return InstallerTests::PeerRecordLines("RV_WEBAPI_RECORD");
}

std::wstring Md5Of(const std::wstring& text)
{
    return RVGameEngine::Common::IDigest_GetInstance()->MD5OfText(text.c_str())->GetUtf16();
}

// Each test works in a folder of its own, where the cache folder is made.
class WebApiClientTest : public ::testing::Test
{
protected:
    WebApiClientTest() : m_inside(m_folder.Path()) {}
    ~WebApiClientTest() override { CWebApiClient::GetInstance()->SetAdvertServer(Server()); }

    RVTest::TempFolder m_folder;
    RVTest::ScopedCurrentFolder m_inside;
};

} // namespace

// The server chooses no part of a cached file's name: the digest of the
// address, and a picture extension from a fixed list.
TEST(WebAddressRules, CacheNamesAreTheAddresssDigestAndAPictureExtension)
{
    struct Case
    {
        std::wstring url;
        std::wstring extension;
    };
    const Case cases[] = {
        {L"http://h/pics/advert.png", L".png"},
        {L"http://h/pics/a_b-c.1.JPG?size=2#top", L".jpg"},
        {L"http://h/pics/x.Bmp", L".bmp"},
        {L"http://h/pics/图片.gif", L".gif"},
        {L"http://h/pics/advert.dll", L""},
        {L"http://h/pics/..\\..\\evil.exe", L""},
        {L"http://h/pics/CON.png", L".png"},
        {L"http://h/pics/lpt1", L""},
        {L"http://h/pics/..", L""},
        {L"http://h/pics/", L""},
        {L"http://h/pics/trailing.", L""},
        {L"http://h/pics/x.p%6eg", L""},
        {L"http://h/pics/x.png.lnk", L""},
        {L"http://h/pics/x.jpeg", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.url.begin(), c.url.end()));
        EXPECT_EQ(CacheFileNameOf(c.url), Md5Of(c.url) + c.extension);
    }
}

TEST(WebAddressRules, OnlyHttpAndHttpsPagesMayBeOpened)
{
    const std::pair<std::wstring, bool> cases[] = {
        {L"http://127.0.0.1/agreement.html", true},
        {L"HTTPS://example.test/a?b=c", true},
        {L"http://", false},
        {L"file:///C:/windows/system32/calc.exe", false},
        {L"javascript:alert(1)", false},
        {L"http://h/a\" --new-window", false},
        {L"http://h/a\nb", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWebPageAddress(c.first), c.second) << std::string(c.first.begin(), c.first.end());
}

TEST(WebAddressRules, ChannelTextIsPercentEncodedAsUtf8AndJsonRepliesAreRecognised)
{
    EXPECT_EQ(PercentEncode(L"Official-._~"), "Official-._~");
    EXPECT_EQ(PercentEncode(L"合作 a&b=c#d"), "%E5%90%88%E4%BD%9C%20a%26b%3Dc%23d");
    for (const char* text : {"", "{", "ok"})
        EXPECT_FALSE(CWebApiClient::IsJsonText(text)) << text;
    EXPECT_FALSE(CWebApiClient::IsJsonText(nullptr));
    EXPECT_TRUE(CWebApiClient::IsJsonText("{}"));
}

TEST_F(WebApiClientTest, AdvertListRepliesDecideTheAnswer)
{
    struct Case
    {
        std::string mode;
        int32_t type;               // 0: none, left out of the request
        std::wstring picturePath;   // empty: no advert found
        std::wstring jumpPath;
        size_t requests;            // requests the call made
    };
    const Case cases[] = {
        {"normal", 0, L"/pics/advert.png", L"/agreement.html", 1},
        {"split", 3, L"/pics/second.png", L"/second.html", 1},
        {"empty", 0, L"", L"", 1},
        {"error", 0, L"", L"", 1},
        {"notjson", 0, L"", L"", 1},
        {"retry", 0, L"/pics/advert.png", L"/agreement.html", 2},
        {"down", 0, L"", L"", 2},
    };
    CWebApiClient* client = CWebApiClient::GetInstance();
    const std::string channel = PercentEncode(GetPartnerID());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        client->SetAdvertServer(ServerInMode(c.mode));
        const size_t before = RecordedRequests().size();
        std::wstring picture = L"unchanged", jump = L"unchanged";
        EXPECT_EQ(client->RequestAdvertList(4, c.type, &picture, &jump), !c.picturePath.empty());
        EXPECT_EQ(RecordedRequests().size() - before, c.requests);
        EXPECT_EQ(RecordedRequests().back(), "GET /mode/" + c.mode + "/AdvertCenterApi/AdvertCenterApi/ReqAdvertList/"
                                                 + "?position=4" + (c.type ? "&type=" + std::to_string(c.type) : "")
                                                 + "&channel=" + channel + " -");
        EXPECT_EQ(picture, c.picturePath.empty() ? L"unchanged" : Server() + c.picturePath);
        EXPECT_EQ(jump, c.jumpPath.empty() ? L"unchanged" : Server() + c.jumpPath);
    }
}

TEST_F(WebApiClientTest, HostileAdvertIsCachedUnderASafeNameAndItsJumpIgnored)
{
    CWebApiClient* client = CWebApiClient::GetInstance();
    client->SetAdvertServer(ServerInMode("hostile"));
    RVTest::LogCapture log;
    std::wstring picture, jump = L"unchanged";
    ASSERT_TRUE(client->RequestAdvertList(4, 0, &picture, &jump));
    EXPECT_EQ(jump, L"");
    // The address's line break cannot start a forged line of the log.
    EXPECT_EQ(log.CountContaining(L"file:///C:/windows/system32/calc.exe\\r\\nError: forged"), 1);

    const std::wstring cached = client->GetCached(picture.c_str());
    EXPECT_EQ(cached, L"Cache/WebApi/" + Md5Of(picture) + L".png");
    EXPECT_EQ(RVTest::ReadWholeFile(cached), "picture:..\\..\\evil.png");
    EXPECT_FALSE(InstallerTests::Exists(m_folder.Child(L"evil.png")));
}

TEST_F(WebApiClientTest, CachedFileIsFetchedOnceAndOversizedBodiesAreNotKept)
{
    CWebApiClient* client = CWebApiClient::GetInstance();
    const std::wstring url = Server() + L"/pics/advert.png";
    const std::wstring name = Md5Of(url) + L".png";
    const size_t before = RecordedRequests().size();
    for (int twice = 0; twice < 2; ++twice)
        EXPECT_EQ(client->GetCached(url.c_str()), L"Cache/WebApi/" + name);
    EXPECT_EQ(RecordedRequests().size() - before, 1u);
    EXPECT_EQ(RVTest::ReadWholeFile(m_folder.Child(L"Cache\\WebApi\\" + name)), "picture:advert.png");

    // A body refused for its size is remembered, not fetched again.
    const std::wstring huge = Server() + L"/pics/huge.png";
    const size_t beforeHuge = RecordedRequests().size();
    const std::wstring hugeName = Md5Of(huge) + L".png";
    for (int twice = 0; twice < 2; ++twice)
        EXPECT_EQ(client->GetCached(huge.c_str()), L"Cache/WebApi/" + hugeName);
    EXPECT_EQ(RecordedRequests().size() - beforeHuge, 1u);
    EXPECT_FALSE(InstallerTests::Exists(m_folder.Child(L"Cache\\WebApi\\" + hugeName)));
}

// The cache folder or its subfolder made a link to another folder: nothing
// is written there, whatever the picture's address ends in; a file already
// at the cache name is kept as it is.
TEST_F(WebApiClientTest, TheCacheWritesNothingThroughALinkNorOverAFileAlreadyThere)
{
    CWebApiClient* client = CWebApiClient::GetInstance();
    struct Case { const wchar_t* link; const wchar_t* picture; };
    const Case cases[] = {
        {L"Cache", L"/pics/advert.dll"},
        {L"Cache\\WebApi", L"/pics/linked.png"},
    };
    for (const Case& c : cases) {
        RVTest::TempFolder outside;
        const std::wstring linkPath = m_folder.Child(c.link);
        if (std::wstring(c.link).find(L'\\') != std::wstring::npos)
            CreateDirectoryW(m_folder.Child(L"Cache").c_str(), nullptr);
        const RVTest::PlantedLink link(linkPath, outside.Path(), true);
        if (!link.Made())
            GTEST_SKIP() << "no links can be made here";
        RVTest::LogCapture log;
        const std::wstring url = Server() + c.picture;
        client->GetCached(url.c_str());
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW((outside.Path() + L"\\*").c_str(), &found);
        int entries = 0;
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
            entries += std::wstring(found.cFileName) == L"." || std::wstring(found.cFileName) == L".." ? 0 : 1;
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        EXPECT_EQ(entries, 0) << c.link;
        EXPECT_EQ(log.CountContaining(L"(a link, a junction or a volume mounted in a folder on the way, system error"),
                  1)
            << c.link;
    }

    // A file planted at the cache name before the download is not replaced.
    RVTest::TempFolder own;
    RVTest::ScopedCurrentFolder inside(own.Path());
    const std::wstring url = Server() + L"/pics/planted.png";
    const std::wstring planted = own.Child(L"Cache\\WebApi\\" + Md5Of(url) + L".png");
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, own.Child(L"Cache\\WebApi").c_str(), nullptr), ERROR_SUCCESS);
    ASSERT_TRUE(RVTest::WriteWholeFile(planted, "planted"));
    EXPECT_TRUE(client->DownloadToFile(url.c_str(), (L"Cache/WebApi/" + Md5Of(url) + L".png").c_str(), 20));
    EXPECT_EQ(RVTest::ReadWholeFile(planted), "planted");
}

TEST_F(WebApiClientTest, TrackingPostSendsTheQueryAsItsBody)
{
    const std::wstring record =
        L"<ROOT><ROW UserID=\"0\" FunctionID=\"30001\" StopTime=\"1\" ParamValue1=\"0\" ChannelID=\"合作\"/></ROOT>";
    const std::wstring url = Server() + L"/RevEzudIzovuv/MaiDian/SendMaiDian?Xml=" + record;
    EXPECT_EQ(CWebApiClient::GetInstance()->RequestPost(url.c_str()), "ok");
    const std::string body = "Xml=<ROOT><ROW UserID=\"0\" FunctionID=\"30001\" StopTime=\"1\" ParamValue1=\"0\" "
                             "ChannelID=\"\xe5\x90\x88\xe4\xbd\x9c\"/></ROOT>";
    EXPECT_EQ(RecordedRequests().back(), "POST /RevEzudIzovuv/MaiDian/SendMaiDian " + Hex(body));
}
