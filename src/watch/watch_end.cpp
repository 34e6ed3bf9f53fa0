#include "watch/watch_end.h"

namespace kestrum {

std::string_view WatchEndWords(WatchEnd end) {
    switch (end) {
        case WatchEnd::Stopped: return "stopped";
        case WatchEnd::SessionEnded: return "session ended";
        case WatchEnd::ClosedForUpdate: return "closed for an update";
    }
    return "ended";
}

WatchEnd EndOfSession(std::uint32_t flags) {
    return (flags & kEndSessionCloseApp) != 0 ? WatchEnd::ClosedForUpdate : WatchEnd::SessionEnded;
}

}  // namespace kestrum
