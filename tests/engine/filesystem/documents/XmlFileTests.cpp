#include "tests/engine/filesystem/documents/DocumentTestSupport.h"

#include "engine/common/base/IStream.h"
#include "engine/filesystem/IVirtualFileSystem.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <cstring>

using namespace DocumentsTest;

namespace {

const wchar_t kDocument[] = L"<Window Name=\"w\">\r\n\t--note \u63d0\u793a\r\n"
                            L"\t<Button Name=\"b\" Text=\"\u786e\u5b9a\"/>\r\n\t<Panel Tag=\"p\">\r\n"
                            L"\t\t<Label/>\r\n\t</Panel>\r\n</Window>\r\n<Other/>\r\n";

std::string Utf16Bytes(const std::wstring& text, bool withMark = true)
{
    const std::string units(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return (withMark ? "\xFF\xFE" : "") + units;
}

class XmlFileTest : public ::testing::Test
{
protected:
    void SetUp() override { RVTest::MessageBoxRecorder::Clear(); }

    // Loads the bytes as a file into a script that held another tree.
    IXmlElement* Load(const std::string& bytes, const wchar_t* name = L"doc.xml")
    {
        m_path = m_folder.Child(name);
        EXPECT_TRUE(RVTest::WriteWholeFile(m_path, bytes));
        m_script->Parse(L"<old/>");
        return m_script->LoadFromFile(m_path.c_str());
    }

    RVTest::TempFolder m_folder;
    RVTest::LogCapture m_log;
    TIntrusivePointer<IXmlScript> m_script = IXmlScript_Create();
    std::wstring m_path;
};

} // namespace

TEST_F(XmlFileTest, LoadSaveLoadKeepsTheTreeAndSaveWritesTheMarkAndTheText)
{
    IXmlElement* root = Load(Utf16Bytes(kDocument));
    ASSERT_EQ(root->GetChildCount(), 2) << "loading empties the root first";
    EXPECT_STREQ(root->GetChild(0)->FindChildByNameAttribute(L"b")->GetAttribute(L"Text"), L"\u786e\u5b9a");
    const std::wstring saved = m_folder.Child(L"Set\\Out.xml");
    ASSERT_TRUE(m_script->SaveToFile(saved.c_str()));
    EXPECT_EQ(RVTest::ReadWholeFile(saved), Utf16Bytes(kDocument));
    EXPECT_EQ(Saved(IXmlScript_Create()->LoadFromFile(saved.c_str())), kDocument);
    EXPECT_TRUE(m_log.Messages().empty());
    // A folder in the way: the save says it failed.
    const std::wstring folder = m_folder.Child(L"folder.xml");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    EXPECT_FALSE(m_script->SaveToFile(folder.c_str()));
    EXPECT_FALSE(m_script->SaveToFile(nullptr));
}

// The document text has no escapes: a value holding a double quote would
// read back as other attributes, so the save is refused and the file on disk
// stays as it was. A value may span lines: that one is saved and reads back.
TEST_F(XmlFileTest, AValueWithADoubleQuoteIsNotSaved)
{
    const std::wstring saved = m_folder.Child(L"kept.xml");
    IXmlElement* root = m_script->Parse(L"<Setup><Option Name=\"a\"/></Setup>");
    ASSERT_TRUE(m_script->SaveToFile(saved.c_str()));
    const std::string before = RVTest::ReadWholeFile(saved);
    IXmlElement* option = root->GetChild(0)->GetChild(0);
    for (const wchar_t* value : {L"x\" Silent=\"true", L"\""}) {
        option->SetAttribute(L"Name", value);
        EXPECT_FALSE(m_script->SaveToFile(saved.c_str())) << value;
        EXPECT_EQ(RVTest::ReadWholeFile(saved), before);
    }
    EXPECT_EQ(m_log.Messages().size(), 2u);
    option->SetAttribute(L"Name", L"two\r\nlines");
    ASSERT_TRUE(m_script->SaveToFile(saved.c_str()));
    EXPECT_STREQ(IXmlScript_Create()->LoadFromFile(saved.c_str())->GetChild(0)->GetChild(0)->GetAttribute(L"Name"),
                 L"two\r\nlines");
}

TEST_F(XmlFileTest, ScrambledFileLoadsLikeAPlainOne)
{
    const std::string plain = Utf16Bytes(kDocument);
    TIntrusivePointer<RVGameEngine::Common::IStream> stream(IStream_Create(static_cast<int32_t>(plain.size())), true);
    std::memcpy(stream->GetData(), plain.data(), plain.size());
    stream = RVGameEngine::FileSystem::IVirtualFileSystem_GetInstance()->ScrambleStream(stream);
    const std::string bytes(reinterpret_cast<const char*>(stream->GetData()), static_cast<size_t>(stream->GetSize()));
    ASSERT_EQ(bytes.substr(0, 4), "RVEF");
    ASSERT_NE(bytes.substr(4), plain);
    EXPECT_EQ(Saved(Load(bytes)), kDocument);
}

TEST_F(XmlFileTest, FilesWithoutTheMarkOrMissingGiveAnEmptyDocument)
{
    EXPECT_EQ(Load(Utf16Bytes(L"<a/>", false))->GetChildCount(), 0);
    const std::wstring warning = L"File \"" + m_path + L"\" is expected to be a UNICODE coded file.";
    EXPECT_EQ(m_log.CountContaining(warning), 1);
    ASSERT_EQ(RVTest::MessageBoxRecorder::Taken().size(), 1u);
    EXPECT_EQ(RVTest::MessageBoxRecorder::Taken()[0].text, warning);
    m_script->Parse(L"<old/>");
    EXPECT_EQ(m_script->LoadFromFile(m_folder.Child(L"missing.xml").c_str())->GetChildCount(), 0);
    EXPECT_EQ(m_script->LoadFromFile(nullptr)->GetChildCount(), 0);
}

TEST_F(XmlFileTest, ErrorsNameTheFileAndTheLine)
{
    Load(Utf16Bytes(L"<a>\r\n\r\n\r\nword\r\n</a>"), L"bad.xml");
    EXPECT_EQ(m_log.Messages(), std::vector<std::wstring>{L"Error " + m_path +
                                    L"(4): Unexpected token type:enmXmlScriptTokenType_Identifier, token "
                                    L"string:word, expected token type:enmXmlScriptTokenType_LeftParen1"});
}
