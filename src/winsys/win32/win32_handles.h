// Owners for the handles Kestrum creates or opens itself. Windows of other processes
// are never owned: they are plain HWND values.
#pragma once

#include <windows.h>

#include <utility>

namespace kestrum::win32 {

// A window this program created; destroyed with its owner unless the window
// went first (call Release from WM_NCDESTROY).
class UniqueWindow {
public:
    UniqueWindow() = default;
    explicit UniqueWindow(HWND window) : window_(window) {}
    UniqueWindow(UniqueWindow&& other) noexcept : window_(other.Release()) {}
    UniqueWindow& operator=(UniqueWindow&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~UniqueWindow() { Reset(); }

    HWND Get() const { return window_; }
    HWND Release() { return std::exchange(window_, nullptr); }
    void Reset(HWND window = nullptr) {
        if (const HWND old = std::exchange(window_, window); old != nullptr) DestroyWindow(old);
    }

private:
    HWND window_ = nullptr;
};

// A kernel object this program opened (a process, a mutex, a thread),
// closed once.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    HANDLE Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset() {
        if (const HANDLE old = std::exchange(handle_, nullptr); old != nullptr) CloseHandle(old);
    }

private:
    HANDLE handle_ = nullptr;
};

// A menu this program made (a popup menu), destroyed with its owner.
class UniqueMenu {
public:
    explicit UniqueMenu(HMENU menu) : menu_(menu) {}
    UniqueMenu(const UniqueMenu&) = delete;
    UniqueMenu& operator=(const UniqueMenu&) = delete;
    ~UniqueMenu() {
        if (menu_ != nullptr) DestroyMenu(menu_);
    }
    HMENU Get() const { return menu_; }

private:
    HMENU menu_;
};

// A window's device context (the screen's for none), for reading its
// resolution or measuring text.
class WindowDc {
public:
    explicit WindowDc(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A GDI object selected into a device context, the one before put back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc != nullptr ? SelectObject(dc, object) : nullptr) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace kestrum::win32
