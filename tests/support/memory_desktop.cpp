#include "support/memory_desktop.h"

#include "winsys/pixels.h"

#include <algorithm>
#include <new>
#include <numeric>
#include <stdexcept>
#include <utility>

namespace kestrum {
namespace {

// The text cut to at most `length` bytes at a character boundary, as a read
// into that much room converted from the system code page would be: never
// half of a UTF-8 sequence.
std::string Cut(const std::string& text, std::size_t length) {
    std::size_t count = std::min(text.size(), length);
    if (count < text.size()) {
        while (count > 0 && (static_cast<unsigned char>(text[count]) & 0xC0) == 0x80) --count;
    }
    return text.substr(0, count);
}

}  // namespace

WindowHandle MemoryDesktop::AddTopLevel(NewWindow spec) {
    const WindowHandle handle = Insert(0, std::move(spec));
    topLevel_.push_back(handle);
    events_.emplace_back(WindowEvent::Created, handle);
    return handle;
}

WindowHandle MemoryDesktop::AddChild(WindowHandle parent, NewWindow spec) {
    Node* parentNode = Find(parent);
    if (parentNode == nullptr) throw std::invalid_argument("parent names no window");
    const WindowHandle handle = Insert(parent, std::move(spec));
    Find(parent)->children.push_back(handle);
    events_.emplace_back(WindowEvent::Created, handle);
    return handle;
}

void MemoryDesktop::Show(WindowHandle window) {
    Node* node = Find(window);
    if (node == nullptr || node->spec.visible) return;
    node->spec.visible = true;
    if (reportsShowing) events_.emplace_back(WindowEvent::Shown, window);
}

void MemoryDesktop::Hide(WindowHandle window) {
    if (Node* node = Find(window)) node->spec.visible = false;
}

void MemoryDesktop::Minimize(WindowHandle window) {
    if (Node* node = Find(window)) node->spec.minimized = true;
}

void MemoryDesktop::Restore(WindowHandle window) {
    Node* node = Find(window);
    if (node == nullptr || !node->spec.minimized) return;
    node->spec.minimized = false;
    if (reportsShowing) events_.emplace_back(WindowEvent::Restored, window);
}

bool MemoryDesktop::Start(Handler handler) {
    eventHandler_ = std::move(handler);
    events_.clear();  // only what comes from now on
    return true;
}

void MemoryDesktop::Stop() { eventHandler_ = nullptr; }

void MemoryDesktop::ReportPlacesIn(WindowHandle window) {
    const Node* client = ClientOf(window);
    placesReported_ = client != nullptr ? client->spec.handle : 0;
}

void MemoryDesktop::StartCapture(WindowHandle window) { events_.emplace_back(WindowEvent::CaptureStarted, window); }

void MemoryDesktop::EndCapture(WindowHandle window) { events_.emplace_back(WindowEvent::CaptureEnded, window); }

void MemoryDesktop::DeliverEvents() {
    // One at a time: the handler may make windows, whose events come after.
    for (std::size_t next = 0; next < events_.size() && eventHandler_; ++next) {
        const auto [event, window] = events_[next];
        ++delivered_;
        eventHandler_(event, window);
    }
    events_.clear();
}

WindowHandle MemoryDesktop::Insert(WindowHandle parent, NewWindow spec) {
    WindowHandle handle = spec.handle;
    if (handle == 0) {
        while (nodes_.contains(nextHandle_) || nextHandle_ == 0) nextHandle_ += 4;
        handle = nextHandle_;
        nextHandle_ += 4;
    } else if (nodes_.contains(handle)) {
        throw std::invalid_argument("handle already names a window");
    }
    spec.handle = handle;
    Node node;
    node.spec = std::move(spec);
    node.parent = parent;
    nodes_.emplace(handle, std::move(node));
    return handle;
}

void MemoryDesktop::Destroy(WindowHandle window) {
    Node* node = Find(window);
    if (node == nullptr) return;
    auto& siblings = node->parent == 0 ? topLevel_ : Find(node->parent)->children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    // Iterative, so that a deep chain of windows cannot exhaust the stack.
    std::vector<WindowHandle> doomed{window};
    while (!doomed.empty()) {
        const WindowHandle h = doomed.back();
        doomed.pop_back();
        auto it = nodes_.find(h);
        if (it == nodes_.end()) continue;
        doomed.insert(doomed.end(), it->second.children.begin(), it->second.children.end());
        nodes_.erase(it);
    }
}

void MemoryDesktop::DestroyOnCall(Operation operation, WindowHandle onWindow,
                                  WindowHandle victim) {
    OnCall(operation, onWindow, [this, victim] { Destroy(victim); });
}

void MemoryDesktop::OnCall(Operation operation, WindowHandle onWindow, std::function<void()> action) {
    pendingActions_.push_back({operation, onWindow, std::move(action)});
}

void MemoryDesktop::OverrideTextLength(WindowHandle window, std::int32_t length) {
    if (Node* node = Find(window)) node->textLengthOverride = length;
}

void MemoryDesktop::FailTextRead(WindowHandle window) {
    if (Node* node = Find(window)) node->textReadFails = true;
}

void MemoryDesktop::FailRectRead(WindowHandle window) {
    if (Node* node = Find(window)) node->rectReadFails = true;
}

void MemoryDesktop::RefuseMoves(WindowHandle window) {
    if (Node* node = Find(window)) node->refusesMoves = true;
}

void MemoryDesktop::DropMoves(WindowHandle window) {
    if (Node* node = Find(window)) node->dropsMoves = true;
}

void MemoryDesktop::GiveHigherRights(WindowHandle window) {
    if (Node* client = ClientOf(window)) client->higherRights = true;
}

void MemoryDesktop::RunUnderAnotherAccount(WindowHandle window) {
    if (Node* client = ClientOf(window)) client->otherAccount = true;
}

MemoryDesktop::Node* MemoryDesktop::ClientOf(WindowHandle window) {
    Node* node = Find(window);
    while (node != nullptr && node->parent != 0) node = Find(node->parent);
    return node;
}

void MemoryDesktop::Hang(WindowHandle window) {
    if (Node* client = ClientOf(window)) client->hung = true;
}

void MemoryDesktop::Wake(WindowHandle window) {
    Node* client = ClientOf(window);
    if (client == nullptr) return;
    client->hung = false;
    const WindowHandle root = client->spec.handle;
    for (std::size_t i = 0; i < waitingProbes_.size(); ++i) {
        if (waitingProbeClients_[i] != root) continue;
        if (const auto answered = waitingProbes_[i].lock()) *answered = true;
    }
    for (const EnableCall& call : std::exchange(waitingEnables_, {})) {
        Node* node = Find(call.window);
        if (node != nullptr && ClientOf(call.window) == client) {
            node->spec.enabled = call.enable;
        } else if (node != nullptr) {
            waitingEnables_.push_back(call);
        }
    }
    // The moves asked meanwhile, of this client's windows still there.
    std::vector<MoveCall> others;
    for (const MoveCall& move : std::exchange(waitingMoves_, {})) {
        if (ClientOf(move.window) == client) {
            Place(*Find(move.window), move);
        } else if (Find(move.window) != nullptr) {
            others.push_back(move);
        }
    }
    waitingMoves_ = std::move(others);
}

bool MemoryDesktop::Exists(WindowHandle window) const { return Find(window) != nullptr; }

Rect MemoryDesktop::RectInParent(WindowHandle window) const {
    const Node* node = Find(window);
    return node != nullptr ? node->spec.rect : Rect{};
}

Rect MemoryDesktop::ScreenRect(WindowHandle window) const {
    if (Find(window) == nullptr) return {};
    const ScreenPlace place = PlaceOnScreen(window);
    return {ClampToInt32(place.left), ClampToInt32(place.top), ClampToInt32(place.right), ClampToInt32(place.bottom)};
}

MemoryDesktop::ScreenPlace MemoryDesktop::PlaceOnScreen(WindowHandle window) const {
    // The chain from the window up to its top-level window, then back down
    // without recursion: each window's place follows from its parent's
    // client area, and a mirrored parent counts x from that area's right.
    std::vector<const Node*> chain;
    for (const Node* node = Find(window); node != nullptr;
         node = node->parent == 0 ? nullptr : Find(node->parent)) {
        chain.push_back(node);
    }
    ScreenPlace place{};
    const Node* parent = nullptr;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const Rect& r = (*it)->spec.rect;
        if (parent == nullptr) {
            place.left = r.left;
            place.right = r.right;
            place.top = r.top;
            place.bottom = r.bottom;
        } else if (parent->spec.mirrored) {
            const std::int64_t edge = place.clientRight;
            place.left = edge - r.right;
            place.right = edge - r.left;
            place.top = place.clientTop + r.top;
            place.bottom = place.clientTop + r.bottom;
        } else {
            const std::int64_t edge = place.clientLeft;
            place.left = edge + r.left;
            place.right = edge + r.right;
            place.top = place.clientTop + r.top;
            place.bottom = place.clientTop + r.bottom;
        }
        const Point& frame = (*it)->spec.clientOffset;
        place.clientLeft = place.left + frame.x;
        place.clientTop = place.top + frame.y;
        place.clientRight = place.right - frame.x;
        parent = *it;
    }
    return place;
}

