// Another program started for the user (/run=), for the Windows build: in
// the current folder, with this program's environment, its path quoted so
// that Windows reads it as Kestrum did.
#pragma once

#include <string>

#include "winsys/program_line.h"
#include "winsys/win32/win32_handles.h"

namespace kestrum::win32 {

struct StartedProgram {
    UniqueHandle process;  // none where it could not be started
    std::string failure;   // then Windows's reason: "File not found (error 2)"
};

StartedProgram StartProgram(const ProgramLine& line);
// The same for a command line as Windows reads one, the program's path first.
StartedProgram StartCommandLine(std::wstring commandLine);

}  // namespace kestrum::win32
