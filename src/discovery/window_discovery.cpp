#include "discovery/window_discovery.h"

#include <algorithm>
#include <exception>
#include <string>

namespace kestrum {
namespace {

std::string_view ClassFor(std::int32_t n) {
    if (n == kModeMainWindows) return kClientClass;
    if (n == kModePanes) return kPaneClass;
    return {};
}

// Windows compares class names without regard to the case of ASCII letters:
// "C/Side Application" names the same class as "C/SIDE Application".
bool SameClass(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

// Lists one window; throws when that fails.
void ListWindow(WindowSystem& system, WindowList& list, WindowHandle h, std::int32_t n) {
    const std::string_view wanted = ClassFor(n);
    if (wanted.empty()) return;

    // The class first: for the many windows that do not match, it is the
    // only call made.
    const std::string className = system.ClassName(h);
    if (!SameClass(className, wanted)) return;
    const std::string title = system.WindowText(h);

    std::string entry = std::to_string(h);
    entry.append(" # ").append(className).append(" # ").append(title);
    const ListIndex index = list.AddItem(entry);
    if (index != kNoEntry) list.SetItemData(index, h);
}

std::vector<WindowHandle> Matching(WindowSystem& system, WindowHandle parent, std::string_view wanted) {
    std::vector<WindowHandle> found;
    const WindowVisitor visit = [&](WindowHandle h) {
        if (SameClass(system.ClassName(h), wanted)) found.push_back(h);
        return true;
    };
    if (parent == 0) {
        system.EnumerateTopLevelWindows(visit);
    } else {
        system.EnumerateDescendants(parent, visit);
    }
    return found;
}

}  // namespace

bool IsClientClass(std::string_view className) { return SameClass(className, kClientClass); }
bool IsPaneClass(std::string_view className) { return SameClass(className, kPaneClass); }
bool IsClient(WindowSystem& system, WindowHandle window) { return IsClientClass(system.ClassName(window)); }
bool IsPane(WindowSystem& system, WindowHandle window) { return IsPaneClass(system.ClassName(window)); }

std::vector<WindowHandle> FindClients(WindowSystem& system) { return Matching(system, 0, kClientClass); }

std::vector<WindowHandle> FindPanes(WindowSystem& system, WindowHandle client) {
    if (client == 0) return {};
    return Matching(system, client, kPaneClass);
}

void ListWindows(WindowSystem& system, WindowList& list, std::int32_t mode, WindowHandle handle) {
    // Each window goes to the callback with the mode as its list index.
    const WindowVisitor visit = [&system, &list, mode](WindowHandle h) {
        return ListWindowsProc(system, list, h, mode) != 0;
    };
    switch (mode) {
        case kModeMainWindows:
            system.EnumerateTopLevelWindows(visit);
            break;
        case kModePanes:
            if (handle != 0) system.EnumerateDescendants(handle, visit);
            break;
        default:
            // Every other mode lists nothing, mode 1 (the windows of the
            // client's thread) included: no class is looked for in List1(1).
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
