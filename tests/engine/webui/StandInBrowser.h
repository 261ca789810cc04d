#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace RVTest {

// What the stand-in's objects answer; read when an object is made.
struct StandInOptions
{
    bool webBrowser2 = true;      // answers IWebBrowser2
    bool inPlaceObject = true;    // answers IOleInPlaceObject
    bool connectionPoints = true; // answers IConnectionPointContainer
    HRESULT documentAnswer = S_OK;      // get_Document's answer; only S_OK gives the document
    HRESULT documentQueryAnswer = S_OK; // the document's answer to IHTMLDocument2
    bool body = true;                   // the document has a body
    bool style = true;                  // the body has a style
    // The object keeps what the host hands it (storage, site, the site's UI
    // handler) beyond its own close, as a browser object may.
    bool keepHelpers = false;
};

// A browser object of our own in place of the system's, which cannot show a
// page here: while it exists, OleCreate for the web browser's class id on
// this thread makes one of its objects. The objects record what the host
// asks of them, count every reference to each interface they hand out, and
// raise the host's notifications as the browser would: through the
// connection point, holding the sink for the call and releasing it after.
// OLE must be initialised on the thread.
class StandInBrowser
{
public:
    StandInBrowser();
    ~StandInBrowser();
    StandInBrowser(const StandInBrowser&) = delete;
    StandInBrowser& operator=(const StandInBrowser&) = delete;

    StandInOptions options;

    int MadeCount() const;
    // Objects that still hold a reference given out.
    int LiveCount() const;
    // The calls since the last take, one line each, e.g. "Navigate2 about:blank".
    // Unadvise, Stop or Close while a notification is being delivered ends in
    // " (notifying)".
    std::vector<std::wstring> TakeCalls();
    // Interfaces whose references were not all given back, or given back once
    // too often ("IOleObject of object 1: 1 held"); empty when all balance.
    std::vector<std::wstring> Unbalanced() const;

    // Of the latest object.
    bool IsAdvised() const;
    HWND GetWindow() const;
    // The sink's answer, or S_FALSE when no sink is advised. From the latest
    // object, or from the object of the number given (counted from 1).
    HRESULT FireBeforeNavigate(const wchar_t* url, bool* cancelled, int objectNumber = 0);
    HRESULT FireDocumentComplete(int objectNumber = 0);

    // With keepHelpers: what each helper's AddRef answered as the object
    // kept it, in the order storage, site, UI handler (0 when not kept).
    std::vector<unsigned long> KeptHelperCounts() const;
    // Calls each kept helper once, then lets it go: one line per call with
    // its answer ("storage SetClass 0x0", "site released 0").
    std::vector<std::wstring> UseAndReleaseKeptHelpers();
    // Runs after each notification, before the sink is released.
    void SetAfterNotification(std::function<void()> check);

    struct tagState;

private:
    std::unique_ptr<tagState> m_state;
};

} // namespace RVTest
