#include "watch/watch_end.h"

namespace kestrum {

WatchEnd EndOfSession(std::uint32_t flags) {
    return (flags & kEndSessionCloseApp) != 0 ? WatchEnd::ClosedForUpdate : WatchEnd::SessionEnded;
}

}  // namespace kestrum
