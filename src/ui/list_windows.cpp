#include "ui/list_windows.h"

#include <exception>

#include "discovery/window_discovery.h"

namespace kestrum {

void ListWindows(WindowSystem& system, WindowList& list, std::int32_t mode, WindowHandle handle) {
    if (mode != kModeMainWindows && mode != kModePanes) return;
    const WindowKind kind = mode == kModeMainWindows ? WindowKind::Client : WindowKind::Pane;
    FindWindows(system, kind, handle, [&system, &list](WindowHandle h, const std::string& className) {
        ListWindowsProc(system, list, h, className);
    });
}

void ListWindowsProc(WindowSystem& system, WindowList& list, WindowHandle h, const std::string& className) {
    try {
        std::string entry = std::to_string(h);
        entry.append(" # ").append(className).append(" # ").append(system.WindowText(h));
        const ListIndex index = list.AddItem(entry);
        if (index != kNoEntry) list.SetItemData(index, h);
    } catch (const std::exception&) {
        // Left out: the enumeration goes on over every other window.
    }
}

}  // namespace kestrum
