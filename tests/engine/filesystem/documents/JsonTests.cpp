#include "engine/filesystem/IJsonParser.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using RVGameEngine::Common::TIntrusivePointer;
using namespace RVGameEngine::FileSystem;

namespace {

const char kSample[] =
    "// replies may carry comments\n"
    "{\n"
    "  \"text12\": \"12\", \"real\": 12.7, \"negative\": -12.7, \"whole\": 3.0,\n"
    "  \"flag\": true, \"nothing\": null, \"list\": [1, 2, 3], \"object\": {\"x\": 1},\n"
    "  \"big\": 3000000000, \"huge\": 1e300, \"word\": \"abc\", \"textReal\": \"2.5e1\",\n"
    "  \"name\": \"\xE4\xB8\xAD\"\n"
    "}";

class JsonTest : public ::testing::Test
{
protected:
    TIntrusivePointer<IJsonNode> ParseSample() { return m_parser->Parse(kSample); }

    TIntrusivePointer<IJsonParser> m_parser = IJsonParser_Create();
};

SYSTEMTIME LocalTimeOfUtc(WORD year, WORD month, WORD day, WORD hour)
{
    SYSTEMTIME utc = {};
    utc.wYear = year;
    utc.wMonth = month;
    utc.wDay = day;
    utc.wHour = hour;
    SYSTEMTIME local = {};
    EXPECT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
    return local;
}

bool IsAllZero(const SYSTEMTIME& time)
{
    static const SYSTEMTIME zero = {};
    return memcmp(&time, &zero, sizeof(time)) == 0;
}

} // namespace

TEST_F(JsonTest, IntegerReadsTruncateTextsAndNumbersInRange)
{
    TIntrusivePointer<IJsonNode> root = ParseSample();
    EXPECT_EQ(root->GetMemberInt("text12"), 12);
    EXPECT_EQ(root->GetMemberInt("real"), 12);
    EXPECT_EQ(root->GetMemberInt("negative"), -12);
    EXPECT_EQ(root->GetMemberInt("whole"), 3);
    EXPECT_EQ(root->GetMemberInt("list"), 0);
    EXPECT_EQ(root->GetMemberInt("word"), 0);
    // Out of the 32-bit range, booleans and missing members give 0.
    EXPECT_EQ(root->GetMemberInt("big"), 0);
    EXPECT_EQ(root->GetMemberInt("huge"), 0);
    EXPECT_EQ(root->GetMemberInt("flag"), 0);
    EXPECT_EQ(root->GetMemberInt("missing"), 0);
}

TEST_F(JsonTest, FloatReadsTakeTextsAndNumbers)
{
    TIntrusivePointer<IJsonNode> root = ParseSample();
    EXPECT_FLOAT_EQ(root->GetMemberFloat("text12"), 12.0f);
    EXPECT_FLOAT_EQ(root->GetMemberFloat("real"), 12.7f);
    EXPECT_FLOAT_EQ(root->GetMemberFloat("textReal"), 25.0f);
    EXPECT_FLOAT_EQ(root->GetMemberFloat("big"), 3e9f);
    EXPECT_EQ(root->GetMemberFloat("word"), 0.0f);
    EXPECT_EQ(root->GetMemberFloat("object"), 0.0f);
    EXPECT_EQ(root->GetMemberFloat("missing"), 0.0f);
}

TEST_F(JsonTest, StringReadsGiveTextFormsAndEmptyForContainers)
{
    TIntrusivePointer<IJsonNode> root = ParseSample();
    EXPECT_STREQ(root->GetMemberString("word"), "abc");
    EXPECT_STREQ(root->GetMemberString("name"), "\xE4\xB8\xAD");
    EXPECT_STREQ(root->GetMemberString("flag"), "true");
    EXPECT_STREQ(root->GetMemberString("nothing"), "");
    EXPECT_STREQ(root->GetMemberString("list"), "");
    EXPECT_STREQ(root->GetMemberString("object"), "");
    EXPECT_STREQ(root->GetMemberString("missing"), "");
    EXPECT_STREQ(root->GetString(), "");
}

