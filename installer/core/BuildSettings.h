#pragma once

// Addresses the program talks to, kept in one place. The default build points
// every one of them at this machine, where the local servers of the tests and
// of the run script listen; a release build replaces the values here.

#include <cstdint>

// The product's home page: the uninstall entry's "about" link and the answer
// for any named address the URL list does not hold.
constexpr const wchar_t* kHomePageAddress = L"http://127.0.0.1/";

// The statistics server's host name.
constexpr const char* kStatisticsServerHost = "127.0.0.1";

// The web hosts of the advert API and the tracking request.
constexpr const wchar_t* kAdvertApiHost = L"http://127.0.0.1";
constexpr const wchar_t* kTrackingHost = L"http://127.0.0.1";
