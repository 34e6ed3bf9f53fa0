// The usage, as "/?" shows it: the options and the exit statuses.
#pragma once

#include <string_view>

namespace kestrum {

inline constexpr std::string_view kUsage =
    "kestrum.exe [/AUTO] [/newsize=WIDTH] [/wait=SECONDS] [/quiet]\n"
    "\n"
    "/AUTO\tsets the width and ends, when exactly one client with exactly one pane "
    "is running; otherwise the window is shown.\n"
    "/newsize=WIDTH\tthe pane's width in pixels (300 if not given).\n"
    "/wait=SECONDS\twaits up to 1 to 3600 seconds for a client (with /AUTO: for one "
    "client with one pane) before going on.\n"
    "/quiet\twith /AUTO: no message and no window, ever; the exit status tells how "
    "it went.\n"
    "/?\tshows this.\n"
    "\n"
    "Exit status:\n"
    "0\tdone, or the window was closed\n"
    "1\tno client was found\n"
    "2\tan option's value is out of range\n"
    "3\tinternal failure\n"
    "4\tthe pane was gone\n"
    "5\tnothing was changed and no window could be shown\n"
    "6\tthe width was not seen within a second\n"
    "7\tthe client's windows may not be changed (it runs with higher rights)";

}  // namespace kestrum