TEST_F(JsonTest, ElementsAndMembersOnlyFromTheRightKindOfValue)
{
    TIntrusivePointer<IJsonNode> root = ParseSample();
    TIntrusivePointer<IJsonNode> list = root->GetMember("list");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->GetSize(), 3);
    ASSERT_TRUE(list->GetElement(2));
    EXPECT_EQ(list->GetElement(2)->GetInt(), 3);
    EXPECT_FALSE(list->GetElement(3));
    EXPECT_FALSE(list->GetElement(-1));
    EXPECT_FALSE(list->GetMember("x"));

    TIntrusivePointer<IJsonNode> object = root->GetMember("object");
    ASSERT_TRUE(object);
    EXPECT_EQ(object->GetSize(), 1);
    EXPECT_FALSE(object->GetElement(0));
    EXPECT_EQ(object->GetMemberInt("x"), 1);

    TIntrusivePointer<IJsonNode> word = root->GetMember("word");
    ASSERT_TRUE(word);
    EXPECT_EQ(word->GetSize(), 0);
    EXPECT_FALSE(word->GetElement(0));
    EXPECT_FALSE(word->GetMember("x"));
    EXPECT_FALSE(root->GetMember(nullptr));
}

TEST_F(JsonTest, HandedOutNodesAndTextsOutliveLaterParses)
{
    TIntrusivePointer<IJsonNode> word = ParseSample()->GetMember("word");
    ASSERT_TRUE(word);
    const char* text = word->GetString();
    TIntrusivePointer<IJsonNode> again = m_parser->Parse("{\"word\": \"other\"}");
    EXPECT_EQ(again.Get(), m_parser->Parse("[]").Get());
    EXPECT_STREQ(text, "abc");
    EXPECT_STREQ(word->GetString(), "abc");
}

TEST_F(JsonTest, DateMembersAreReadFromTheMillisecondForm)
{
    TIntrusivePointer<IJsonNode> root = m_parser->Parse(
        "{\"a\": \"/Date(86400000)/\", \"b\": \"/date(86400000+0800)/\", \"c\": \"86400000\","
        " \"d\": \"/Date(\", \"e\": 5, \"f\": \"/Dat\"}");
    const SYSTEMTIME expected = LocalTimeOfUtc(1970, 1, 1, 16);
    for (const char* name : {"a", "b"}) {
        SCOPED_TRACE(name);
        const SYSTEMTIME date = root->GetMemberDateTime(name);
        EXPECT_EQ(date.wYear, expected.wYear);
        EXPECT_EQ(date.wMonth, expected.wMonth);
        EXPECT_EQ(date.wDay, expected.wDay);
        EXPECT_EQ(date.wHour, expected.wHour);
        EXPECT_EQ(date.wMinute, 0);
        EXPECT_EQ(date.wSecond, 0);
    }
    EXPECT_TRUE(IsAllZero(root->GetMemberDateTime("c")));
    EXPECT_TRUE(IsAllZero(root->GetMemberDateTime("e")));
    EXPECT_TRUE(IsAllZero(root->GetMemberDateTime("f")));
    EXPECT_TRUE(IsAllZero(root->GetMemberDateTime("missing")));
    // Out-of-range instants must not crash the conversion.
    root = m_parser->Parse("{\"a\": \"/Date(-99999999999999999999)/\", \"b\": \"/Date(99999999999999999999)/\"}");
    root->GetMemberDateTime("a");
    root->GetMemberDateTime("b");
    root->GetMemberDateTime("d");
}

TEST_F(JsonTest, MalformedTextGivesEmptyReadsWithoutThrowing)
{
    const std::string deep(100000, '[');
    const std::string deepObject = [] {
        std::string text;
        for (int i = 0; i < 20000; ++i)
            text += "{\"a\":";
        return text;
    }();
    for (const char* text : {"", "{", "[1, 2", "{\"a\": }", "garbage", "{\"a\" 1}", "\"unterminated",
                             "{\"a\": 1} trailing", deep.c_str(), deepObject.c_str()}) {
        SCOPED_TRACE(std::string(text).substr(0, 20));
        TIntrusivePointer<IJsonNode> root = m_parser->Parse(text);
        ASSERT_TRUE(root);
        root->GetSize();
        root->GetElement(0);
        root->GetMemberInt("a");
        root->GetMemberFloat("a");
        root->GetMemberString("a");
        root->GetString();
        root->GetMemberDateTime("a");
    }
    TIntrusivePointer<IJsonNode> root = m_parser->Parse(deep.c_str());
    EXPECT_EQ(root->GetSize(), 0);
    EXPECT_TRUE(m_parser->Parse(nullptr));
}

TEST_F(JsonTest, NestingWithinTheReaderLimitIsRead)
{
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += "[";
    text += "7";
    for (int i = 0; i < 500; ++i)
        text += "]";
    TIntrusivePointer<IJsonNode> node = m_parser->Parse(text.c_str());
    for (int i = 0; i < 500 && node; ++i)
        node = node->GetElement(0);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->GetInt(), 7);
}
