#include "ui/deferred_form_surface.h"

namespace kestrum {

void DeferredFormSurface::SetVisible(bool visible) {
    if (current_ == &held_) {
        if (!visible) return;
        FormSurface* const window = makeWindow_ ? makeWindow_() : nullptr;
        if (window == nullptr) return;
        held_.MoveInto(*window);
        current_ = window;
    }
    current_->SetVisible(visible);
}

void DeferredFormSurface::Detach() {
    // The held lists were emptied when they moved into the window, and kept
    // their selection handlers.
    current_ = &held_;
}

}  // namespace kestrum
