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

// The web hosts of the advert API (its port, 8081, is added by the client)
// and the tracking request (the local web API server's port).
constexpr const wchar_t* kAdvertApiHost = L"http://127.0.0.1";
constexpr const wchar_t* kTrackingHost = L"http://127.0.0.1:8081";

// The statistics server's group name for the game-shield resolver; while no
// resolver is loaded it is used as the host name itself.
constexpr const char* kStatisticsShieldHost = "127.0.0.1";
// The resolver's access token.
constexpr const char* kStatisticsShieldAccessToken =
    "ZAfCXsOpfnFh+kFOQEmlVIp+pyjAilB3hfmYX4SpTVN2JZ4rsluKHOyB32VXvC5/yCx0Pdnyn+/cj4VunF+0zFU1eFCqwi3k1f2A7OiWTt4vxMuYlcteLrb61uYLakEl40sxfHwDvPJDM4CXAYDw4tRVTcNm6ODa1LiKbFjQmT+NRWoGqt"
    "Vj50wgeieMQQ9P8TytBbT3u4xXAO76O+I4xsj2HUzZB6uCqCbkHkYbsqL8DSTIbMgJK3akL34D6U35VejKGswrxT018QuvYWAABzCsglOjSDhF3VI6Tnr7YrdD0IbCqSCeq9p0DsFMPs/Py3wUO0D7ZYHDUaf7jMStcz/quQGsq2+GlTj9";
