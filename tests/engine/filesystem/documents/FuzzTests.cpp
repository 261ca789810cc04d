#include "tests/engine/filesystem/documents/DocumentTestSupport.h"

#include "engine/filesystem/documents/IJsonParser.h"

#include <random>

using namespace DocumentsTest;
using namespace RVGameEngine::FileSystem;

namespace {

constexpr int kRounds = 3000;

// Changes a valid document by a few random edits, favouring the characters
// that steer the readers' state machines.
template <typename Text>
Text Mutate(const Text& source, std::mt19937& random)
{
    using Unit = typename Text::value_type;
    static const char kSteering[] = "<>/=\"-\r\n {}[]:,\\0123456789abcdefnrtuxDate()";
    Text text = source;
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < edits; ++i) {
        const size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        Unit unit = static_cast<Unit>(kSteering[random() % (sizeof(kSteering) - 1)]);
        if (random() % 8 == 0)
            unit = static_cast<Unit>(1 + random() % (sizeof(Unit) == 1 ? 0xFF : 0xFFFF));
        switch (random() % 6) {
        case 0: text.insert(at, 1, unit); break;
        case 1: text.insert(at, text.substr(at, random() % 64)); break;
        case 2: text.erase(at, random() % 16); break;
        case 3: text.resize(at); break;
        case 4: text.insert(at, Text(random() % 1500, unit)); break;
        default: text.replace(at, 1, 1, unit); break;
        }
    }
    return text;
}

void Exercise(IXmlElement* element, int depth)
{
    if (element == nullptr || depth > 300)
        return;
    element->GetAttributeInt(L"Name"), element->GetAttributeUInt(L"Tag"), element->GetAttributeFloat(L"x");
    element->FindChildByNameAttribute(L"b");
    for (int i = 0; i < element->GetChildCount(); ++i)
        Exercise(element->GetChild(i), depth + 1);
}

void Exercise(IJsonNode* node, int depth)
{
    if (node == nullptr || depth > 100)
        return;
    node->GetInt(), node->GetFloat(), node->GetString(), node->GetMemberDateTime("d"), node->GetMemberString("s");
    for (int i = 0; i < node->GetSize() && i < 8; ++i)
        Exercise(node->GetElement(i).Get(), depth + 1);
    for (const char* name : {"a", "list", "o"})
        Exercise(node->GetMember(name).Get(), depth + 1);
}

} // namespace

TEST(DocumentFuzz, MutatedXmlParsesWithoutCrashOrHang)
{
    const std::wstring seeds[] = {
        L"<Window Name=\"w\" Tag=\"0x10\">\r\n\t--note\r\n\t<Button Name=\"b\" x=\"1.5\"/>\r\n"
        L"\t<Panel>\r\n\t\t<Label Text=\"a\r\nb\"/>\r\n\t</Panel>\r\n</Window>\r\n",
        L"<?xml version=\"1.0\"?><a><b><c d=\"e\"/></b></a>// tail\n<f/>",
    };
    RVTest::LogCapture log;
    const std::wstring written[] = {Saved(IXmlScript_Create()->Parse(seeds[0].c_str())),
                                    Saved(IXmlScript_Create()->Parse(seeds[1].c_str()))};
    std::mt19937 random(20261206);
    int changedTrees = 0;
    for (int round = 0; round < kRounds; ++round) {
        TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
        IXmlElement* root = script->Parse(Mutate(seeds[round % 2], random).c_str());
        Exercise(root, 0);
        // What the writer makes reads back without trouble.
        const std::wstring saved = Saved(root);
        Saved(IXmlScript_Create()->Parse(saved.c_str()));
        changedTrees += saved != written[round % 2] ? 1 : 0;
    }
    // The mutations must reach the parser's interesting paths, not just blanks and skipped characters.
    EXPECT_GT(changedTrees, kRounds / 2);
    EXPECT_GT(log.Messages().size(), static_cast<size_t>(kRounds / 4));
}

TEST(DocumentFuzz, MutatedJsonParsesWithoutThrowing)
{
    const std::string seeds[] = {
        "{\"a\": 12.7, \"s\": \"text\", \"d\": \"/Date(86400000+0800)/\", \"list\": [1, \"2\", {\"o\": null}],"
        " \"o\": {\"a\": [true, false, -3e5]}}",
        "/* c */ [{\"a\": \"\\u4e2d\\n\"}, [[[[1]]]], 9223372036854775807, -1e999]",
    };
    TIntrusivePointer<IJsonParser> parser = IJsonParser_Create();
    std::mt19937 random(61206);
    for (int round = 0; round < kRounds; ++round) {
        const std::string text = Mutate(seeds[round % 2], random);
        EXPECT_NO_THROW(Exercise(parser->Parse(text.c_str()).Get(), 0)) << text;
    }
}
