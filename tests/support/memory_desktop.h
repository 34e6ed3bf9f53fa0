// A desktop held in memory: a tree of windows that answers WindowSystem the
// way the real window manager does where Kestrum relies on it.
//
// - Top-level windows are enumerated in z-order (the order they were added,
//   front first); descendants depth-first, each window before its children.
//   Enumerations work on a snapshot, skip windows destroyed before their turn
//   and list a window's children before reporting the window, as user32 does.
// - A child's rectangle is kept relative to its parent's client area, whose
//   origin is the parent's top-left corner plus its client offset (the frame,
//   as wide on the right as on the left); MoveWindow on a child takes those
//   client coordinates. In a mirrored parent x runs from the client area's
//   right edge leftwards, so its children sit mirrored on screen.
// - A window's text is read into as much room as its length asks for
//   (TextRoom), cut at a character boundary, and a class name to its longest;
//   calls on a handle that names no window fail as user32's do (empty, 0,
//   false), and its descendants are none.
// - tests/window_system_contract.cpp holds it and the user32 layer to the
//   same cases.
//
// - A client (a top-level window and its descendants, one thread) can stop
//   answering: moves and changes of state asked of its windows then wait in
//   its queue and are carried out when it answers again, and a question
//   whether it answers is answered only then.
// - It reports windows as they are made, shown and restored, and a mouse
//   capture's start and end when a test says so (WindowEvents), queued as
//   the window manager posts them and delivered by DeliverEvents, as the
//   program's loop would; like Wine it can leave out the showing and the
//   restoring. A client is one program: its windows' moves are reported
//   while ReportPlacesIn names it.
//
// For tests and benchmarks it also injects faults (a window destroyed during
// an enumeration, a text length that lies, a text that cannot be read for
// want of memory, a rectangle that cannot be read, moves refused or
// dropped),
// counts the calls made per operation and keeps the arguments of every move
// and enable asked of it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "winsys/window_events.h"
#include "winsys/window_system.h"

namespace kestrum {

// Where a window's client area starts inside it.
struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct NewWindow {
    std::string className;
    std::string text;
    // Screen pixels for a top-level window; client coordinates of the parent
    // for a child.
    Rect rect;
    // Where the client area starts inside the window (its frame and caption).
    Point clientOffset;
    bool enabled = true;
    // 0 lets the desktop choose a fresh handle.
    WindowHandle handle = 0;
    // Laid out right to left (as a window localised for a right-to-left
    // language): its children's x counts from its client area's right edge.
    // Children do not take it on by themselves.
    bool mirrored = false;
    // Shown; a window is visible when it and every window it lies in are.
    bool visible = true;
    bool minimized = false;
    // The thread that makes it; 0: its parent's (a top-level window's own
    // thread is its handle).
    std::uint32_t thread = 0;
};

enum class Operation : std::size_t {
    EnumerateTopLevelWindows,
    EnumerateDescendants,
    ClassName,
    WindowText,
    ReadWindowRect,
    ParentOf,
    RootOf,
    IsWindow,
    IsVisible,
    IsMinimized,
    MapRectToClient,
    MoveWindow,
    IsWindowEnabled,
    RequestEnable,
    ProbeAnswering,
    RightsOf,
    ThreadOf,
    kCount,  // how many there are
};
inline constexpr std::size_t kOperationCount = static_cast<std::size_t>(Operation::kCount);

// A change asked of the desktop, as it was asked, whether or not the window
// was there to take it.
struct MoveCall {
    WindowHandle window;
    std::int32_t x, y, width, height;
    friend bool operator==(const MoveCall&, const MoveCall&) = default;
};
struct EnableCall {
    WindowHandle window;
    bool enable;
    friend bool operator==(const EnableCall&, const EnableCall&) = default;
};

class MemoryDesktop final : public WindowSystem, public WindowEvents {
public:
    // Building the desktop. Throws std::invalid_argument for a parent that
    // names no window or a handle already in use.
    WindowHandle AddTopLevel(NewWindow spec);
    WindowHandle AddChild(WindowHandle parent, NewWindow spec);
    // Destroys the window and all its descendants.
    void Destroy(WindowHandle window);
    void Show(WindowHandle window);
    void Hide(WindowHandle window);
    void Minimize(WindowHandle window);
    void Restore(WindowHandle window);

    // The events made so far go to the handler given to Start, in order
    // (and those the handler's work makes, after them).
    void DeliverEvents();
    // False plays Wine, which reports no showing and no restore.
    bool reportsShowing = true;
    // The user's doing: the window takes the mouse, and lets it go.
    void StartCapture(WindowHandle window);
    void EndCapture(WindowHandle window);
    // Events that reached the handler since the start.
    std::uint64_t Delivered() const { return delivered_; }

