// EventLog over the Windows event log, for the Windows build: the source
// opened once (RegisterEventSourceW) and closed with its owner. Where the
// source cannot be opened, every report is lost and nothing else changes.
// Windows shows the events' sentences from the message table in the exe,
// once the source is registered (by the MSI, or by hand).
#pragma once

#include <windows.h>

#include <string_view>

#include "winsys/event_log.h"

namespace kestrum::win32 {

class Win32EventLog final : public EventLog {
public:
    // `source`: the event source's name, UTF-8.
    explicit Win32EventLog(std::string_view source);
    ~Win32EventLog() override;
    Win32EventLog(const Win32EventLog&) = delete;
    Win32EventLog& operator=(const Win32EventLog&) = delete;

    void Report(EventType type, std::uint32_t id, const std::vector<std::string>& strings) override;

private:
    HANDLE source_;
};

}  // namespace kestrum::win32
