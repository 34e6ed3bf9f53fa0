// Kestrum's main window as a user sees it: its controls, found by kind, and
// what its list shows.
#pragma once

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "desktop.h"
#include "e2e_common.h"

namespace e2e {

struct KestrumWindow {
    HWND list = nullptr;  // the one visible list box
    HWND button = nullptr;
    HWND field = nullptr;
    HWND labelWindow = nullptr;  // the visible static
    std::wstring label;          // its text
    int visibleLists = 0;

    explicit KestrumWindow(HWND main) {
        for (HWND h : Children(main)) {
            const std::wstring cls = ClassOf(h);
            if (_wcsicmp(cls.c_str(), L"ListBox") == 0) {
                if (IsWindowVisible(h)) {
                    ++visibleLists;
                    list = h;
                }
            } else if (_wcsicmp(cls.c_str(), L"Button") == 0 && TextOf(h) == L"Kestrum") {
                button = h;
            } else if (_wcsicmp(cls.c_str(), L"Edit") == 0) {
                field = h;
            } else if (_wcsicmp(cls.c_str(), L"Static") == 0 && IsWindowVisible(h)) {
                labelWindow = h;
                label = TextOf(h);
            }
        }
    }
    bool Complete() const { return list && button && field; }

    // The item values of the list's entries: the clients' window handles.
    std::vector<HWND> Values() const {
        std::vector<HWND> values;
        DWORD_PTR count = 0;
        SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
        for (DWORD_PTR i = 0; i < count; ++i) {
            DWORD_PTR value = 0;
            SendMessageTimeoutW(list, LB_GETITEMDATA, i, 0, SMTO_ABORTIFHUNG, 2000, &value);
            values.push_back(HandleFromValue(static_cast<std::int32_t>(value)));
        }
        return values;
    }
    std::vector<std::wstring> Entries() const {
        std::vector<std::wstring> entries;
        DWORD_PTR count = 0;
        SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count);
        for (DWORD_PTR i = 0; i < count; ++i) {
            DWORD_PTR length = 0;
            SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 2000, &length);
            std::wstring text(length + 1, L'\0');
            DWORD_PTR copied = 0;
            SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()),
                                SMTO_ABORTIFHUNG, 2000, &copied);
            text.resize(copied == static_cast<DWORD_PTR>(LB_ERR) ? 0 : copied);
            entries.push_back(text);
        }
        return entries;
    }
    long Selected() const {
        DWORD_PTR sel = static_cast<DWORD_PTR>(LB_ERR);
        SendMessageTimeoutW(list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &sel);
        return static_cast<long>(static_cast<LRESULT>(sel));
    }
    // The middle of entry `index` on the screen.
    POINT EntryPoint(int index) const {
        DWORD_PTR height = 0, top = 0;
        SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 2000, &height);
        SendMessageTimeoutW(list, LB_GETTOPINDEX, 0, 0, SMTO_ABORTIFHUNG, 2000, &top);
        RECT area{};
        GetClientRect(list, &area);
        POINT p{area.right / 2,
                static_cast<LONG>((index - static_cast<int>(top)) * height + height / 2)};
        ClientToScreen(list, &p);
        return p;
    }
    // A control's name for a report.
    std::string NameOf(HWND h) const {
        if (h == list) return "the list";
        if (h == button) return "the button";
        if (h == field) return "the field";
        return h ? "another window (" + Narrow(ClassOf(h)) + ")" : "none";
    }
};

}  // namespace e2e
