#include "startup/policies.h"

#include <optional>

#include "startup/policy_names.h"
#include "winsys/window_system.h"

namespace kestrum {
namespace {

constexpr PolicyScope kScopes[] = {PolicyScope::Machine, PolicyScope::User};

Source SourceOf(PolicyScope scope) {
    return scope == PolicyScope::Machine ? Source::MachinePolicy : Source::UserPolicy;
}

// A value that is there but could not be taken as `wanted`, told.
void NoteUnread(PolicyStore& policies, PolicyScope scope, std::string_view name, std::string_view wanted,
                std::vector<std::string>& ignored) {
    const std::string type = policies.TypeOf(scope, name);
    if (type.empty()) return;
    const std::string value = std::string(SourceWords(SourceOf(scope))) + " " + std::string(name);
    const bool wantedType = wanted.find(type) != std::string_view::npos;
    ignored.push_back(value + " is ignored: " +
                      (wantedType ? "it could not be read" : "it is " + type + ", not " + std::string(wanted)));
}

// The first value in range, the computer's before the user's.
template <typename Value>
void Apply(PolicyStore& policies, std::string_view name, std::int64_t lowest, std::int64_t highest, Value& target,
           Source& source, std::vector<std::string>& ignored) {
    for (const PolicyScope scope : kScopes) {
        const std::optional<std::uint32_t> value = policies.Number(scope, name);
        if (!value) {
            NoteUnread(policies, scope, name, "REG_DWORD", ignored);
            continue;
        }
        if (*value < lowest || *value > highest) {
            ignored.push_back(std::string(SourceWords(SourceOf(scope))) + " " + std::string(name) + " = " +
                              std::to_string(*value) + " is ignored: it must lie between " + std::to_string(lowest) +
                              " and " + std::to_string(highest));
            continue;
        }
        target = static_cast<Value>(*value);
        source = SourceOf(scope);
        return;
    }
}

}  // namespace

std::string_view SourceWords(Source source) {
    switch (source) {
        case Source::MachinePolicy: return "the computer's policy";
        case Source::UserPolicy: return "the user's policy";
        case Source::UserWidth: return "your own width";
        case Source::Given: break;
    }
    return "the command line";
}

PoliciesApplied ApplyPolicies(StartOptions& options, PolicyStore& policies) {
    PoliciesApplied applied;
    Apply(policies, kPolicyNewSize, kNarrowestPane, kWidestPane, options.NewSize, applied.width, applied.ignored);
    Apply(policies, kPolicySettleTime, 0, 10000, options.SettleMs, applied.settle, applied.ignored);
    Source unused = Source::Given;
    Apply(policies, kPolicyEventLogLevel, 0, 2, applied.eventLevel, unused, applied.ignored);
    std::int16_t remember = 1;
    std::int16_t showIcon = 1;
    Apply(policies, kPolicyRememberUserWidth, 0, 1, remember, unused, applied.ignored);
    Apply(policies, kPolicyShowTrayIcon, 0, 1, showIcon, unused, applied.ignored);
    applied.rememberUserWidth = remember != 0;
    applied.showTrayIcon = showIcon != 0;
    for (const PolicyScope scope : kScopes) {
        const PolicyText file = policies.Text(scope, kPolicyLogFile);
        if (file.tooLong) {
            applied.ignored.push_back(std::string(SourceWords(SourceOf(scope))) + " " + std::string(kPolicyLogFile) +
                                      " is ignored: it is too long (over 32767 characters, its variables put in)");
        } else if (!file.text) {
            NoteUnread(policies, scope, kPolicyLogFile, "REG_SZ or REG_EXPAND_SZ", applied.ignored);
        }
        if (!file.text || file.text->empty()) continue;
        options.LogFile = *file.text;
        applied.logFile = SourceOf(scope);
        break;
    }
    return applied;
}

}  // namespace kestrum
