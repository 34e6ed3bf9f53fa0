// The width field: selected whole on focus, validated when focus leaves it.
#include <optional>
#include <string>

#include "startup/leading_number.h"
#include "ui/form1.h"

namespace kestrum {

void Form1::Text1_GotFocus() { surface_.SelectAllText1(); }

void Form1::Text1_Validate(bool& /*cancel: focus always moves on*/) {
    // An overflow counts as out of range, like any value outside 1..499.
    const std::optional<std::int16_t> value = ReadLeadingNumber(surface_.Text1());
    if (value && *value > 0 && *value < 500) NewSize = *value;
    surface_.SetText1(WidthText(NewSize));
}

}  // namespace kestrum
