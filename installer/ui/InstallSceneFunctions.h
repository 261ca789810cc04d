#pragma once

// The install window's small rules, kept apart from the window so that each
// can be checked on its own.

#include "engine/common/base/TIntrusivePointer.h"
#include "engine/directui/uisystem/IUIWindow.h"

#include <cstdint>
#include <string>

constexpr const wchar_t* kTrackingRecordFormat =
    L"<ROOT><ROW UserID=\"0\" FunctionID=\"30001\" StopTime=\"1\" ParamValue1=\"0\" ChannelID=\"%s\"/></ROOT>";
constexpr const wchar_t* kTrackingPath = L"/RevEzudIzovuv/MaiDian/SendMaiDian?Xml=";

// Whole percent of the items done, in integers: 3 of 8 gives 37, 7 of 10 gives
// 70; 0 while nothing is counted, never above 100.
int32_t ProgressPercent(uint32_t done, uint32_t total);
// "53%".
std::wstring ProgressText(uint32_t done, uint32_t total);
// Free megabytes as gigabytes with two decimals: 1536 gives "1.50G".
std::wstring FreeSpaceText(int32_t freeMB);
// The drive index (0 for A) of a folder's first letter, either case; -1 when
// the folder starts with no letter.
int32_t DriveIndexOf(const std::wstring& folder);
// Whether a folder picker's answer names a drive folder ("X:..."); a
// cancelled picker gives less.
bool IsDriveFolder(const std::wstring& folder);
// The tracking request's address on the host: path, query key and the
// record, not percent-encoded; the identity in it is XML-escaped, then
// percent-encoded, so that it reaches the record whole.
std::wstring InstallTrackingAddress(const wchar_t* host, const std::wstring& partnerID);
// Sends the tracking request for this install to the tracking host
// (blocking, reply ignored).
void SendInstallTracking();
// Replaces the tracking host (tests point it at a local server).
void SetInstallTrackingHost(const std::wstring& host);

// Title alignments of the descriptions' 3 x 3 grid, row by row.
constexpr int32_t kTitleAlignCenterLeft = 3;
constexpr int32_t kTitleAlignCenterRight = 5;
// Whether the text, in the window's title font, fits the window's width
// (with the margin a right-aligned title keeps).
bool FitsOnOneLine(RVGameEngine::DirectUI::IUIWindow* window, const std::wstring& text);

// The window's descriptions and pictures are read when needed, by names
// relative to the current folder, which the install worker moves to the
// install folder: from now on those names are read from the folder that is
// current now (the unpacked window files), wherever the current folder goes.
void KeepWindowFilesReachable();

// Makes the picture file the window's background (the advert); false when
// it is missing or no picture. Kept as one function so that the way pictures reach
// windows can change in one place.
bool SetWindowPicture(RVGameEngine::DirectUI::IUIWindow* window, const wchar_t* file);
