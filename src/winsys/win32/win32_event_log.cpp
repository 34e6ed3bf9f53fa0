#include "winsys/win32/win32_event_log.h"

#include "winsys/win32/win32_text.h"

namespace kestrum::win32 {
namespace {

// The longest string ReportEventW takes, in UTF-16 units.
constexpr std::size_t kLongestString = 31839;

WORD TypeOf(EventType type) {
    switch (type) {
        case EventType::Warning: return EVENTLOG_WARNING_TYPE;
        case EventType::Error: return EVENTLOG_ERROR_TYPE;
        case EventType::Information: break;
    }
    return EVENTLOG_INFORMATION_TYPE;
}

}  // namespace

Win32EventLog::Win32EventLog(std::string_view source)
    : source_(RegisterEventSourceW(nullptr, Utf8ToWide(source).c_str())) {}

Win32EventLog::~Win32EventLog() {
    if (source_ != nullptr) DeregisterEventSource(source_);
}

void Win32EventLog::Report(EventType type, std::uint32_t id, const std::vector<std::string>& strings) {
    if (source_ == nullptr) return;
    std::vector<std::wstring> wide;
    std::vector<LPCWSTR> pointers;
    wide.reserve(strings.size());
    for (const std::string& text : strings) {
        wide.push_back(Utf8ToWide(text));
        if (wide.back().size() > kLongestString) wide.back().resize(kLongestString);
        pointers.push_back(wide.back().c_str());
    }
    ReportEventW(source_, TypeOf(type), 0, id, nullptr, static_cast<WORD>(pointers.size()), 0,
                 pointers.empty() ? nullptr : pointers.data(), nullptr);
}

}  // namespace kestrum::win32