bool MemoryDesktop::Enabled(WindowHandle window) const {
    const Node* node = Find(window);
    return node != nullptr && node->spec.enabled;
}

std::uint64_t MemoryDesktop::Calls(Operation operation) const {
    return calls_[static_cast<std::size_t>(operation)];
}

std::uint64_t MemoryDesktop::TotalCalls() const {
    return std::accumulate(calls_.begin(), calls_.end(), std::uint64_t{0});
}

void MemoryDesktop::ResetCalls() { calls_.fill(0); }

void MemoryDesktop::Enter(Operation operation, WindowHandle window) {
    ++calls_[static_cast<std::size_t>(operation)];
    for (std::size_t i = 0; i < pendingActions_.size();) {
        if (pendingActions_[i].operation == operation && pendingActions_[i].onWindow == window) {
            const std::function<void()> action = std::move(pendingActions_[i].action);
            pendingActions_.erase(pendingActions_.begin() + static_cast<std::ptrdiff_t>(i));
            action();
        } else {
            ++i;
        }
    }
}

const MemoryDesktop::Node* MemoryDesktop::Find(WindowHandle window) const {
    auto it = nodes_.find(window);
    return it == nodes_.end() ? nullptr : &it->second;
}

MemoryDesktop::Node* MemoryDesktop::Find(WindowHandle window) {
    auto it = nodes_.find(window);
    return it == nodes_.end() ? nullptr : &it->second;
}

