// What the running watch needs of its program besides windows: the notices
// only a top-level window of its own hears (the end of the session, Windows
// closing the program for an update, another run of this session asking it
// something), each answered at once; being started again after an update;
// Kestrum's window opened beside it; the program it starts for the user and
// that program's end; and the end of its loop. The Windows build has it over
// a hidden top-level window and the thread's message loop, which waits on
// the program started too.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "winsys/program_line.h"
#include "winsys/session_watches.h"

namespace kestrum {

enum class SessionEnd {
    Ended,            // a logoff, or the end of the system
    ClosedByWindows,  // Windows asks the program to close: an update, servicing, or resources short
};

class WatchHost {
public:
    class Listener {
    public:
        virtual void SessionEnding(SessionEnd end) = 0;
        // True once it has done what was asked; false where it cannot any
        // more (it has ended).
        virtual bool Asked(const WatchAsk& ask) = 0;
        // The program started with StartProgram has ended.
        virtual void ProgramEnded() = 0;

    protected:
        ~Listener() = default;
    };

    virtual ~WatchHost() = default;

    // The notices go to `listener` from the program's loop; false when they
    // cannot be heard (no window could be made).
    virtual bool Listen(Listener& listener) = 0;
    // Started again with `arguments` (the command line after the program's
    // path) once an update that closed it is done; not after a crash, a hang
    // or a restart of the system. False when that cannot be asked.
    virtual bool RestartAfterUpdate(std::string_view arguments) = 0;
    // Kestrum's window, a program of its own beside the watch; nothing waits
    // for it. False when it could not be started.
    virtual bool OpenWindow() = 0;
    // Starts `line` in the current folder with this program's environment;
    // the listener hears once it has ended. None when it started, otherwise
    // Windows's reason.
    virtual std::optional<std::string> StartProgram(const ProgramLine& line) = 0;
    // The loop ends once the work at hand is done, whatever runs it (a menu
    // open, say).
    virtual void Quit() = 0;
};

}  // namespace kestrum