    // Faults. Each applies until the window is destroyed.
    // When `operation` is next called on `onWindow`, `victim` is destroyed
    // first (once). For the enumerations, onWindow is the parent (0 for the
    // top level).
    void DestroyOnCall(Operation operation, WindowHandle onWindow, WindowHandle victim);
    // When `operation` is next called on `onWindow`, `action` runs first (once).
    void OnCall(Operation operation, WindowHandle onWindow, std::function<void()> action);
    // The window reports this length for its text instead of the true one.
    void OverrideTextLength(WindowHandle window, std::int32_t length);
    // Reading the window's text throws std::bad_alloc, as when memory runs
    // out on the way.
    void FailTextRead(WindowHandle window);
    void FailRectRead(WindowHandle window);
    // Moves of the window are refused, as for a client with higher rights.
    void RefuseMoves(WindowHandle window);
    // Moves of the window are taken and dropped, as by a client that sets
    // its pane back itself.
    void DropMoves(WindowHandle window);
    // The client holding `window` runs with higher rights than Kestrum, and
    // says so when asked: moves of its windows are said to be posted and
    // dropped, as User Interface Privilege Isolation does.
    void GiveHigherRights(WindowHandle window);
    // The client holding `window` runs under another account, and says so
    // when asked; its windows are moved as any other's.
    void RunUnderAnotherAccount(WindowHandle window);

    // The client holding `window` stops answering, or answers again; moves
    // waiting for it are carried out then, in order.
    void Hang(WindowHandle window);
    void Wake(WindowHandle window);

    // Inspection for tests: not counted, no faults.
    bool Exists(WindowHandle window) const;
    Rect ScreenRect(WindowHandle window) const;
    Rect RectInParent(WindowHandle window) const;
    bool Enabled(WindowHandle window) const;
    const std::vector<MoveCall>& Moves() const { return moves_; }
    const std::vector<EnableCall>& EnableCalls() const { return enableCalls_; }
    std::uint64_t Calls(Operation operation) const;
    std::uint64_t TotalCalls() const;
    void ResetCalls();

    // WindowSystem: the enumerations, the places, the texts, the changes.
    bool EnumerateTopLevelWindows(const WindowVisitor& visit) override;
    bool EnumerateDescendants(WindowHandle parent, const WindowVisitor& visit) override;
    bool ReadWindowRect(WindowHandle window, Rect& rect) override;
    WindowHandle ParentOf(WindowHandle window) override;
    bool MapRectToClient(WindowHandle window, Rect& rect) override;
    std::string ClassName(WindowHandle window) override;
    std::string WindowText(WindowHandle window) override;
    WindowHandle RootOf(WindowHandle window) override;
    bool IsWindow(WindowHandle window) override;
    std::uint32_t ThreadOf(WindowHandle window) override;
    bool IsVisible(WindowHandle window) override;
    bool IsMinimized(WindowHandle window) override;
    bool IsWindowEnabled(WindowHandle window) override;
    void RequestEnable(WindowHandle window, bool enable) override;
    MoveResult MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y,
                          std::int32_t width, std::int32_t height) override;
    std::unique_ptr<AnswerProbe> ProbeAnswering(WindowHandle window) override;
    Rights RightsOf(WindowHandle window) override;

    // WindowEvents.
    bool Start(Handler handler) override;
    void Stop() override;
    void ReportPlacesIn(WindowHandle window) override;

private:
    struct Node {
        NewWindow spec;
        WindowHandle parent = 0;
        std::vector<WindowHandle> children;
        std::optional<std::int32_t> textLengthOverride;
        bool textReadFails = false;
        bool rectReadFails = false;
        bool refusesMoves = false;
        bool dropsMoves = false;
        bool hung = false;          // on a top-level window: its client's thread
        bool higherRights = false;  // on a top-level window: its client's
        bool otherAccount = false;  // on a top-level window: its client's
    };
    struct Probe;
    struct PendingAction {
        Operation operation;
        WindowHandle onWindow;
        std::function<void()> action;
    };

    WindowHandle Insert(WindowHandle parent, NewWindow spec);
    // The top-level window whose client holds `window`.
    Node* ClientOf(WindowHandle window);
    void Place(Node& node, const MoveCall& move);
    // Counts the call and fires any destruction waiting for it.
    void Enter(Operation operation, WindowHandle window);
    const Node* Find(WindowHandle window) const;
    Node* Find(WindowHandle window);
    // The window's place on screen and its client area's edges there, in 64
    // bits so that no layout, however far out, overflows on the way.
    struct ScreenPlace {
        std::int64_t left, top, right, bottom;
        std::int64_t clientLeft, clientTop, clientRight;
    };
    ScreenPlace PlaceOnScreen(WindowHandle window) const;

    std::unordered_map<WindowHandle, Node> nodes_;
    std::vector<WindowHandle> topLevel_;
    std::vector<PendingAction> pendingActions_;
    std::vector<MoveCall> moves_;
    std::vector<MoveCall> waitingMoves_;
    std::vector<EnableCall> waitingEnables_;
    std::vector<EnableCall> enableCalls_;
    std::vector<std::weak_ptr<bool>> waitingProbes_;  // answered flags, by client
    std::vector<WindowHandle> waitingProbeClients_;
    Handler eventHandler_;
    std::vector<std::pair<WindowEvent, WindowHandle>> events_;
    WindowHandle placesReported_ = 0;  // the client's top-level window
    std::uint64_t delivered_ = 0;
    std::array<std::uint64_t, kOperationCount> calls_{};
    WindowHandle nextHandle_ = 0x00010010;
};

}  // namespace kestrum
