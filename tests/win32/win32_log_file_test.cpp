// The log's file on the Windows file system: a name in any script, appended
// to, set aside whole, and a folder that is not there stopping nothing.
#include "winsys/win32/win32_log_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "winsys/win32/win32_text.h"

namespace kestrum::win32 {
namespace {

TEST(Win32LogFileTest, AppendsAndSetsAsideAFileNamedInAnyScript) {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"Kestrum \u00c9t\u00e9 \u4e2d";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\k.log";
    DeleteFileW(path.c_str());
    DeleteFileW((path + L".1").c_str());

    Win32LogFile file(WideToUtf8(path));
    EXPECT_EQ(file.Size(), 0u);
    EXPECT_TRUE(file.Append("one\n"));
    EXPECT_TRUE(file.Append("two\n"));
    EXPECT_EQ(file.Size(), 8u);
    file.SetAside();
    EXPECT_EQ(file.Size(), 0u);
    EXPECT_TRUE(file.Append("three\n"));
    Win32LogFile older(WideToUtf8(path + L".1"));
    EXPECT_EQ(older.Size(), 8u);
    EXPECT_EQ(file.Size(), 6u);
    file.SetAside();  // replaces the older one
    EXPECT_EQ(older.Size(), 6u);

    Win32LogFile nowhere(WideToUtf8(folder + L"\\no such folder\\k.log"));
    EXPECT_FALSE(nowhere.Append("lost"));
    DeleteFileW((path + L".1").c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace kestrum::win32
