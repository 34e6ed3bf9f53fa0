// Whether this program's window station is one a user sees.
#pragma once

namespace kestrum::win32 {

// False in a window station that is not visible (a service's, a task's run
// whether or not the user is logged on); true where it cannot be asked.
bool WindowStationVisible();

}  // namespace kestrum::win32
