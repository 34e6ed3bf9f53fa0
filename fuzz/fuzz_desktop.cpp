// Fuzzes the whole road on the in-memory desktop: a random window tree (exact
// and near-miss class names, long titles, far-out rectangles, windows laid out
// right to left), random faults (lying text lengths, unreadable rectangles,
// windows destroyed in the middle of a call), random command lines, then
// start-up followed by random user events. Whatever happens, these must hold:
//   - every listed entry reads "<its item value> # <the list's class> # ...",
//     the class in any case of its letters;
//   - a reset asks at most two moves (the second of a pane found again when
//     the first was gone), and changes only the first pane listed after it;
//   - a reset with no pane listed moves nothing and says "NavPane was not found";
//   - no other window's place or size ever changes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "discovery/window_discovery.h"
#include "support/fake_timers.h"
#include "support/recording_message_boxes.h"
#include "ui/form1.h"
#include "support/memory_desktop.h"

namespace kestrum {
namespace {

[[noreturn]] void Broken(const char* what, const std::string& detail = "") {
    std::fprintf(stderr, "BROKEN: %s %s\n", what, detail.c_str());
    std::abort();
}

std::string ClassName(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0:
        case 1: return std::string(kClientClass);
        case 2:
        case 3: return std::string(kPaneClass);
        case 4: return "C/SIDE Application ";
        case 5: return "c/side navpane";
        case 6: return std::string(300, 'C');
        default: return in.ConsumeRandomLengthString(20);
    }
}

std::int32_t Coordinate(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange<std::int32_t>(-2000, 2000)
                            : in.ConsumeIntegral<std::int32_t>();
}

Operation AnyOperation(FuzzedDataProvider& in) {
    return static_cast<Operation>(in.ConsumeIntegralInRange<std::size_t>(0, kOperationCount - 1));
}

struct FuzzedRun {
    MemoryDesktop desktop;
    testing::RecordingMessageBoxes messages;
    testing::FakeTimers clock;
    StartPlan plan;
    RunLog log{nullptr};
    Form1 form{desktop, messages, clock, plan, log};
    std::vector<WindowHandle> windows;

    std::map<WindowHandle, Rect> Rects() const {
        std::map<WindowHandle, Rect> rects;
        for (const WindowHandle h : windows) {
            if (desktop.Exists(h)) rects[h] = desktop.RectInParent(h);
        }
        return rects;
    }

    void CheckEntries(int list, std::string_view cls) {
        const WindowList& entries = form.List1(static_cast<ListIndex>(list));
        // The class as the window names it: any case of its ASCII letters.
        const auto upper = [](std::string text) {
            for (char& c : text) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
            return text;
        };
        for (ListIndex i = 0; i < entries.ListCount(); ++i) {
            const std::string prefix =
                std::to_string(entries.ItemData(i)) + " # " + std::string(cls) + " # ";
            const std::string text = entries.ItemText(i);
            if (!upper(text).starts_with(upper(prefix))) Broken("entry", text.substr(0, 80));
        }
    }

