#pragma once

// Addresses a run may hand the program on its command line in place of the
// build's, so that two runs on one machine (or a test beside a run) each
// talk to servers of their own:
//   StatisticsServer=<host>:<port>   the statistics server
//   UrlItemList=<file>               a URL list laid over the package's (an
//                                    item with a web address replaces the
//                                    package's of its name); its
//                                    "GameInstaller_WebApi" item is the
//                                    advert and tracking server

#include <cstdint>
#include <string>

constexpr const wchar_t* kStatisticsServerOption = L"StatisticsServer";
constexpr const wchar_t* kUrlItemListOption = L"UrlItemList";
constexpr const wchar_t* kWebApiUrlItem = L"GameInstaller_WebApi";

// At the start, before the run leaves the folder it was started in: the
// statistics server is set, and the URL list's name made whole.
void ReadAddressOptions();
// Once the package's URL list has been read: the handed list in its place,
// and the web API server taken from it. Nothing without the option.
void ApplyHandedUrlList();

// "host:port" with a port from 1 to 65535; false for anything else.
bool SplitHostAndPort(const std::wstring& text, std::string* host, int32_t* port);
