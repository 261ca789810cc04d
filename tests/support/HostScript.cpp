#include "tests/support/HostScript.h"

#include "tests/support/PlantedLink.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WaitUntil.h"

#include "engine/common/base/TScopedHandle.h"

#include <cstdio>
#include <cwchar>

namespace RVTest {

namespace {

const wchar_t kEndedMark[] = L"ended.";

// The body's end is the move of the "waiting" mark to "ended.<status>", one
// rename on the host. A caller that gives up moves the same mark away first:
// of the two moves only one finds it, so either the caller sees the end or
// the script knows nobody waits and runs its undo.
std::wstring WrappedScript(const std::wstring& body, const std::wstring& undoLate)
{
    return L"m=$1; shift\n"
           L"said=$( {\n" + body + L"\n} 2>&1 >/dev/null ); status=$?\n"
           L"{ printf %s \"$said\" >\"$m/said\"; } 2>/dev/null\n"
           L"mv -- \"$m/waiting\" \"$m/" + kEndedMark + L"$status\" 2>/dev/null || {\n" + undoLate +
           L"\n} >/dev/null 2>&1\n";
}

std::wstring CommandLine(const std::wstring& script, const std::wstring& marks,
                         const std::vector<std::wstring>& arguments)
{
    std::wstring line = L"/bin/sh -c " + CommandLineArgument(script) + L" sh " + CommandLineArgument(marks);
    for (const std::wstring& argument : arguments)
        line += L" " + CommandLineArgument(argument);
    return line;
}

// The status the script ended with, from its mark's name.
bool ReadEnd(const TempFolder& marks, HostScriptResult* result)
{
    WIN32_FIND_DATAW found{};
    const RVGameEngine::Common::CScopedFindHandle search(
        FindFirstFileW(marks.Child(std::wstring(kEndedMark) + L"*").c_str(), &found));
    if (!search)
        return false;
    result->end = HostScriptEnd::Ended;
    result->status = static_cast<int>(std::wcstol(found.cFileName + std::wcslen(kEndedMark), nullptr, 10));
    result->errorOutput = ReadWholeFile(marks.Child(L"said"));
    return true;
}

} // namespace

std::wstring CommandLineArgument(const std::wstring& text)
{
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only before a quote.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

HostScriptResult RunHostScript(const std::wstring& body, const std::vector<std::wstring>& arguments, DWORD limitMs,
                               const std::wstring& undoLate)
{
    HostScriptResult result;
    const TempFolder marks;
    const std::wstring hostMarks = HostPathOf(marks.Path());
    if (hostMarks.empty())
        return result;
    if (!WriteWholeFile(marks.Child(L"waiting"), std::string()) ||
        !StartHostCommand(CommandLine(WrappedScript(body, undoLate), hostMarks, arguments))) {
        std::fwprintf(stderr, L"host script not started (error %lu): %ls\n", GetLastError(), body.c_str());
        return result;
    }
    result.end = HostScriptEnd::NotEnded;
    if (WaitUntil([&marks, &result] { return ReadEnd(marks, &result); }, limitMs))
        return result;
    if (MoveFileW(marks.Child(L"waiting").c_str(), marks.Child(L"abandoned").c_str()))
        return result;
    // The script took the mark as the wait gave up: it has just ended.
    if (!ReadEnd(marks, &result))
        std::fwprintf(stderr, L"host script neither ended nor let go of (error %lu): %ls\n", GetLastError(),
                      body.c_str());
    return result;
}

HostScriptResult MakeHostLink(const std::wstring& target, const std::wstring& link, DWORD limitMs)
{
    return RunHostScript(L"ln -s -T -- \"$1\" \"$2\"", {target, link}, limitMs,
                         L"[ \"$status\" -ne 0 ] || rm -f -- \"$2\"");
}

HostScriptResult RemoveHostLink(const std::wstring& link, DWORD limitMs)
{
    return RunHostScript(L"rm -f -- \"$1\"", {link}, limitMs);
}

} // namespace RVTest
