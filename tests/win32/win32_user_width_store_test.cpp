// The user's width in the registry of the user: written, read back, erased,
// and a value of another type taken as none.
#include "winsys/win32/win32_user_width_store.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace kestrum::win32 {
namespace {

TEST(Win32UserWidthStoreTest, WritesReadsAndErasesItsValue) {
    constexpr wchar_t kKey[] = L"Software\\Kestrum tests";
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    Win32UserWidthStore store("Software\\Kestrum tests", "UserWidth");
    EXPECT_EQ(store.Read().width, std::nullopt) << "no key yet";
    EXPECT_FALSE(store.Read().notANumber);
    EXPECT_TRUE(store.Write(360));
    EXPECT_EQ(Win32UserWidthStore("Software\\Kestrum tests", "UserWidth").Read().width, 360u);
    store.Erase();
    EXPECT_EQ(store.Read().width, std::nullopt);
    store.Erase();  // none to erase
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"UserWidth", REG_SZ, L"360", 8);
    EXPECT_EQ(store.Read().width, std::nullopt) << "a text is no width";
    EXPECT_TRUE(store.Read().notANumber);
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
}

}  // namespace
}  // namespace kestrum::win32
