// Policies held in memory: values set per scope and name.
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
    std::optional<std::string> Text(PolicyScope scope, std::string_view name) override {
        const auto found = texts.find({scope, std::string(name)});
        return found == texts.end() ? std::nullopt : std::optional(found->second);
    }

    std::map<std::pair<PolicyScope, std::string>, std::uint32_t> numbers;
    std::map<std::pair<PolicyScope, std::string>, std::string> texts;
};

}  // namespace kestrum::testing