bool MemoryDesktop::EnumerateTopLevelWindows(const WindowVisitor& visit) {
    Enter(Operation::EnumerateTopLevelWindows, 0);
    const std::vector<WindowHandle> snapshot = topLevel_;
    for (const WindowHandle h : snapshot) {
        if (!Exists(h)) continue;
        if (!visit(h)) return false;
    }
    return true;
}

bool MemoryDesktop::EnumerateDescendants(WindowHandle parent, const WindowVisitor& visit) {
    Enter(Operation::EnumerateDescendants, parent);
    // No such parent: nothing to report, and nothing stopped the enumeration.
    const Node* root = Find(parent);
    if (root == nullptr) return true;
    // An explicit stack of sibling snapshots: depth-first, each window before
    // its children, and no recursion however deep the tree.
    struct Level {
        std::vector<WindowHandle> windows;
        std::size_t next = 0;
    };
    std::vector<Level> stack;
    stack.push_back({root->children, 0});
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.windows.size()) {
            stack.pop_back();
            continue;
        }
        const WindowHandle h = level.windows[level.next++];
        const Node* node = Find(h);
        if (node == nullptr) continue;
        std::vector<WindowHandle> children = node->children;  // listed before the call
        if (!visit(h)) return false;
        if (!children.empty()) stack.push_back({std::move(children), 0});
    }
    return true;
}

