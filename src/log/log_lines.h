// The words the log tells things in, each written in one place: the line of
// each thing an unattended run or the watch tells (what_happened.h), and the
// pieces its events carry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "log/what_happened.h"

namespace kestrum {

// "set", "already that width", "gone", "refused", "not answering", "not taken",
// "refused (another account)".
std::string_view OutcomeWords(ResetOutcome outcome);
// "stopped", "stopped from its icon", "session ended", "closed by Windows (an update, or to free resources)",
// "ended with the client"
std::string_view WatchEndWords(WatchEnd end);

// Each thing's line, e.g. 'client 65552 "Orders", pane 65560: 220 -> 300, set'.
std::string LineOf(const PaneOutcome& outcome);
std::string LineOf(const SeveralPanes& several);
std::string LineOf(const ValueRefused& refused);
std::string LineOf(const UserWidthIgnored& ignored);
std::string LineOf(const UnattendedStarted& started);
std::string LineOf(const NothingChosen& nothing);
std::string LineOf(const WatchStarted& started);
std::string_view LineOf(WatchNotStarted why);
std::string_view LineOf(StopFailed why);
std::string LineOf(const AskFailed& failed);
std::string LineOf(const AskedFromCommandLine& asked);
std::string LineOf(const ProgramStarted& started);
std::string LineOf(const ProgramNotStarted& notStarted);
std::string LineOf(const PaneGivenUp& givenUp);
std::string LineOf(const WidthNotYetSeen& notYet);
std::string_view LineOf(WatchPaused paused);
std::string LineOf(const UserWidthKept& kept);
std::string LineOf(const UserWidthForgotten& forgotten);
std::string_view LineOf(WatchMishap mishap);
std::string_view LineOf(Failure failure);

}  // namespace kestrum
