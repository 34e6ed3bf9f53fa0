// What Form1 tells the window that shows it. Form1 owns the state; the window
// (once there is one) shows it, and hands the user's events to Form1.
#pragma once

namespace kestrum {

class FormView {
public:
    virtual ~FormView() = default;

    // List1(0) changed: its entries or its selection.
    virtual void ShowClients() = 0;
    // Text1 was rewritten.
    virtual void ShowText1() = 0;
    // All of Text1 is to be selected, so that typing replaces it.
    virtual void SelectAllText1() = 0;
};

}  // namespace kestrum