std::string MemoryDesktop::ClassName(WindowHandle window) {
    Enter(Operation::ClassName, window);
    const Node* node = Find(window);
    return node == nullptr ? std::string() : Cut(node->spec.className, kLongestClassName);
}

std::string MemoryDesktop::WindowText(WindowHandle window) {
    Enter(Operation::WindowText, window);
    const Node* node = Find(window);
    if (node == nullptr) return {};
    if (node->textReadFails) throw std::bad_alloc();
    const std::string& text = node->spec.text;
    const std::size_t room =
        TextRoom(node->textLengthOverride.value_or(static_cast<std::int32_t>(text.size())));
    return Cut(text, room - 1);
}

bool MemoryDesktop::ReadWindowRect(WindowHandle window, Rect& rect) {
    Enter(Operation::ReadWindowRect, window);
    const Node* node = Find(window);
    if (node == nullptr || node->rectReadFails) return false;
    rect = ScreenRect(window);
    return true;
}

WindowHandle MemoryDesktop::ParentOf(WindowHandle window) {
    Enter(Operation::ParentOf, window);
    const Node* node = Find(window);
    return node == nullptr ? 0 : node->parent;
}

bool MemoryDesktop::MapRectToClient(WindowHandle window, Rect& rect) {
    Enter(Operation::MapRectToClient, window);
    const Node* node = Find(window);
    if (node == nullptr) return false;
    const ScreenPlace place = PlaceOnScreen(window);
    const std::int64_t top = std::int64_t{rect.top} - place.clientTop;
    const std::int64_t bottom = std::int64_t{rect.bottom} - place.clientTop;
    if (node->spec.mirrored) {
        // Each corner's x runs the other way; as user32 does for a rectangle,
        // left and right are swapped back into logical order.
        rect = {ClampToInt32(place.clientRight - rect.right), ClampToInt32(top),
                ClampToInt32(place.clientRight - rect.left), ClampToInt32(bottom)};
    } else {
        rect = {ClampToInt32(std::int64_t{rect.left} - place.clientLeft), ClampToInt32(top),
                ClampToInt32(std::int64_t{rect.right} - place.clientLeft), ClampToInt32(bottom)};
    }
    return true;
}

MoveResult MemoryDesktop::MoveWindow(WindowHandle window, std::int32_t x, std::int32_t y,
                                     std::int32_t width, std::int32_t height) {
    Enter(Operation::MoveWindow, window);
    const MoveCall move{window, x, y, width, height};
    moves_.push_back(move);
    Node* node = Find(window);
    if (node == nullptr) return MoveResult::Failed;
    if (node->refusesMoves) return MoveResult::Refused;
    if (ClientOf(window)->higherRights) return MoveResult::Posted;
    if (ClientOf(window)->hung) {
        waitingMoves_.push_back(move);
    } else {
        Place(*node, move);
    }
    return MoveResult::Posted;
}

void MemoryDesktop::Place(Node& node, const MoveCall& move) {
    if (node.dropsMoves) return;
    const Node* client = ClientOf(move.window);
    if (client != nullptr && client->spec.handle == placesReported_) events_.emplace_back(WindowEvent::Placed, move.window);
    // The window manager takes a negative size as 0.
    const std::int64_t right = std::int64_t{move.x} + std::max(move.width, 0);
    const std::int64_t bottom = std::int64_t{move.y} + std::max(move.height, 0);
    node.spec.rect = {move.x, move.y, static_cast<std::int32_t>(std::min<std::int64_t>(right, INT32_MAX)),
                      static_cast<std::int32_t>(std::min<std::int64_t>(bottom, INT32_MAX))};
}

