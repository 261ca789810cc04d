// The URL list: named addresses read from the UI package.

#include "installer/core/reporting/CUrlItemList.h"
#include "installer/core/rules/BuildSettings.h"
#include "tests/installer/InstallerTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

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

} // namespace
