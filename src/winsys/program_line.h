// Another program to start, for the user: the client a launcher starts
// (/run=), its path and its arguments.
#pragma once

#include <string>

namespace kestrum {

struct ProgramLine {
    std::string program;    // its path, without quotes; empty: none
    std::string arguments;  // as the program reads them, Windows's quoting kept
    friend bool operator==(const ProgramLine&, const ProgramLine&) = default;
};

}  // namespace kestrum
