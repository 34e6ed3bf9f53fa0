// Fuzzes the reading of the command line and of the width field, holding the
// program's reader against the plain reference reader beside it: any input on
// which the two disagree, or that crashes either, is a failure.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "reference_reader.h"
#include "startup/leading_number.h"
#include "startup/start_options.h"

namespace {

std::string Show(std::optional<std::int16_t> value) {
    return value ? std::to_string(*value) : std::string("overflow");
}

[[noreturn]] void Disagree(const char* what, std::string_view input, const std::string& program,
                           const std::string& reference) {
    std::fprintf(stderr, "DISAGREEMENT in %s on \"%.*s\" (%zu bytes): program %s, reference %s\n",
                 what, static_cast<int>(input.size() > 200 ? 200 : input.size()), input.data(),
                 input.size(), program.c_str(), reference.c_str());
    std::abort();
}

void CheckNumber(std::string_view text) {
    const std::optional<std::int16_t> program = kestrum::ReadLeadingNumber(text);
    const std::optional<std::int16_t> reference = kestrum::reference::ReadNumber(text);
    if (program != reference) Disagree("ReadLeadingNumber", text, Show(program), Show(reference));
    // What the width field shows must read back as the same width.
    if (program) {
        const std::string written = kestrum::WidthText(*program);
        if (kestrum::ReadLeadingNumber(written) != program) {
            Disagree("WidthText read back", written, Show(kestrum::ReadLeadingNumber(written)),
                     Show(program));
        }
    }
}

std::string Describe(bool autoMode, std::int16_t newSize, bool overflow, const std::string& value) {
    return std::string(autoMode ? "auto " : "") + std::to_string(newSize) +
           (overflow ? " overflow[" + value + "]" : "");
}

void CheckOptions(std::string_view arguments) {
    const kestrum::ParsedStartOptions program = kestrum::ParseStartOptions(arguments);
    const kestrum::reference::Options reference = kestrum::reference::ParseOptions(arguments);
    // The width is read before the wait: a width beyond 16 bits is the value
    // rejected first. (The reference reads no wait.)
    const bool widthOverflow = program.rejected && program.rejectedValue.key == "/newsize=";
    const std::string widthValueText = widthOverflow ? program.rejectedValue.valueText : "";
    if (program.options.AutoMode != reference.autoMode ||
        program.options.NewSize != reference.newSize || widthOverflow != reference.widthOverflow ||
        widthValueText != reference.widthValueText) {
        Disagree("ParseStartOptions", arguments,
                 Describe(program.options.AutoMode, program.options.NewSize, widthOverflow,
                          widthValueText),
                 Describe(reference.autoMode, reference.newSize, reference.widthOverflow,
                          reference.widthValueText));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The input as a width field's text and as a whole command line; and as
    // the value of "/newsize=", which a random command line rarely carries.
    CheckNumber(input);
    CheckOptions(input);
    CheckOptions("/x /newsize=" + std::string(input));
    return 0;
}
