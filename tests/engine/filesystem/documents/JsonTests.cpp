#include "engine/filesystem/documents/IJsonParser.h"
#include "tests/engine/filesystem/documents/DocumentTestSupport.h"

#include <windows.h>

#include <cmath>
#include <cstring>
#include <string>

using namespace DocumentsTest;
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
    TIntrusivePointer<IJsonParser> m_parser = IJsonParser_Create();
    TIntrusivePointer<IJsonNode> m_root = m_parser->Parse(kSample);
};

} // namespace

TEST_F(JsonTest, MemberReadsConvertByTheValuesKindAndElementsComeFromListsOnly)
{
    const struct
    {
        const char* name;
        int integer; // numbers in range truncate toward zero
        float real;       // NAN: not checked
        const char* text; // null: not checked
    } cases[] = {
        {"text12", 12, 12.f, "12"}, {"real", 12, 12.7f, nullptr}, {"negative", -12, -12.7f, nullptr},
        {"whole", 3, 3.f, nullptr}, {"textReal", 2, 25.f, "2.5e1"}, {"word", 0, 0.f, "abc"},
        {"huge", 0, NAN, nullptr}, {"big", 0, 3e9f, "3000000000"}, {"flag", 0, 0.f, "true"}, {"nothing", 0, 0.f, ""},
        {"list", 0, 0.f, ""}, {"object", 0, 0.f, ""}, {"missing", 0, 0.f, ""}, {"name", 0, 0.f, "\xE4\xB8\xAD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(m_root->GetMemberInt(c.name), c.integer);
        if (!std::isnan(c.real)) {
            EXPECT_FLOAT_EQ(m_root->GetMemberFloat(c.name), c.real);
        }
        if (c.text != nullptr) {
            EXPECT_STREQ(m_root->GetMemberString(c.name), c.text);
        }
    }
    EXPECT_STREQ(m_root->GetString(), "");
    // Elements and members come only from the right kind of value.
    TIntrusivePointer<IJsonNode> list = m_root->GetMember("list"), object = m_root->GetMember("object"),
                                 word = m_root->GetMember("word");
    ASSERT_TRUE(list && object && word);
    EXPECT_EQ(list->GetSize(), 3);
    EXPECT_EQ(list->GetElement(2)->GetInt(), 3);
    EXPECT_FALSE(list->GetElement(3) || list->GetElement(-1) || list->GetMember("x"));
    EXPECT_EQ(object->GetSize(), 1);
    EXPECT_FALSE(object->GetElement(0));
    EXPECT_EQ(word->GetSize(), 0);
    EXPECT_FALSE(word->GetElement(0) || word->GetMember("x") || m_root->GetMember(nullptr));
    // Handed-out nodes and texts outlive later parses.
    const char* text = word->GetString();
    m_parser->Parse("{\"word\": \"other\"}");
    EXPECT_STREQ(text, "abc");
    EXPECT_STREQ(word->GetString(), "abc");
}

TEST_F(JsonTest, DateMembersAreReadFromTheMillisecondForm)
{
    TIntrusivePointer<IJsonNode> root = m_parser->Parse(
        "{\"a\": \"/Date(86400000)/\", \"b\": \"/date(86400000+0800)/\", \"c\": \"86400000\","
        " \"d\": \"/Date(\", \"e\": 5, \"f\": \"/Dat\", \"g\": \"/Dxte(86400000)/\", \"h\": \"xDate(86400000)/\"}");
    SYSTEMTIME utc = {1970, 1, 4, 1, 16, 0, 0, 0}, expected = {}, zero = {};
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &expected));
    // "g" and "h" hold the number where a date's would be, after a wrong prefix.
    for (const char* name : {"a", "b", "c", "d", "e", "f", "g", "h", "missing"}) {
        const SYSTEMTIME date = root->GetMemberDateTime(name); // only "a" and "b" hold dates
        EXPECT_EQ(std::memcmp(&date, name[1] == 0 && name[0] <= 'b' ? &expected : &zero, sizeof(date)), 0) << name;
    }
    // Out-of-range instants must not crash the conversion.
    root = m_parser->Parse("{\"a\": \"/Date(-99999999999999999999)/\", \"b\": \"/Date(99999999999999999999)/\"}");
    root->GetMemberDateTime("a"), root->GetMemberDateTime("b");
}

TEST_F(JsonTest, MalformedTextGivesEmptyReadsWithoutThrowing)
{
    const std::string deep(100000, '['), deepObject = Repeated("{\"a\":", 20000);
    for (const char* text : {"", "{", "[1, 2", "{\"a\": }", "garbage", "{\"a\" 1}", "\"unterminated",
                             "{\"a\": 1} trailing", deep.c_str(), deepObject.c_str()}) {
        SCOPED_TRACE(std::string(text).substr(0, 20));
        TIntrusivePointer<IJsonNode> root = m_parser->Parse(text);
        ASSERT_TRUE(root);
        root->GetSize(), root->GetElement(0), root->GetMemberInt("a"), root->GetMemberFloat("a");
        root->GetMemberString("a"), root->GetString(), root->GetMemberDateTime("a");
    }
    EXPECT_EQ(m_parser->Parse(deep.c_str())->GetSize(), 0);
    EXPECT_TRUE(m_parser->Parse(nullptr));
    // Nesting within the reader's limit is read.
    const std::string nested = std::string(500, '[') + "7" + std::string(500, ']');
    TIntrusivePointer<IJsonNode> node = m_parser->Parse(nested.c_str());
    for (int i = 0; i < 500 && node; ++i)
        node = node->GetElement(0);
    ASSERT_TRUE(node);
    EXPECT_EQ(node->GetInt(), 7);
}
