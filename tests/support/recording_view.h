// A view of Form1 that records what the form asked it to show.
#pragma once

#include <string>
#include <vector>

#include "ui/form_view.h"

namespace kestrum::testing {

class RecordingView final : public FormView {
public:
    void ShowClients() override { asked.push_back("clients"); }
    void ShowText1() override { asked.push_back("text"); }
    void SelectAllText1() override { asked.push_back("select all"); }

    std::vector<std::string> asked;
};

}  // namespace kestrum::testing
