#include "log/run_log.h"

#include <ctime>
#include <fstream>
#include <filesystem>
#include <system_error>

namespace kestrum {
namespace {

// The path as the file system takes it: the text is UTF-8 whatever the
// system's code page.
std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

std::string RunLog::LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32] = "";
    if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0) return "?";
    return text;
}

RunLog::RunLog(std::string path, std::uintmax_t limit, TimeText timeText)
    : path_(std::move(path)), limit_(limit), timeText_(std::move(timeText)) {}

void RunLog::Write(std::string_view message) {
    if (path_.empty()) return;
    std::string line = timeText_() + "  ";
    for (const char c : message) line.push_back(c == '\n' || c == '\r' ? ' ' : c);
    line.push_back('\n');

    // Opened for each line and closed again: between lines the file is free
    // to be read, moved or deleted, also by another run writing to it.
    const std::filesystem::path file = PathOf(path_);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (!error && size > 0 && size + line.size() > limit_) {
        const std::filesystem::path older = PathOf(path_ + ".1");
        std::filesystem::remove(older, error);
        std::filesystem::rename(file, older, error);
    }
    std::ofstream out(file, std::ios::binary | std::ios::app);
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

}  // namespace kestrum
