// Clock over the system's tick count, for the Windows build.
#pragma once

#include "winsys/clock.h"

namespace kestrum::win32 {

class Win32Clock final : public Clock {
public:
    std::chrono::milliseconds Now() override;
    // Sleeps until the time is up or a message arrives for this thread, and
    // hands each message on, so that the program's windows repaint and move
    // meanwhile. A request to end the program is put back for the loop that
    // waits for it, and ends the pause.
    void Pause(std::chrono::milliseconds duration) override;
};

}  // namespace kestrum::win32
