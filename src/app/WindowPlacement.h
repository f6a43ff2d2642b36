#pragma once

#include <string>

namespace tamblin {

// The main window's show state and normal rectangle as the settings keep them.
struct WindowPlacement {
    static constexpr int kNone = -1;
    static constexpr int kNormal = 1;
    static constexpr int kMinimised = 2;
    static constexpr int kMaximised = 3;

    int showState = kNone;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool IsSaved() const { return showState != kNone; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

// "left,right,top,bottom"; separators may be spaces, commas or semicolons. False, with the
// placement untouched, unless all four numbers are there.
bool ParseWindowPosition(const std::string& text, WindowPlacement& placement);
std::string FormatWindowPosition(const WindowPlacement& placement);

} // namespace tamblin
