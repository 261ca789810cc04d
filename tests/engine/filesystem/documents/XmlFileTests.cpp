#include "engine/common/IStream.h"
#include "engine/common/IXmlScript.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

using namespace RVGameEngine::Common;
using RVTest::LogCapture;
using RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance;

namespace {

const wchar_t kDocument[] =
    L"<Window Name=\"w\">\r\n"
    L"\t--note \u63d0\u793a\r\n"
    L"\t<Button Name=\"b\" Text=\"\u786e\u5b9a\"/>\r\n"
    L"\t<Panel Tag=\"p\">\r\n"
    L"\t\t<Label/>\r\n"
    L"\t</Panel>\r\n"
    L"</Window>\r\n"
    L"<Other/>\r\n";

std::string Utf16Bytes(const std::wstring& text, bool withMark)
{
    std::string bytes;
    if (withMark)
        bytes += "\xFF\xFE";
    for (wchar_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    }
    return bytes;
}

std::wstring Saved(IXmlElement* element)
{
    TIntrusivePointer<IString> text = IString_Create();
    element->SaveToString(text);
    return text->GetUtf16();
}

class XmlFileTest : public ::testing::Test
{
protected:
    void SetUp() override { RVTest::MessageBoxRecorder::Clear(); }

    RVTest::TempFolder m_folder;
    LogCapture m_log;
};

} // namespace

TEST_F(XmlFileTest, SaveWritesTheMarkAndTheTextAsItStands)
{
    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    script->Parse(kDocument);
    const std::wstring path = m_folder.Child(L"Set\\Out.xml");
    ASSERT_TRUE(script->SaveToFile(path.c_str()));
    EXPECT_EQ(RVTest::ReadWholeFile(path), Utf16Bytes(kDocument, true));
}

TEST_F(XmlFileTest, LoadSaveLoadKeepsTheTree)
{
    const std::wstring first = m_folder.Child(L"first.xml");
    const std::wstring second = m_folder.Child(L"second.xml");
    ASSERT_TRUE(RVTest::WriteWholeFile(first, Utf16Bytes(kDocument, true)));

    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    IXmlElement* root = script->LoadFromFile(first.c_str());
    ASSERT_EQ(root->GetChildCount(), 2);
    EXPECT_STREQ(root->GetChild(0)->FindChildByNameAttribute(L"b")->GetAttribute(L"Text"), L"\u786e\u5b9a");
    ASSERT_TRUE(script->SaveToFile(second.c_str()));

    TIntrusivePointer<IXmlScript> again = IXmlScript_Create();
    IXmlElement* reloaded = again->LoadFromFile(second.c_str());
    EXPECT_EQ(Saved(reloaded), kDocument);
    EXPECT_EQ(reloaded->GetChild(0)->GetChildCount(), 2);
    EXPECT_TRUE(m_log.Messages().empty());
}

TEST_F(XmlFileTest, LoadEmptiesTheRootFirst)
{
    const std::wstring path = m_folder.Child(L"a.xml");
    ASSERT_TRUE(RVTest::WriteWholeFile(path, Utf16Bytes(L"<a/>", true)));
    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    script->Parse(L"<old/>");
    IXmlElement* root = script->LoadFromFile(path.c_str());
    ASSERT_EQ(root->GetChildCount(), 1);
    EXPECT_STREQ(root->GetChild(0)->GetName(), L"a");
    root = script->LoadFromFile(path.c_str());
    EXPECT_EQ(root->GetChildCount(), 1);
}

TEST_F(XmlFileTest, ScrambledFileLoadsLikeAPlainOne)
{
    const std::string plain = Utf16Bytes(kDocument, true);
    TIntrusivePointer<RVGameEngine::Common::IStream> stream(RVGameEngine::Common::IStream_Create(static_cast<int32_t>(plain.size())), true);
    ASSERT_TRUE(stream);
    memcpy(stream->GetData(), plain.data(), plain.size());
    TIntrusivePointer<RVGameEngine::Common::IStream> scrambled = IVirtualFileSystem_GetInstance()->ScrambleStream(stream);
    ASSERT_TRUE(scrambled);
    const std::string bytes(reinterpret_cast<const char*>(scrambled->GetData()),
                            static_cast<size_t>(scrambled->GetSize()));
    ASSERT_EQ(bytes.substr(0, 4), "RVEF");
    ASSERT_NE(bytes.substr(4), plain);
    const std::wstring path = m_folder.Child(L"scrambled.xml");
    ASSERT_TRUE(RVTest::WriteWholeFile(path, bytes));

    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    EXPECT_EQ(Saved(script->LoadFromFile(path.c_str())), kDocument);
}

TEST_F(XmlFileTest, FileWithoutTheMarkGivesAnEmptyDocumentAndAWarning)
{
    const std::wstring path = m_folder.Child(L"nomark.xml");
    ASSERT_TRUE(RVTest::WriteWholeFile(path, Utf16Bytes(L"<a/>", false)));
    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    script->Parse(L"<old/>");
    EXPECT_EQ(script->LoadFromFile(path.c_str())->GetChildCount(), 0);
    const std::wstring warning = L"File \"" + path + L"\" is expected to be a UNICODE coded file.";
    EXPECT_EQ(m_log.CountContaining(warning), 1);
    const auto boxes = RVTest::MessageBoxRecorder::Taken();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, warning);
}

TEST_F(XmlFileTest, MissingFileGivesAnEmptyDocument)
{
    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    script->Parse(L"<old/>");
    IXmlElement* root = script->LoadFromFile(m_folder.Child(L"missing.xml").c_str());
    EXPECT_EQ(root, script->GetRoot());
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_EQ(script->LoadFromFile(nullptr)->GetChildCount(), 0);
}

TEST_F(XmlFileTest, ErrorsNameTheFileAndTheLine)
{
    const std::wstring path = m_folder.Child(L"bad.xml");
    ASSERT_TRUE(RVTest::WriteWholeFile(path, Utf16Bytes(L"<a>\r\n\r\n\r\nword\r\n</a>", true)));
    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    script->LoadFromFile(path.c_str());
    ASSERT_EQ(m_log.Messages().size(), 1u);
    EXPECT_EQ(m_log.Messages()[0], L"Error " + path +
                                       L"(4): Unexpected token type:enmXmlScriptTokenType_Identifier, token "
                                       L"string:word, expected token type:enmXmlScriptTokenType_LeftParen1");
}

TEST_F(XmlFileTest, SaveReportsAFailedWrite)
{
    const std::wstring path = m_folder.Child(L"folder.xml");
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    TIntrusivePointer<IXmlScript> script = IXmlScript_Create();
    script->Parse(L"<a/>");
    EXPECT_FALSE(script->SaveToFile(path.c_str()));
    EXPECT_FALSE(script->SaveToFile(nullptr));
}
