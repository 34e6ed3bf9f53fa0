// The width field: selected whole on focus, validated when focus leaves it.
#include <optional>
#include <string>

#include "startup/leading_number.h"
#include "ui/form1.h"

namespace kestrum {
namespace {

// Characters, not bytes: UTF-8 continuation bytes are not counted.
int CharacterCount(const std::string& text) {
    int count = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    }
    return count;
}

}  // namespace

void Form1::Text1_GotFocus() { surface_.SelectText1(0, CharacterCount(surface_.Text1())); }

void Form1::Text1_Validate(bool& /*cancel: focus always moves on*/) {
    // An overflow counts as out of range, like any value outside 1..499.
    const std::optional<std::int16_t> value = ReadLeadingNumber(surface_.Text1());
    if (value && *value > 0 && *value < 500) NewSize = *value;
    surface_.SetText1(WidthText(NewSize));
}

}  // namespace kestrum
