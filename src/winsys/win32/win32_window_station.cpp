#include "winsys/win32/win32_window_station.h"

#include <windows.h>

namespace kestrum::win32 {

bool WindowStationVisible() {
    USEROBJECTFLAGS flags{};
    const HWINSTA station = GetProcessWindowStation();
    // Where the station cannot be asked, someone may be there.
    if (station == nullptr || !GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) {
        return true;
    }
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace kestrum::win32
