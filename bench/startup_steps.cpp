// What kestrum.exe's start-up costs beyond the floor, step by step: a bare
// process that does, as its command line asks, only some of the things the
// program does before and besides its window-manager calls.
//
//   startup_steps.exe [comctl] [window] [controls]
//
//   comctl    loads comctl32.dll and calls InitCommonControlsEx for the
//             standard classes (kestrum.exe imports comctl32, so the loading
//             is part of its start; here it is taken only when asked)
//   window    registers a class and creates a hidden top-level window (the
//             first window of a process also loads the display driver)
//   controls  three list boxes, an edit field, a button and a label in it
//
// With no word it starts and ends. Timed under Wine by bench/run.sh.
#include <windows.h>

#include <commctrl.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* commandLine = GetCommandLineA();
    const auto asked = [commandLine](const char* word) { return std::strstr(commandLine, word) != nullptr; };
    if (asked(" comctl")) {
        using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        if (const HMODULE comctl = LoadLibraryA("comctl32.dll")) {
            if (const auto init = reinterpret_cast<Init>(
                    reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")))) {
                INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
                init(&controls);
            }
        }
    }
    if (asked(" window")) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = "StartupStepsWindow";
        RegisterClassA(&windowClass);
        const HWND window = CreateWindowExA(0, "StartupStepsWindow", "steps", WS_OVERLAPPEDWINDOW,
                                            0, 0, 400, 300, nullptr, nullptr, instance, nullptr);
        if (asked(" controls")) {
            const auto add = [&](const char* cls, DWORD style) {
                CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 100, 20, window,
                                nullptr, instance, nullptr);
            };
            for (int i = 0; i < 3; ++i) add("LISTBOX", LBS_NOTIFY);
            add("EDIT", ES_AUTOHSCROLL);
            add("BUTTON", BS_PUSHBUTTON);
            add("STATIC", 0);
        }
        DestroyWindow(window);
    }
    return 0;
}
