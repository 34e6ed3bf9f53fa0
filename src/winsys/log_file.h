// The file a log is written to: appended to, and set aside when full. A
// port of its own, since the file system is the system's (and the standard
// library's streams would make the exe several times its size).
#pragma once

#include <cstdint>
#include <string_view>

namespace kestrum {

class LogFile {
public:
    virtual ~LogFile() = default;

    // The file's size in bytes; 0 when there is none.
    virtual std::uint64_t Size() = 0;
    // Adds the bytes at its end (making the file when there is none), at
    // once: nothing waits in a buffer. False when that could not be done.
    virtual bool Append(std::string_view bytes) = 0;
    // Renames the file to its name with ".1" added, replacing any file of
    // that name. False when that could not be done (nothing changed).
    virtual bool SetAside() = 0;
    // Empties the file, to begin it again where it cannot be set aside.
    // False when that could not be done.
    virtual bool BeginAgain() = 0;
};

}  // namespace kestrum
