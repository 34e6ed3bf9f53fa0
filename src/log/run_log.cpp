#include "log/run_log.h"

#include <ctime>

namespace kestrum {

std::string RunLog::LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32] = "";
    if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0) return "?";
    return text;
}

RunLog::RunLog(LogFile* file, std::uint64_t limit, TimeText timeText)
    : file_(file), limit_(limit), timeText_(std::move(timeText)) {}

void RunLog::Write(std::string_view message) {
    if (file_ == nullptr) return;
    std::string line = timeText_() + "  ";
    for (const char c : message) line.push_back(c == '\n' || c == '\r' ? ' ' : c);
    line.push_back('\n');
    const std::uint64_t size = file_->Size();
    if (size > 0 && size + line.size() > limit_) file_->SetAside();
    file_->Append(line);
}

}  // namespace kestrum
