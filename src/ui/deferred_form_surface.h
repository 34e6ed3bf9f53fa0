// The form's surface, whose window comes into being only when it is first
// shown.
//
// A run that ends at start-up (no client, /AUTO applied or failed, a width out
// of range) never shows the window, and so never creates one: under Wine the
// first window of a process also loads the display driver, the larger part of
// the start. Until the first SetVisible(true) the form lives in memory; that
// call asks for the window, moves what the form holds into the window's
// controls, and from then on every call goes to them. When the window is gone
// (Detach), the form is held in memory again, empty.
#pragma once

#include <functional>

#include "ui/form_surface.h"
#include "ui/held_form_surface.h"

namespace kestrum {

class DeferredFormSurface final : public FormSurface {
public:
    // Makes the window, hidden, and gives its surface; nullptr when it could
    // not (the form then stays in memory and hidden).
    using MakeWindow = std::function<FormSurface*()>;
    explicit DeferredFormSurface(MakeWindow makeWindow) : makeWindow_(std::move(makeWindow)) {}

    WindowList& List1(int index) override { return current_->List1(index); }
    std::string Text1() const override { return current_->Text1(); }
    void SetText1(std::string_view text) override { current_->SetText1(text); }
    void SelectAllText1() override { current_->SelectAllText1(); }
    void SetVisible(bool visible) override;

    // The window is gone: the form is held in memory again.
    void Detach();

private:
    MakeWindow makeWindow_;
    HeldFormSurface held_;
    FormSurface* current_ = &held_;
};

}  // namespace kestrum
