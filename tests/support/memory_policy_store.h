// Policies held in memory: values set per scope and name, and values of
// another type.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "winsys/policy_store.h"

namespace kestrum::testing {

class MemoryPolicyStore final : public PolicyStore {
public:
    std::optional<std::uint32_t> Number(PolicyScope scope, std::string_view name) override {
        const auto found = numbers.find({scope, std::string(name)});
        return found == numbers.end() ? std::nullopt : std::optional(found->second);
    }
    PolicyText Text(PolicyScope scope, std::string_view name) override {
        const auto found = texts.find({scope, std::string(name)});
        if (found == texts.end()) return {};
        // A text that would be over 32,767 characters once expanded.
        if (found->second.size() > 32767) return {std::nullopt, true};
        return {found->second};
    }

    std::string TypeOf(PolicyScope scope, std::string_view name) override {
        const std::pair<PolicyScope, std::string> key{scope, std::string(name)};
        if (const auto other = otherTypes.find(key); other != otherTypes.end()) return other->second;
        return numbers.contains(key) ? "REG_DWORD" : texts.contains(key) ? "REG_SZ" : "";
    }

    std::map<std::pair<PolicyScope, std::string>, std::uint32_t> numbers;
    std::map<std::pair<PolicyScope, std::string>, std::string> texts;
    // Values of a type neither Number nor Text takes, by type name.
    std::map<std::pair<PolicyScope, std::string>, std::string> otherTypes;
};

}  // namespace kestrum::testing
