#include "installer/ui/InstallSceneFunctions.h"

#include "engine/common/base/TextCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

namespace {

struct tagProgressRow
{
    uint32_t done;
    uint32_t total;
    const wchar_t* text;
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

namespace {

// What a web server makes of a form body: fields split at '&', each value
// with '+' as a blank and %XX as a byte, read as UTF-8.
std::vector<std::pair<std::string, std::wstring>> DecodedForm(const std::wstring& body)
{
    std::vector<std::pair<std::string, std::wstring>> fields;
    const std::string text(body.begin(), body.end());
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('&', start), text.size());
        const std::string field = text.substr(start, end - start);
        const size_t equals = field.find('=');
        std::string value;
        for (size_t i = equals + 1; equals != std::string::npos && i < field.size(); ++i) {
            const bool escape = field[i] == '%' && i + 2 < field.size()
                                && std::isxdigit(static_cast<unsigned char>(field[i + 1]))
                                && std::isxdigit(static_cast<unsigned char>(field[i + 2]));
            if (escape) {
                value += static_cast<char>(std::stoi(field.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                value += field[i] == '+' ? ' ' : field[i];
            }
        }
        fields.emplace_back(field.substr(0, equals), RVGameEngine::Common::NarrowToWide(
                                                          RVGameEngine::Common::kCodePageUtf8, value.c_str()));
        start = end + 1;
    }
    return fields;
}

struct tagIdentityRow
{
    const wchar_t* identity;
    const wchar_t* attribute;
};

} // namespace

TEST(InstallSceneRules, TheTrackingBodyCarriesEveryPartnerIdentityWholeIntoTheRecord)
{
    const tagIdentityRow rows[] = {
        {L"Official", L"Official"},
        {L"a&b=c", L"a&amp;b=c"},
        {L"a+b c", L"a+b c"},
        {L"%41%2", L"%41%2"},
        {L"x\"/><ROW UserID=\"1", L"x&quot;/&gt;&lt;ROW UserID=&quot;1"},
        {L"it's", L"it&apos;s"},
        {L"\u4f19\u4f34", L"\u4f19\u4f34"},
    };
    for (const tagIdentityRow& row : rows) {
        const std::wstring address = InstallTrackingAddress(L"http://h:81", row.identity);
        // The form body the request posts is the address's query text.
        const auto fields = DecodedForm(address.substr(address.find(L'?') + 1));
        ASSERT_EQ(fields.size(), 1u) << row.identity;
        EXPECT_EQ(fields[0].first, "Xml") << row.identity;
        EXPECT_EQ(fields[0].second, std::wstring(L"<ROOT><ROW UserID=\"0\" FunctionID=\"30001\" StopTime=\"1\" "
                                                 L"ParamValue1=\"0\" ChannelID=\"")
                                        + row.attribute + L"\"/></ROOT>")
            << row.identity;
    }
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
