// PolicyStore over the registry, for the Windows build: the values of a key
// under HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER.
#pragma once

#include <string>

#include "winsys/policy_store.h"

namespace kestrum::win32 {

class Win32PolicyStore final : public PolicyStore {
public:
    // `key`: the policy key's path below each root, UTF-8.
    explicit Win32PolicyStore(std::string_view key);

    std::optional<std::uint32_t> Number(PolicyScope scope, std::string_view name) override;
    // REG_SZ, or REG_EXPAND_SZ with its environment variables expanded.
    PolicyText Text(PolicyScope scope, std::string_view name) override;
    std::string TypeOf(PolicyScope scope, std::string_view name) override;

private:
    std::wstring key_;
};

}  // namespace kestrum::win32
