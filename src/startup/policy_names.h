// Where Kestrum's Group Policy settings live: the values under this key of
// HKEY_LOCAL_MACHINE, then of HKEY_CURRENT_USER, that the administrative
// templates (Kestrum.admx) write.
#pragma once

#include <string_view>

namespace kestrum {

inline constexpr std::string_view kPolicyKey = "Software\\Policies\\Kestrum";
// The pane's width in pixels, 1 to 32767 (REG_DWORD).
inline constexpr std::string_view kPolicyNewSize = "NewSize";
// The watch's settling time in milliseconds, 0 to 10000 (REG_DWORD).
inline constexpr std::string_view kPolicySettleTime = "SettleTime";
// The log file (REG_SZ or REG_EXPAND_SZ; environment variables expanded).
inline constexpr std::string_view kPolicyLogFile = "LogFile";
// What the event log gets, 0 to 2 (REG_DWORD; EventLevel).
inline constexpr std::string_view kPolicyEventLogLevel = "EventLogLevel";
// Whether the watch keeps the width a user gives the pane, 0 or 1 (REG_DWORD).
inline constexpr std::string_view kPolicyRememberUserWidth = "RememberUserWidth";
// Whether the watch shows its icon in the notification area, 0 or 1 (REG_DWORD).
inline constexpr std::string_view kPolicyShowTrayIcon = "ShowTrayIcon";

}  // namespace kestrum
