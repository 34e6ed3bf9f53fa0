// An event log held in memory: every event reported, in order.
#pragma once

#include <string>
#include <vector>

#include "winsys/event_log.h"

namespace kestrum::testing {

struct MemoryEventLog final : EventLog {
    struct Event {
        EventType type;
        std::uint32_t id;
        std::vector<std::string> strings;
    };
    void Report(EventType type, std::uint32_t id, const std::vector<std::string>& strings) override {
        events.push_back({type, id, strings});
    }
    std::vector<Event> events;
};

}  // namespace kestrum::testing
