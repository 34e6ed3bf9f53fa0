#include "log/log_writer.h"

#include <algorithm>
#include <ctime>

namespace kestrum {
namespace {

// Cut to at most `room` bytes at a character boundary.
std::string_view CutToFit(std::string_view text, std::size_t room) {
    if (text.size() <= room) return text;
    while (room > 0 && (static_cast<unsigned char>(text[room]) & 0xC0) == 0x80) --room;
    return text.substr(0, room);
}

}  // namespace

std::string LogWriter::LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32] = "";
    if (local == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local) == 0) return "?";
    return text;
}

LogWriter::LogWriter(LogFile* file, std::uint64_t limit, TimeText timeText)
    : file_(file), limit_(limit), timeText_(std::move(timeText)) {}

std::string LogWriter::Line(std::string_view message) const {
    constexpr std::string_view kCut = "\xE2\x80\xA6";  // …
    std::string line = timeText_() + "  ";
    // Room for the message, the line's end left out.
    const std::size_t room = kLongestLogLine - 1 - std::min(line.size(), kLongestLogLine - 1);
    const bool fits = message.size() <= room;
    const std::string_view kept = fits ? message : CutToFit(message, room - std::min(room, kCut.size()));
    for (const char c : kept) line.push_back(c == '\n' || c == '\r' ? ' ' : c);
    if (!fits) line.append(kCut);
    line.push_back('\n');
    return line;
}

std::string LogWriter::LossLine() const {
    std::string loss;
    if (bytesLost_ > 0) {
        loss = "the log was begun again, as it could not be set aside (renamed to its name with .1 added): " +
               std::to_string(bytesLost_) + " bytes of earlier lines are gone";
    }
    if (linesLost_ > 0) {
        loss += (loss.empty() ? "" : "; ") + std::to_string(linesLost_) + (linesLost_ == 1 ? " line was" : " lines were") +
                " lost: " + std::string(lostBecause_);
    }
    return loss.empty() ? loss : Line(loss);
}

void LogWriter::Write(std::string_view message) {
    if (file_ == nullptr) return;
    const std::string line = Line(message);
    const auto lose = [this](std::string_view why) {
        ++linesLost_;
        lostBecause_ = why;
    };
    const std::uint64_t size = file_->Size();
    std::string text = LossLine() + line;
    if (size > 0 && size + text.size() > limit_ && !file_->SetAside()) {
        // Kept within its limit all the same: begun again, or the line lost.
        if (!file_->BeginAgain()) return lose("the log is full and could be neither set aside nor begun again");
        bytesLost_ += size;
        text = LossLine() + line;
    }
    if (!file_->Append(text)) return lose("the log could not be written");
    linesLost_ = 0;
    bytesLost_ = 0;
}

}  // namespace kestrum
