#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace RVTest {

enum class HostScriptEnd
{
    NotStarted,  // not under Wine, or the host shell could not be started
    NotEnded,    // the wait gave up; the script undoes its work when it ends
    Ended,
};

struct HostScriptResult
{
    HostScriptEnd end = HostScriptEnd::NotStarted;
    int status = -1;           // the body's exit status, once it ended
    std::string errorOutput;   // what the body wrote to its standard error, its line ends at the end dropped
};

// Under Wine: runs a shell script on the host, with the arguments as "$@",
// and waits up to limitMs for it to end. Wine gives no handle on a host
// process, so the script marks its own end with a file the caller waits
// for. When the wait gives up first, the script, on ending later, runs
// undoLate instead of marking its end (the body's exit status in $status),
// so that what it makes after nobody waits does not stay behind; it runs
// even when the caller's mark folder is gone by then. The body's standard
// output is dropped. Elsewhere nothing runs.
HostScriptResult RunHostScript(const std::wstring& body, const std::vector<std::wstring>& arguments, DWORD limitMs,
                               const std::wstring& undoLate = L":");

// Under Wine: a host symbolic link made at `link`, leading to `target`. A
// name already taken is refused (a status other than 0), a link to a folder
// too, which a plain "ln -s" would follow to make its link inside that
// folder. A link made after the wait gave up is taken away again.
HostScriptResult MakeHostLink(const std::wstring& target, const std::wstring& link, DWORD limitMs);

// Under Wine: takes a host link away, never what it leads to. A removal that
// outlasts the wait still happens when the script runs.
HostScriptResult RemoveHostLink(const std::wstring& link, DWORD limitMs);

// One argument of a command line, as CommandLineToArgvW splits it back.
std::wstring CommandLineArgument(const std::wstring& text);

} // namespace RVTest
