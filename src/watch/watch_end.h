// What the system's notices of the end of the session (Windows'
// WM_QUERYENDSESSION and WM_ENDSESSION) mean for the resident watch.
#pragma once

#include <cstdint>

#include "log/what_happened.h"

namespace kestrum {

// The flags of those notices (their lParam), as Windows defines them.
inline constexpr std::uint32_t kEndSessionCloseApp = 0x00000001;  // ENDSESSION_CLOSEAPP
inline constexpr std::uint32_t kEndSessionCritical = 0x40000000;  // ENDSESSION_CRITICAL
inline constexpr std::uint32_t kEndSessionLogoff = 0x80000000;    // ENDSESSION_LOGOFF

// What an end of the session with these flags is for the watch: a program
// asked to close by Restart Manager (an installer about to replace its
// files) is closed for an update, not at the end of the session.
WatchEnd EndOfSession(std::uint32_t flags);

}  // namespace kestrum
