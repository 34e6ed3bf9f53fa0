#include "watch/told_memory.h"

#include <algorithm>

namespace kestrum {
namespace {

constexpr std::chrono::milliseconds kOnceEvery = std::chrono::hours(1);
constexpr std::size_t kMostTitles = 256;
// What of a title is remembered: enough to tell clients apart.
constexpr std::size_t kTitleKept = 200;

}  // namespace

bool ToldMemory::News(WindowHandle client, std::string_view title, Told what, std::chrono::milliseconds now) {
    if (!open_.emplace(client, what).second) return false;
    std::erase_if(recent_, [now](const auto& told) { return now - told.second >= kOnceEvery; });
    const auto key = std::pair(std::string(title.substr(0, kTitleKept)), what);
    if (recent_.contains(key)) return false;
    if (recent_.size() >= kMostTitles) {
        recent_.erase(std::min_element(recent_.begin(), recent_.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; }));
    }
    recent_.emplace(key, now);
    return true;
}

void ToldMemory::Appeared(WindowHandle client) {
    std::erase_if(open_, [client](const auto& told) { return told.first == client; });
    noticed_.erase(client);
}

void ToldMemory::DropGone(WindowSystem& system) {
    std::map<WindowHandle, bool> gone;  // one call a client
    const auto isGone = [&](WindowHandle client) {
        const auto [found, added] = gone.try_emplace(client);
        if (added) found->second = !system.IsWindow(client);
        return found->second;
    };
    std::erase_if(noticed_, isGone);
    std::erase_if(open_, [&isGone](const auto& told) { return isGone(told.first); });
}

}  // namespace kestrum
