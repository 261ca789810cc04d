#include "installer/ui/InstallSceneFunctions.h"

#include <gtest/gtest.h>

namespace {

struct tagProgressRow
{
    uint32_t done;
    uint32_t total;
    const wchar_t* text;
};

struct tagFolderRow
{
    const wchar_t* chosen;
    const wchar_t* installed;
};

} // namespace

TEST(InstallSceneRules, ProgressIsAWholePercentComputedInIntegers)
{
    const tagProgressRow rows[] = {
        {0, 0, L"0%"},       {5, 0, L"0%"},         {0, 8, L"0%"},      {3, 8, L"37%"},
        {7, 10, L"70%"},     {53, 100, L"53%"},     {29, 100, L"29%"},  {57, 100, L"57%"},
        {8, 8, L"100%"},     {9, 8, L"100%"},       {4294967295u, 4294967295u, L"100%"},
        {4294967294u, 4294967295u, L"99%"},
    };
    for (const tagProgressRow& row : rows)
        EXPECT_EQ(ProgressText(row.done, row.total), row.text) << row.done << " of " << row.total;
}

TEST(InstallSceneRules, AChosenFolderGetsThePackNameUnlessItHoldsIt)
{
    const tagFolderRow rows[] = {
        {L"D:\\Games", L"D:\\Games\\Wendmoor"},
        {L"D:\\", L"D:\\Wendmoor"},
        {L"D:\\Games\\Wendmoor", L"D:\\Games\\Wendmoor"},
        {L"D:\\WENDMOOR2\\x", L"D:\\WENDMOOR2\\x"},
        {L"e:\\my wendmoor games", L"e:\\my wendmoor games"},
        {L"D:\\Wend", L"D:\\Wend\\Wendmoor"},
    };
    for (const tagFolderRow& row : rows)
        EXPECT_EQ(FolderWithPackName(row.chosen, L"Wendmoor"), row.installed) << row.chosen;
}

TEST(InstallSceneRules, OnlyAFolderOnADriveLetterIsTaken)
{
    EXPECT_TRUE(IsDriveFolder(L"C:"));
    EXPECT_TRUE(IsDriveFolder(L"d:\\x"));
    for (const wchar_t* refused : {L"", L"C", L"\\\\server\\share", L"C\\:"})
        EXPECT_FALSE(IsDriveFolder(refused)) << refused;
    EXPECT_EQ(FreeSpaceText(1536), L"1.50G");
    EXPECT_EQ(DriveIndexOf(L"c:\\x"), 2);
    EXPECT_EQ(DriveIndexOf(L"Z:"), 25);
    for (const wchar_t* none : {L"", L"1:\\", L"\\\\server", L"\u00c4:\\"})
        EXPECT_EQ(DriveIndexOf(none), -1) << none;
}

TEST(InstallSceneRules, TheTrackingAddressCarriesThePartnerRecordAsItStands)
{
    EXPECT_EQ(InstallTrackingAddress(L"http://h:81", L"Official"),
              L"http://h:81/RevEzudIzovuv/MaiDian/SendMaiDian?Xml=<ROOT><ROW UserID=\"0\" FunctionID=\"30001\" "
              L"StopTime=\"1\" ParamValue1=\"0\" ChannelID=\"Official\"/></ROOT>");
    // A long identity is kept whole.
    const std::wstring longID(300, L'p');
    EXPECT_NE(InstallTrackingAddress(L"http://h", longID).find(L"ChannelID=\"" + longID + L"\"/>"), std::wstring::npos);
}
