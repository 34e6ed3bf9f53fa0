// The watch's host held in memory: the notices it hears (the program's end
// among them) played by the test, and what the watch asked of it counted.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "winsys/watch_host.h"

namespace kestrum::testing {

class MemoryWatchHost final : public WatchHost {
public:
    bool Listen(Listener& heard) override { return listener = &heard, true; }
    bool RestartAfterUpdate(std::string_view arguments) override {
        restartArguments = arguments;
        return true;
    }
    bool OpenWindow() override { return ++windowsOpened, opensWindows; }
    std::optional<std::string> StartProgram(const ProgramLine& line) override {
        started.push_back(line);
        return startFailure;
    }
    void Quit() override { ++quits; }

    Listener* listener = nullptr;
    bool opensWindows = true;
    std::string restartArguments;
    int windowsOpened = 0, quits = 0;
    std::vector<ProgramLine> started;
    std::optional<std::string> startFailure;  // Windows's reason; none: it starts
};

}  // namespace kestrum::testing
