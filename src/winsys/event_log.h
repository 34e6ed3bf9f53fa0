// The system's event log, where fleets collect what their programs report:
// a port beside the log file's, so that what is reported when can be decided
// and tested apart from Windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestrum {

enum class EventType {
    Information,
    Warning,
    Error,
};

class EventLog {
public:
    virtual ~EventLog() = default;

    // Reports event `id` of `type` with the strings its message puts in
    // (UTF-8), at once. Nothing waits, and nothing fails: a report that
    // cannot be made is lost.
    virtual void Report(EventType type, std::uint32_t id, const std::vector<std::string>& strings) = 0;
};

}  // namespace kestrum
