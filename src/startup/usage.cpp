#include "startup/usage.h"

#include "startup/start_options.h"
#include "startup/start_outcome.h"

namespace kestrum {

std::string Usage(std::int16_t width, Source widthFrom) {
    std::string usage = "kestrum.exe";
    for (const OptionSpec& spec : Options()) usage.append(" [").append(spec.usageName).append("]");
    usage += "\n\n";
    for (const OptionSpec& spec : Options()) {
        usage.append(spec.usageName).append("\t").append(spec.explanation).append("\n");
    }
    usage += "\nExit status:";
    for (const ExitStatusMeaning& status : kExitStatuses) {
        usage.append("\n").append(std::to_string(status.status)).append("\t").append(status.meaning);
    }
    usage.append("\n\nThe width in force: ").append(std::to_string(width)).append(", from ");
    return usage.append(SourceWords(widthFrom)).append(".");
}

}  // namespace kestrum
