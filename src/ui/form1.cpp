#include "ui/form1.h"

namespace kestrum {

Form1::Form1(WindowSystem& system, FormSurface& surface)
    : system_(system), surface_(surface), module1_(system, *this) {
    for (ListIndex i = 0; i < 3; ++i) {
        surface_.List1(i).OnSelectionChange([this, i] { List1_Click(i); });
    }
}

}  // namespace kestrum