    // Runs `step`, which may reset the pane width, and checks what it moved.
    template <typename Step>
    void Reset(Step step) {
        const auto before = Rects();
        const std::uint64_t moves = desktop.Calls(Operation::MoveWindow);
        step();
        // After the step: the pane list it acted on is the one now shown.
        const bool noPane = form.List1(2).ListCount() == 0;
        const WindowHandle pane = noPane ? 0 : form.List1(2).ItemData(0);
        const std::uint64_t moved = desktop.Calls(Operation::MoveWindow) - moves;
        // One move, and one more of the pane found again when the first one
        // was gone by then.
        if (moved > 2) Broken("more than two moves");
        for (const auto& [h, rect] : Rects()) {
            if (h != pane && before.contains(h) && !(before.at(h) == rect)) {
                Broken("a window that is not the pane moved", std::to_string(h));
            }
        }
    }
};

}  // namespace
}  // namespace kestrum

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrum;
    FuzzedDataProvider in(data, size);
    FuzzedRun road;

    const int count = in.ConsumeIntegralInRange(0, 48);
    for (int i = 0; i < count; ++i) {
        NewWindow spec;
        spec.className = ClassName(in);
        spec.text = in.ConsumeBool() ? std::string(in.ConsumeIntegralInRange(0, 70'000), 't')
                                     : in.ConsumeRandomLengthString(40);
        spec.rect = {Coordinate(in), Coordinate(in), Coordinate(in), Coordinate(in)};
        spec.clientOffset = {in.ConsumeIntegralInRange(-30, 30), in.ConsumeIntegralInRange(-30, 30)};
        spec.enabled = in.ConsumeBool();
        spec.mirrored = in.ConsumeBool();
        const bool topLevel = road.windows.empty() || in.ConsumeIntegralInRange(0, 3) == 0;
        const WindowHandle parent =
            topLevel ? 0 : road.windows[in.ConsumeIntegralInRange<std::size_t>(0, road.windows.size() - 1)];
        road.windows.push_back(topLevel ? road.desktop.AddTopLevel(spec)
                                        : road.desktop.AddChild(parent, spec));
    }
    const auto anyWindow = [&]() -> WindowHandle {
        if (road.windows.empty() || in.ConsumeIntegralInRange(0, 9) == 0) return 0;
        return road.windows[in.ConsumeIntegralInRange<std::size_t>(0, road.windows.size() - 1)];
    };
    const int faults = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < faults; ++i) {
        switch (in.ConsumeIntegralInRange(0, 2)) {
            case 0: road.desktop.OverrideTextLength(anyWindow(), in.ConsumeIntegral<std::int32_t>()); break;
            case 1: road.desktop.FailRectRead(anyWindow()); break;
            default: {
                const Operation operation = AnyOperation(in);
                const WindowHandle onWindow = anyWindow();
                road.desktop.DestroyOnCall(operation, onWindow, anyWindow());
            }
        }
    }

    std::string arguments = in.ConsumeRandomLengthString(30);
    if (in.ConsumeBool()) arguments += " /AUTO";
    if (in.ConsumeBool()) arguments += " /newsize=" + std::to_string(in.ConsumeIntegral<std::int16_t>());

    std::optional<StartOutcome> outcome;
    road.form.StartUpEnded = [&](StartOutcome ended) { outcome = ended; };
    road.Reset([&] {
        road.plan = PlanStart(arguments, nullptr, road.messages.answerable);
        road.form.Form_Load();
        road.clock.Advance(std::chrono::hours(2));  // any wait, any confirmation
    });
    if (!outcome) Broken("start-up never ended");
    road.CheckEntries(0, kClientClass);
    road.CheckEntries(2, kPaneClass);
    // The user's events come only to a window that is shown.
    if (outcome != StartOutcome::Shown) return 0;

    // The user's turn: select clients, type widths, press the button,
    // double-click lists.
    const int events = in.ConsumeIntegralInRange(0, 12);
    for (int i = 0; i < events && in.remaining_bytes() > 0; ++i) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0:
                road.form.List1(0).SetSelectedIndex(in.ConsumeIntegralInRange<ListIndex>(-1, 4));
                break;
            case 1: {
                road.form.Text1 = in.ConsumeRandomLengthString(12);
                bool cancel = false;
                const std::int16_t before = road.form.NewSize;
                road.form.Text1_Validate(cancel);
                // The field takes 1..499 and otherwise keeps the width.
                if (road.form.NewSize != before && (road.form.NewSize < 1 || road.form.NewSize > 499)) {
                    Broken("the field took a width outside 1..499");
                }
                break;
            }
            case 2: {
                const bool hadPane = road.form.List1(2).ListCount() > 0;
                const std::size_t messages = road.messages.Texts().size();
                road.Reset([&] {
                    road.form.Command2_Click();
                    road.clock.Advance(std::chrono::seconds(2));
                });
                if (!hadPane && road.messages.Texts().size() != messages + 1) {
                    Broken("no report for an empty pane list");
                }
                break;
            }
            default:
                road.form.List1_DblClick(in.ConsumeIntegralInRange<ListIndex>(-1, 3));
                road.clock.Advance(std::chrono::seconds(2));
                break;
        }
        road.CheckEntries(0, kClientClass);
        road.CheckEntries(2, kPaneClass);
    }
    return 0;
}
