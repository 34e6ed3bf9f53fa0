// The stand-in client (standin_client.cpp), started with a layout of windows
// and panes and talked to through its standard input and output.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "desktop.h"
#include "e2e_common.h"
#include "programs.h"

namespace e2e {

// The client's command-line options: its windows and their panes.
using Layout = std::vector<std::wstring>;

class StandinClient {
public:
    std::vector<HWND> windows;  // its main windows, in the order it made them
    std::vector<HWND> panes;    // every pane, in the order it made them

    StandinClient() = default;
    StandinClient(const StandinClient&) = delete;
    StandinClient& operator=(const StandinClient&) = delete;
    ~StandinClient() {
        if (process_.Running()) Quit();
    }

    // Starts the client with `layout` and reads its windows until it is ready.
    ::testing::AssertionResult Start(const Layout& layout) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE ends[4] = {};
        const bool made = CreatePipe(&ends[0], &ends[1], &inherit, 0) && CreatePipe(&ends[2], &ends[3], &inherit, 0);
        UniqueHandle childIn(ends[0]), childOut(ends[3]);
        in_ = UniqueHandle(ends[1]);
        out_ = UniqueHandle(ends[2]);
        if (!made) return ::testing::AssertionFailure() << "the pipes to the stand-in client could not be made";
        SetHandleInformation(in_.Get(), HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(out_.Get(), HANDLE_FLAG_INHERIT, 0);
        std::wstring line = Quoted(ProgramPaths().client);
        for (const std::wstring& option : layout) line += L" " + Quoted(option);
        if (!process_.Start(line, false, childIn.Get(), childOut.Get()))
            return ::testing::AssertionFailure() << "the stand-in client did not start";
        std::string last;
        while (const std::optional<std::string> text = ReadLine(15000)) {
            long long h = 0;
            last = *text;
            if (std::sscanf(text->c_str(), "window %lld", &h) == 1) {
                windows.push_back(HandleFromValue(h));
            } else if (std::sscanf(text->c_str(), "pane %lld", &h) == 1) {
                panes.push_back(HandleFromValue(h));
            } else if (*text == "ready") {
                return ::testing::AssertionSuccess();
            }
        }
        return ::testing::AssertionFailure() << "the stand-in client did not report ready: " << last;
    }

    // Sends one command line (see standin_client.cpp for what it knows).
    bool Command(const std::string& command) {
        const std::string line = command + "\n";
        DWORD written = 0;
        return WriteFile(in_.Get(), line.data(), static_cast<DWORD>(line.size()), &written,
                         nullptr) != 0;
    }

    // Reads lines until one equals `wanted`; false after timeoutMs.
    bool Expect(const std::string& wanted, DWORD timeoutMs) {
        while (const std::optional<std::string> line = ReadLine(timeoutMs)) {
            if (*line == wanted) return true;
        }
        return false;
    }

    // Position changes asked of each pane since the client was ready.
    std::map<HWND, long> Moves() {
        std::map<HWND, long> moves;
        if (!Command("report")) return moves;
        for (std::optional<std::string> line; (line = ReadLine(5000)) && *line != "end";) {
            long long h = 0;
            long n = 0;
            if (std::sscanf(line->c_str(),
                            "pane %lld screen %*d %*d %*d %*d client %*d %*d %*d %*d moves %ld", &h,
                            &n) == 2)
                moves[HandleFromValue(h)] = n;
        }
        return moves;
    }

    // The client's own relayout of `pane`, the user's drag of its first main
    // window's frame, that window minimized or restored (see
    // standin_client.cpp): each true once the client has said it is done,
    // within 30 s; false on "none".
    bool Relayout(HWND pane, int width) {
        return Ask("relayout " + std::to_string(HandleValue(pane)) + " " + std::to_string(width), "relaid out ");
    }
    bool FrameDrag(int width) { return Ask("frame-drag " + std::to_string(width), "frame dragged "); }
    bool Minimize() { return Ask("minimize", "minimized "); }
    bool Restore() { return Ask("restore", "restored "); }

    // Asks the client to end; true once it has, within 10 s.
    bool Quit() {
        Command("quit");
        return process_.WaitExit(10000);
    }

    // The client's next line of output, without its line end; none once
    // timeoutMs has passed or the client's output is closed.
    std::optional<std::string> ReadLine(DWORD timeoutMs) {
        const double deadline = Seconds() + timeoutMs / 1000.0;
        for (;;) {
            const std::size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                buffer_.erase(0, end + 1);
                return line;
            }
            DWORD available = 0;
            if (!PeekNamedPipe(out_.Get(), nullptr, 0, nullptr, &available, nullptr)) return {};
            if (available > 0) {
                std::string chunk(available, '\0');
                DWORD got = 0;
                if (!ReadFile(out_.Get(), chunk.data(), available, &got, nullptr)) return {};
                buffer_.append(chunk, 0, got);
            } else if (Seconds() > deadline) {
                return {};
            } else {
                Sleep(5);
            }
        }
    }

private:
    bool Ask(const std::string& command, const std::string& done) {
        if (!Command(command)) return false;
        while (const std::optional<std::string> line = ReadLine(30000)) {
            if (line->starts_with(done)) return true;
            if (*line == "none") return false;
        }
        return false;
    }

    ChildProcess process_;
    UniqueHandle in_, out_;
    std::string buffer_;
};

}  // namespace e2e
