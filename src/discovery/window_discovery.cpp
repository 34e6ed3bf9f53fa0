#include "discovery/window_discovery.h"

#include <algorithm>

namespace kestrum {
namespace {

// Windows compares class names without regard to the case of ASCII letters:
// "C/Side Application" names the same class as "C/SIDE Application".
bool SameClass(std::string_view a, std::string_view b) {
    const auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return fold(x) == fold(y); });
}

std::string_view ClassOf(WindowKind kind) { return kind == WindowKind::Client ? kClientClass : kPaneClass; }

std::vector<WindowHandle> Found(WindowSystem& system, WindowKind kind, WindowHandle within) {
    std::vector<WindowHandle> found;
    FindWindows(system, kind, within, [&found](WindowHandle window, const std::string&) { found.push_back(window); });
    return found;
}

}  // namespace

std::optional<WindowKind> KindOf(WindowSystem& system, WindowHandle window) {
    const std::string className = system.ClassName(window);
    for (const WindowKind kind : {WindowKind::Client, WindowKind::Pane}) {
        if (SameClass(className, ClassOf(kind))) return kind;
    }
    return std::nullopt;
}

void FindWindows(WindowSystem& system, WindowKind kind, WindowHandle within, const FoundWindow& found) {
    const WindowVisitor visit = [&](WindowHandle window) {
        // The class first: for the many windows that do not match, it is the
        // only call made.
        const std::string className = system.ClassName(window);
        if (SameClass(className, ClassOf(kind))) found(window, className);
        return true;
    };
    if (kind == WindowKind::Client) {
        system.EnumerateTopLevelWindows(visit);
    } else if (within != 0) {
        system.EnumerateDescendants(within, visit);
    }
}

std::vector<WindowHandle> FindClients(WindowSystem& system) { return Found(system, WindowKind::Client, 0); }

std::vector<WindowHandle> FindPanes(WindowSystem& system, WindowHandle client) {
    return Found(system, WindowKind::Pane, client);
}

}  // namespace kestrum
