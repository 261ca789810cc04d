// The URL list: named addresses read from the UI package.

#include "installer/core/reporting/CUrlItemList.h"
#include "installer/core/rules/BuildSettings.h"
#include "tests/installer/InstallerTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using InstallerTests::ExtractPackageInto;

TEST(UrlItemList, NamedAddressesWithTheHomePageForUnknownNames)
{
    RVTest::TempFolder ui;
    ASSERT_TRUE(ExtractPackageInto(kInstallerPackage, ui.Path()));
    CUrlItemList list;
    list.Load(ui.Child(L"Installer\\Set\\UrlItemList.xml").c_str());
    EXPECT_EQ(list.GetAddress(L"GameInstaller_NoticeInfo"), L"http://127.0.0.1/agreement.html");
    RVTest::LogCapture log;
    EXPECT_EQ(list.GetAddress(L"gameinstaller_noticeinfo"), kHomePageAddress);
    EXPECT_EQ(log.CountContaining(L"gameinstaller_noticeinfo"), 1);

    // A missing file keeps the list; a file of another kind empties it.
    list.Load(ui.Child(L"missing.xml").c_str());
    EXPECT_EQ(list.GetCount(), 2u);
    list.Load(ui.Child(L"Installer\\Set\\PartnerConfig.xml").c_str());
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(list.GetAddress(L"GameInstaller_NoticeInfo"), kHomePageAddress);
}

// A list handed on the command line is laid over the package's: what it lacks,
// or names with no web address, keeps the package's address, and the web API
// server is only ever one the handed list names with a web address.
struct tagHandedListRow
{
    const char* text;  // nullptr: no such file
    const wchar_t* notice;
    const wchar_t* webApi;  // nullptr: the list names none
    const wchar_t* logged;
};

const wchar_t* const kPackageNotice = L"http://127.0.0.1/agreement.html";

const tagHandedListRow kHandedListRows[] = {
    {"<UrlItemList><UrlItem Name=\"GameInstaller_NoticeInfo\" Address=\"http://peer:81/a.html\"/>"
     "<UrlItem Name=\"GameInstaller_WebApi\" Address=\"http://127.0.0.1:45001\"/></UrlItemList>",
     L"http://peer:81/a.html", L"http://127.0.0.1:45001", L"2 items taken"},
    {"<UrlItemList><UrlItem Name=\"GameInstaller_WebApi\" Address=\"https://api.example\"/></UrlItemList>",
     kPackageNotice, L"https://api.example", L"1 items taken"},
    {"<UrlItemList><UrlItem Name=\"GameInstaller_NoticeInfo\" Address=\"http://peer/b.html\"/></UrlItemList>",
     L"http://peer/b.html", nullptr, L"1 items taken"},
    {"<UrlItemList><UrlItem Name=\"GameInstaller_WebApi\" Address=\"file:///C:/x.exe\"/>"
     "<UrlItem Name=\"GameInstaller_NoticeInfo\" Address=\"\"/></UrlItemList>",
     kPackageNotice, nullptr, L"\"GameInstaller_WebApi\" refused"},
    {"<UrlItemList><UrlItem Address=\"http://peer/c.html\"/></UrlItemList>", kPackageNotice, nullptr,
     L"0 items taken"},
    {"<PartnerConfig><UrlItem Name=\"GameInstaller_WebApi\" Address=\"http://peer\"/></PartnerConfig>",
     kPackageNotice, nullptr, L"has no \"UrlItemList\" element"},
    {nullptr, kPackageNotice, nullptr, L"is missing"},
    // A name given twice: the first item taken counts, as GetAddress reads
    // the package's own list.
    {"<UrlItemList><UrlItem Name=\"GameInstaller_WebApi\" Address=\"http://127.0.0.1:45001\"/>"
     "<UrlItem Name=\"GameInstaller_WebApi\" Address=\"http://127.0.0.1:45002\"/></UrlItemList>",
     kPackageNotice, L"http://127.0.0.1:45001", L"\"GameInstaller_WebApi\" named again"},
    {"<UrlItemList><UrlItem Name=\"GameInstaller_NoticeInfo\" Address=\"http://peer/first.html\"/>"
     "<UrlItem Name=\"GameInstaller_NoticeInfo\" Address=\"http://peer/second.html\"/></UrlItemList>",
     L"http://peer/first.html", nullptr, L"1 items taken"},
    {"<UrlItemList><UrlItem Name=\"GameInstaller_NoticeInfo\" Address=\"file:///C:/x.htm\"/>"
     "<UrlItem Name=\"GameInstaller_NoticeInfo\" Address=\"http://peer/d.html\"/></UrlItemList>",
     L"http://peer/d.html", nullptr, L"1 items taken"},
};

// The lists are UTF-16 files with a byte-order mark; the rows are ASCII.
std::string Utf16File(const char* text)
{
    std::string bytes = "\xFF\xFE";
    for (const char* at = text; *at != '\0'; ++at)
        bytes += std::string{*at, '\0'};
    return bytes;
}

TEST(UrlItemList, AHandedListKeepsThePackagesAddressesForWhatItLacksOrRefuses)
{
    RVTest::TempFolder ui;
    ASSERT_TRUE(ExtractPackageInto(kInstallerPackage, ui.Path()));
    for (const tagHandedListRow& row : kHandedListRows) {
        const std::string label = row.text != nullptr ? row.text : "(missing)";
        CUrlItemList list;
        list.Load(ui.Child(L"Installer\\Set\\UrlItemList.xml").c_str());
        const std::wstring handed = ui.Child(L"handed.xml");
        DeleteFileW(handed.c_str());
        if (row.text != nullptr) {
            ASSERT_TRUE(RVTest::WriteWholeFile(handed, Utf16File(row.text)));
        }
        RVTest::LogCapture log;
        list.LoadOver(handed.c_str());
        EXPECT_EQ(log.CountContaining(row.logged), 1) << label;
        EXPECT_EQ(list.GetAddress(L"GameInstaller_NoticeInfo"), row.notice) << label;
        EXPECT_EQ(list.GetAddress(L"GameInstaller_HomePage"), L"http://127.0.0.1/") << label;
        std::wstring webApi;
        EXPECT_EQ(list.FindAddress(L"GameInstaller_WebApi", &webApi), row.webApi != nullptr) << label;
        EXPECT_EQ(webApi, row.webApi != nullptr ? row.webApi : L"") << label;
    }
}

} // namespace
