// Where an administrator's policies are read from (the registry's Policies
// keys, written by Group Policy or Intune): the port, so that what they mean
// can be decided and tested apart from the registry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kestrum {

enum class PolicyScope {
    Machine,  // HKEY_LOCAL_MACHINE: the computer's
    User,     // HKEY_CURRENT_USER: the user's
};

// A text value as read: none when it is not there, or not of the kind asked
// for; or there and too long to use (over 32,767 characters once its
// variables are put in).
struct PolicyText {
    std::optional<std::string> text;
    bool tooLong = false;
};

class PolicyStore {
public:
    virtual ~PolicyStore() = default;

    // The value `name` under the policy key of `scope`; none when it is not
    // there or not of the kind asked for. A text has its environment
    // variables expanded where it asks for that.
    virtual std::optional<std::uint32_t> Number(PolicyScope scope, std::string_view name) = 0;
    virtual PolicyText Text(PolicyScope scope, std::string_view name) = 0;
    // The type of the value `name` as the registry names it ("REG_DWORD",
    // "REG_SZ", ...); empty when there is no such value. Tells a value of
    // the wrong kind from one that is not there.
    virtual std::string TypeOf(PolicyScope scope, std::string_view name) = 0;
};

}  // namespace kestrum
