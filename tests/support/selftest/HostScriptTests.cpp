#include "tests/support/HostScript.h"

#include "tests/support/PlantedLink.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WaitUntil.h"

#include <gtest/gtest.h>

namespace {

using namespace RVTest;

const DWORD kLimitMs = 60000;

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class HostScripts : public testing::Test
{
protected:
    void SetUp() override
    {
        if (HostPathOf(m_folder.Path()).empty())
            GTEST_SKIP() << "host scripts run only under Wine";
    }
    std::wstring Host(const wchar_t* name) const { return HostPathOf(m_folder.Child(name)); }

    const TempFolder m_folder;
};

} // namespace

// The status and the error output come back as the body left them, and each
// argument arrives whole, however the command line had to quote it.
TEST_F(HostScripts, EndWithTheBodysStatusAndErrorOutput)
{
    const struct
    {
        const wchar_t* body;
        std::vector<std::wstring> arguments;
        int status;
        const char* errorOutput;
    } rows[] = {
        {L"exit 7", {}, 7, ""},
        {L"echo dropped; echo kept >&2; false", {}, 1, "kept"},
        {L"printf '%s|' $# \"$@\" >&2", {L"a b", L"", L"tail\\", L"two\\\\", L"say \"hi\"", L"x\\\"y", L"$HOME `id` *"},
         0, "7|a b||tail\\|two\\\\|say \"hi\"|x\\\"y|$HOME `id` *|"},
    };
    for (const auto& row : rows) {
        const HostScriptResult result = RunHostScript(row.body, row.arguments, kLimitMs);
        ASSERT_EQ(result.end, HostScriptEnd::Ended) << row.body;
        EXPECT_EQ(result.status, row.status) << row.body;
        EXPECT_EQ(result.errorOutput, row.errorOutput) << row.body;
    }
}

// The body cannot end before the test lets it, so the wait always gives up
// first; what the body makes then is taken away by the undo, which sees the
// body's status, although the caller's marks are gone by then.
TEST_F(HostScripts, ThatOutlastTheWaitUndoWhatTheyMake)
{
    const HostScriptResult result =
        RunHostScript(L"while [ ! -e \"$1\" ]; do sleep 0.05; done; : >\"$2\"; exit 3",
                      {Host(L"go"), Host(L"made"), Host(L"undone")}, 50, L"rm -f -- \"$2\"; echo $status >\"$3\"");
    ASSERT_EQ(result.end, HostScriptEnd::NotEnded);
    ASSERT_TRUE(WriteWholeFile(m_folder.Child(L"go"), ""));
    ASSERT_TRUE(WaitUntil([this] { return ReadWholeFile(m_folder.Child(L"undone")) == "3\n"; }, kLimitMs));
    EXPECT_FALSE(Exists(m_folder.Child(L"made")));
}

// A taken name is refused and left as it was: a link to a folder above all,
// which a plain "ln -s" follows to make its link inside that folder.
TEST_F(HostScripts, LinkNoNameThatIsTaken)
{
    for (const wchar_t* folder : {L"target", L"linked", L"folder"})
        ASSERT_TRUE(CreateDirectoryW(m_folder.Child(folder).c_str(), nullptr));
    ASSERT_EQ(MakeHostLink(Host(L"linked"), Host(L"folder-link"), kLimitMs).status, 0);
    ASSERT_EQ(MakeHostLink(L"/nonexistent/rvtest", Host(L"dangling-link"), kLimitMs).status, 0);
    for (const wchar_t* taken : {L"folder-link", L"dangling-link", L"folder"}) {
        const HostScriptResult result = MakeHostLink(Host(L"target"), Host(taken), kLimitMs);
        ASSERT_EQ(result.end, HostScriptEnd::Ended) << taken;
        EXPECT_NE(result.status, 0) << taken;
    }
    EXPECT_FALSE(Exists(m_folder.Child(L"linked\\target")));
    EXPECT_FALSE(Exists(m_folder.Child(L"folder\\target")));
    for (const wchar_t* link : {L"folder-link", L"dangling-link"})
        EXPECT_EQ(RemoveHostLink(Host(link), kLimitMs).status, 0);
}