// A question to a client: answered at once by one that answers, when it
// wakes by one that hangs.
struct MemoryDesktop::Probe final : AnswerProbe {
    Probe(MemoryDesktop& desktop, WindowHandle window) : desktop(desktop), window(window) {}
    Reply Heard() override {
        if (!desktop.Exists(window)) return Reply::NoWindow;
        return *answered ? Reply::Answered : Reply::NoAnswer;
    }
    MemoryDesktop& desktop;
    WindowHandle window;
    std::shared_ptr<bool> answered = std::make_shared<bool>(false);
};

std::unique_ptr<AnswerProbe> MemoryDesktop::ProbeAnswering(WindowHandle window) {
    Enter(Operation::ProbeAnswering, window);
    auto probe = std::make_unique<Probe>(*this, window);
    Node* client = ClientOf(window);
    if (client != nullptr && !client->hung) {
        *probe->answered = true;
    } else if (client != nullptr) {
        // Forgotten questions are dropped from the list as it is walked.
        std::erase_if(waitingProbes_, [](const std::weak_ptr<bool>& p) { return p.expired(); });
        waitingProbeClients_.resize(waitingProbes_.size());
        waitingProbes_.push_back(probe->answered);
        waitingProbeClients_.push_back(client->spec.handle);
    }
    return probe;
}

Rights MemoryDesktop::RightsOf(WindowHandle window) {
    Enter(Operation::RightsOf, window);
    const Node* client = ClientOf(window);
    if (client == nullptr) return Rights::Same;
    return client->higherRights ? Rights::Elevated : client->otherAccount ? Rights::OtherAccount : Rights::Same;
}

WindowHandle MemoryDesktop::RootOf(WindowHandle window) {
    Enter(Operation::RootOf, window);
    const Node* client = ClientOf(window);
    return client == nullptr ? 0 : client->spec.handle;
}

bool MemoryDesktop::IsWindow(WindowHandle window) {
    Enter(Operation::IsWindow, window);
    return Exists(window);
}

std::uint32_t MemoryDesktop::ThreadOf(WindowHandle window) {
    Enter(Operation::ThreadOf, window);
    for (const Node* node = Find(window); node != nullptr; node = Find(node->parent)) {
        if (node->spec.thread != 0) return node->spec.thread;
        if (node->parent == 0) return static_cast<std::uint32_t>(node->spec.handle);
    }
    return 0;
}

bool MemoryDesktop::IsVisible(WindowHandle window) {
    Enter(Operation::IsVisible, window);
    const Node* node = Find(window);
    if (node == nullptr) return false;
    for (; node != nullptr; node = node->parent == 0 ? nullptr : Find(node->parent)) {
        if (!node->spec.visible) return false;
    }
    return true;
}

bool MemoryDesktop::IsMinimized(WindowHandle window) {
    Enter(Operation::IsMinimized, window);
    const Node* node = Find(window);
    return node != nullptr && node->spec.minimized;
}

bool MemoryDesktop::IsWindowEnabled(WindowHandle window) {
    Enter(Operation::IsWindowEnabled, window);
    const Node* node = Find(window);
    return node != nullptr && node->spec.enabled;
}

void MemoryDesktop::RequestEnable(WindowHandle window, bool enable) {
    Enter(Operation::RequestEnable, window);
    enableCalls_.push_back({window, enable});
    Node* node = Find(window);
    if (node == nullptr) return;
    if (ClientOf(window)->hung) {
        waitingEnables_.push_back({window, enable});
    } else {
        node->spec.enabled = enable;
    }
}

}  // namespace kestrum
