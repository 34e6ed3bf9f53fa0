#include "discovery/window_discovery.h"

#include <algorithm>
#include <array>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace kestrum {
namespace {

constexpr std::size_t kClassBufferLength = 256;
// The title buffer used when the reported text length cannot be used.
constexpr std::size_t kFallbackTitleLength = 256;
// A text length beyond this is taken as unusable rather than allocated: no
// window title needs 16 MiB, and a lying window must not exhaust memory.
constexpr std::int32_t kLargestTitleLength = 16 * 1024 * 1024;

// The first `count` characters of what a text call wrote, trusting the count
// only as far as the buffer goes.
std::string_view Copied(const char* buffer, std::size_t length, std::int32_t count) {
    const std::size_t usable = length == 0 ? 0 : length - 1;
    return {buffer, std::min<std::size_t>(static_cast<std::size_t>(std::max(count, 0)), usable)};
}

std::string_view ClassFor(std::int32_t n) {
    if (n == kModeMainWindows) return kClientClass;
    if (n == kModePanes) return kPaneClass;
    return {};
}

// Lists one window; throws when that fails.
void ListWindow(WindowSystem& system, WindowList& list, WindowHandle h, std::int32_t n) {
    const std::string_view wanted = ClassFor(n);
    if (wanted.empty()) return;

    // The class first: for the many windows that do not match, it is the
    // only call made.
    std::array<char, kClassBufferLength> classBuffer{};
    const std::string_view className =
        Copied(classBuffer.data(), classBuffer.size(), system.ReadClassName(h, classBuffer));
    if (className != wanted) return;

    const std::int32_t length = system.WindowTextLength(h);
    std::vector<char> titleBuffer;
    if (length >= 0 && length < kLargestTitleLength) {
        try {
            titleBuffer.assign(static_cast<std::size_t>(length) + 1, ' ');
        } catch (const std::bad_alloc&) {
            titleBuffer.clear();
        }
    }
    if (titleBuffer.empty()) titleBuffer.assign(kFallbackTitleLength, ' ');
    const std::string_view title = Copied(titleBuffer.data(), titleBuffer.size(),
                                          system.ReadWindowText(h, titleBuffer));

    std::string entry = std::to_string(h);
    entry.append(" # ").append(className).append(" # ").append(title);
    const ListIndex index = list.AddItem(entry);
    if (index != kNoEntry) list.SetItemData(index, h);
}

}  // namespace

void ListWindows(WindowSystem& system, WindowList& list, std::int32_t mode, WindowHandle handle) {
    const EnumProc proc = [&system, &list](WindowHandle h, std::int32_t n) {
        return ListWindowsProc(system, list, h, n);
    };
    switch (mode) {
        case kModeMainWindows:
            system.EnumerateTopLevelWindows(proc, kModeMainWindows);
            break;
        case kModePanes:
            if (handle != 0) system.EnumerateDescendants(handle, proc, kModePanes);
            break;
        default:
            // The thread-window mode (1) would list nothing: no class is
            // looked for in List1(1). It is not performed.
            break;
    }
}

std::int32_t ListWindowsProc(WindowSystem& system, WindowList& list, WindowHandle h,
                             std::int32_t n) {
    // A failure while listing this one window (memory running out while its
    // entry is built or appended) leaves it out; the enumeration goes on over
    // the others. No other entry is touched: a value is set only on the entry
    // just appended.
    try {
        ListWindow(system, list, h, n);
    } catch (const std::exception&) {
    }
    return 1;
}

}  // namespace kestrum
