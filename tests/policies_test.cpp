// An administrator's policies against the command line: the computer's win
// over the user's, both over the command line, and a value out of range is
// passed over (and told) as if it were not there.
#include "startup/policies.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "startup/policy_names.h"
#include "startup/usage.h"
#include "support/desktop_fixture.h"
#include "support/memory_log_file.h"
#include "support/memory_policy_store.h"
#include "support/memory_user_width_store.h"

namespace kestrum {
namespace {

struct PolicyCase {
    const char* name;
    std::optional<std::uint32_t> machine;  // NewSize under HKLM
    std::optional<std::uint32_t> user;     // and under HKCU
    std::int16_t width;
    Source from;
    std::size_t ignored;
};

void PrintTo(const PolicyCase& c, std::ostream* os) { *os << c.name; }

class PolicyTest : public ::testing::TestWithParam<PolicyCase> {};

TEST_P(PolicyTest, DecidesTheWidthInForce) {
    const PolicyCase& c = GetParam();
    testing::MemoryPolicyStore policies;
    if (c.machine) policies.numbers[{PolicyScope::Machine, std::string(kPolicyNewSize)}] = *c.machine;
    if (c.user) policies.numbers[{PolicyScope::User, std::string(kPolicyNewSize)}] = *c.user;
    StartOptions options = ParseStartOptions("/AUTO /newsize=250").options;
    const PoliciesApplied applied = ApplyPolicies(options, policies);
    EXPECT_EQ(options.NewSize, c.width);
    EXPECT_EQ(applied.width, c.from);
    EXPECT_EQ(applied.ignored.size(), c.ignored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PolicyTest,
    ::testing::Values(PolicyCase{"None", {}, {}, 250, Source::Given, 0},
                      PolicyCase{"User", {}, 180, 180, Source::UserPolicy, 0},
                      PolicyCase{"Machine", 320, {}, 320, Source::MachinePolicy, 0},
                      PolicyCase{"BothTheMachinesWins", 320, 180, 320, Source::MachinePolicy, 0},
                      PolicyCase{"MachineOutOfRangeTheUsersServes", 40000, 180, 180, Source::UserPolicy, 1},
                      PolicyCase{"BothOutOfRange", 0, 32768, 250, Source::Given, 2},
                      PolicyCase{"TheWidestAndTheNarrowest", 32767, 1, 32767, Source::MachinePolicy, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PolicyTest, TheSettlingTimeAndTheLogFileToo) {
    testing::MemoryPolicyStore policies;
    policies.numbers[{PolicyScope::User, std::string(kPolicySettleTime)}] = 10001;  // ignored
    policies.numbers[{PolicyScope::Machine, std::string(kPolicySettleTime)}] = 0;
    policies.texts[{PolicyScope::User, std::string(kPolicyLogFile)}] = "C:\\Users\\ann\\k.log";
    StartOptions options = ParseStartOptions("/watch /settle=800 /log=C:\\given.log").options;
    const PoliciesApplied applied = ApplyPolicies(options, policies);
    EXPECT_EQ(options.SettleMs, 0);
    EXPECT_EQ(applied.settle, Source::MachinePolicy);
    EXPECT_EQ(options.LogFile, "C:\\Users\\ann\\k.log");
    EXPECT_EQ(applied.logFile, Source::UserPolicy);
    EXPECT_TRUE(applied.ignored.empty()) << "the machine's value came first";
}

// Which width is in force: a policy's, the user's own, the command line's;
// the user's is neither read under a policy's width nor with memory off.
struct PrecedenceCase {
    const char* name;
    std::map<std::pair<PolicyScope, std::string_view>, std::uint32_t> policies;
    std::optional<std::uint32_t> kept;  // the user's width
    std::int16_t width;
    Source from;
    bool remembers;
    WidthChoice withoutUsers;  // what forgetting the user's width goes back to
    bool showsIcon = true;
    bool keptIgnored = false;  // the user's width there, and passed over (told)
    bool notANumber = false;   // the user's store holds a value that is no number
};

void PrintTo(const PrecedenceCase& c, std::ostream* os) { *os << c.name; }

class PrecedenceTest : public ::testing::TestWithParam<PrecedenceCase> {};

TEST_P(PrecedenceTest, DecidesTheWidthInForce) {
    const PrecedenceCase& c = GetParam();
    testing::MemoryPolicyStore policies;
    for (const auto& [at, value] : c.policies) policies.numbers[{at.first, std::string(at.second)}] = value;
    testing::MemoryUserWidthStore userWidths;
    userWidths.width = c.kept;
    userWidths.notANumber = c.notANumber;
    const StartPlan plan = PlanStart("/watch /newsize=250", &policies, true, &userWidths);
    EXPECT_EQ(plan.options.NewSize, c.width);
    EXPECT_EQ(plan.from.width, c.from);
    EXPECT_EQ(plan.remembersUserWidth, c.remembers);
    EXPECT_EQ(userWidths.reads, c.remembers ? 1 : 0);
    EXPECT_EQ(plan.showsIcon, c.showsIcon);
    EXPECT_EQ(plan.withoutUsers, c.withoutUsers);
    EXPECT_EQ(plan.userWidthIgnored.has_value(), c.keptIgnored);
}

constexpr auto kMachine = PolicyScope::Machine;
constexpr auto kUser = PolicyScope::User;
INSTANTIATE_TEST_SUITE_P(
    Cases, PrecedenceTest,
    ::testing::Values(
        PrecedenceCase{"TheUsersOverTheCommandLine", {}, 360, 360, Source::UserWidth, true, {250, Source::Given}},
        PrecedenceCase{"NoneKept", {}, {}, 250, Source::Given, true, {250, Source::Given}},
        PrecedenceCase{"KeptOutOfRange", {}, 0, 250, Source::Given, true, {250, Source::Given}, true, true},
        PrecedenceCase{"KeptNotANumber", {}, {}, 250, Source::Given, true, {250, Source::Given}, true, true, true},
        PrecedenceCase{"APolicyWidthOverTheUsers", {{{kUser, kPolicyNewSize}, 320}}, 360, 320, Source::UserPolicy,
                       false, {320, Source::UserPolicy}},
        PrecedenceCase{"MemoryOff", {{{kUser, kPolicyRememberUserWidth}, 0}}, 360, 250, Source::Given, false,
                       {250, Source::Given}},
        PrecedenceCase{"TheComputersWord",
                       {{{kMachine, kPolicyRememberUserWidth}, 0}, {{kUser, kPolicyRememberUserWidth}, 1},
                        {{kMachine, kPolicyShowTrayIcon}, 0}, {{kUser, kPolicyShowTrayIcon}, 1}},
                       360, 250, Source::Given, false, {250, Source::Given}, false},
        PrecedenceCase{"OutOfRangeIsNoWord", {{{kMachine, kPolicyRememberUserWidth}, 2}}, 360, 360,
                       Source::UserWidth, true, {250, Source::Given}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrecedenceTest, TheUsageNamesTheUsersWidth) {
    EXPECT_TRUE(Usage(360, Source::UserWidth).ends_with("The width in force: 360, from your own width."));
}

// The event level: the policy's, the computer's first, for an unattended
// run and the watch; a value out of range passed over and told; the window
// reports nothing.
TEST(PolicyTest, TheEventLevelIsThePolicysForUnattendedRunsAndTheWatch) {
    testing::MemoryPolicyStore policies;
    EXPECT_EQ(PlanStart("/AUTO", &policies, true).eventLevel, EventLevel::Problems) << "by default";
    policies.numbers[{PolicyScope::Machine, std::string(kPolicyEventLogLevel)}] = 3;
    policies.numbers[{PolicyScope::User, std::string(kPolicyEventLogLevel)}] = 2;
    const StartPlan watch = PlanStart("/watch", &policies, true);
    EXPECT_EQ(watch.eventLevel, EventLevel::Every);
    EXPECT_EQ(watch.from.ignored, std::vector<std::string>{
                                      "the computer's policy EventLogLevel = 3 is ignored: it must lie between 0 and 2"});
    policies.numbers[{PolicyScope::Machine, std::string(kPolicyEventLogLevel)}] = 0;
    EXPECT_EQ(PlanStart("/AUTO /quiet", &policies, true).eventLevel, EventLevel::None);
    policies.numbers.clear();
    EXPECT_EQ(PlanStart("/wait=5", &policies, true).eventLevel, EventLevel::None);
}

// A value of a type its setting does not take is passed over and told, as
// one out of range is.
TEST(PolicyTest, AValueOfTheWrongTypeIsIgnoredAndTold) {
    testing::MemoryPolicyStore policies;
    const auto at = [](PolicyScope scope, std::string_view name) { return std::pair(scope, std::string(name)); };
    policies.otherTypes[at(PolicyScope::Machine, kPolicyNewSize)] = "REG_SZ";
    policies.otherTypes[at(PolicyScope::User, kPolicyNewSize)] = "REG_QWORD";
    policies.otherTypes[at(PolicyScope::Machine, kPolicySettleTime)] = "REG_BINARY";
    policies.numbers[at(PolicyScope::User, kPolicySettleTime)] = 800;
    policies.otherTypes[at(PolicyScope::Machine, kPolicyLogFile)] = "REG_DWORD";
    policies.texts[at(PolicyScope::User, kPolicyLogFile)] = std::string(40'000, 'x');  // its variables put in
    StartOptions options = ParseStartOptions("/watch /newsize=250").options;
    const PoliciesApplied applied = ApplyPolicies(options, policies);
    EXPECT_EQ(options.NewSize, 250);
    EXPECT_EQ(options.SettleMs, 800);
    EXPECT_EQ(applied.ignored, (std::vector<std::string>{
                                   "the computer's policy NewSize is ignored: it is REG_SZ, not REG_DWORD",
                                   "the user's policy NewSize is ignored: it is REG_QWORD, not REG_DWORD",
                                   "the computer's policy SettleTime is ignored: it is REG_BINARY, not REG_DWORD",
                                   "the computer's policy LogFile is ignored: it is REG_DWORD, not REG_SZ or REG_EXPAND_SZ",
                                   "the user's policy LogFile is ignored: it is too long (over 32767 characters, its "
                                   "variables put in)",
                               }));
}

// The unattended run sets the policy's width, and its log says where the
// width came from and which policy value was passed over.
TEST(PolicyTest, AnUnattendedRunTakesThePolicysWidthAndSaysSo) {
    MemoryDesktop desktop;
    testing::RecordingMessageBoxes messages;
    testing::FakeTimers timers;
    testing::MemoryLogFile file;
    testing::MemoryPolicyStore policies;
    policies.numbers[{PolicyScope::Machine, std::string(kPolicyNewSize)}] = 0;
    policies.numbers[{PolicyScope::User, std::string(kPolicyNewSize)}] = 260;
    const auto client = testing::AddClient(desktop, "Client", {220});
    const StartPlan plan = PlanStart("/AUTO /newsize=250 /log=k.log", &policies, true);
    RunLog log(&file);
    Form1 form(desktop, messages, timers, plan, log);
    std::optional<StartOutcome> ended;
    form.StartUpEnded = [&](StartOutcome outcome) { ended = outcome; };
    form.Form_Load();
    timers.Advance(std::chrono::seconds(2));
    EXPECT_EQ(ended, StartOutcome::AutoApplied);
    EXPECT_EQ(desktop.RectInParent(client.panes[0]).right - desktop.RectInParent(client.panes[0]).left, 260);
    EXPECT_EQ(plan.from.ignored, std::vector<std::string>{
                                     "the computer's policy NewSize = 0 is ignored: it must lie between 1 and 32767"});
    EXPECT_NE(file.text.find("unattended run: width 260 from the user's policy"), std::string::npos) << file.text;
    EXPECT_NE(file.text.find(": 220 -> 260, set"), std::string::npos) << file.text;
}

}  // namespace
}  // namespace kestrum
