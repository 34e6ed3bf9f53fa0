// One contract for every WindowSystem: the behaviours of the window manager
// that Kestrum relies on, written once as a table of cases and run against
// each implementation, the in-memory desktop natively and user32 under Wine.
// A test double earns trust only by passing the same table as the real thing.
//
// Each side supplies a factory that builds a fresh desktop for a case and
// instantiates the suite with it:
//
//   INSTANTIATE_TEST_SUITE_P(InMemory, WindowSystemContract,
//                            ::testing::ValuesIn(contract::ContractRuns(factory)),
//                            contract::ContractName);
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "winsys/window_system.h"

namespace kestrum::contract {

// A window for a case to make. The rectangle is in screen pixels for a
// top-level window and in its parent's client coordinates for a child.
struct Shape {
    std::string className;
    std::string text;  // UTF-8, any script
    Rect rect;
    bool framed = false;    // a caption and a border around the client area
    bool mirrored = false;  // laid out right to left; its children are not
    bool enabled = true;
    bool visible = false;
    bool minimized = false;  // a top-level window's
};

// A desktop built for one case: the implementation under test and the means
// to make and destroy windows on it.
class ContractDesktop {
public:
    virtual ~ContractDesktop() = default;

    virtual WindowSystem& System() = 0;
    // Behind every other top-level window, so that windows made in turn are
    // enumerated in that order.
    virtual WindowHandle AddTopLevel(const Shape& shape) = 0;
    // After its siblings made so far.
    virtual WindowHandle AddChild(WindowHandle parent, const Shape& shape) = 0;
    // The window and all its descendants; also from inside an enumeration.
    virtual void Destroy(WindowHandle window) = 0;
    // Makes the window one whose moves the window manager refuses, as it
    // refuses them to a program with lower rights than the window's. False
    // where no such window can be made (user32, within one process).
    virtual bool RefuseMoves(WindowHandle /*window*/) { return false; }
    // Lets this program's own windows handle what was asked of them without
    // waiting, until `done` holds (two seconds at most). Where asking is
    // doing, nothing waits.
    virtual void HandleMessagesUntil(const std::function<bool()>& done) { static_cast<void>(done); }
};

// A fresh desktop per case, or nullptr when no windows can be made here (no
// display): the case is then skipped.
using DesktopFactory = std::function<std::unique_ptr<ContractDesktop>()>;

struct ContractCase {
    const char* name;
    void (*run)(ContractDesktop& desktop);
};

struct ContractRun {
    const ContractCase* contractCase;
    DesktopFactory factory;
};

inline void PrintTo(const ContractRun& run, std::ostream* os) { *os << run.contractCase->name; }

// Every case of the contract, each paired with the factory.
std::vector<ContractRun> ContractRuns(const DesktopFactory& factory);
std::string ContractName(const ::testing::TestParamInfo<ContractRun>& info);

class WindowSystemContract : public ::testing::TestWithParam<ContractRun> {};

}  // namespace kestrum::contract
