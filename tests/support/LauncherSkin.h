#pragma once
// The launcher's window description as the tests expect it: the three rows of
// the 536 x 355 window and their float controls in document order. The tests
// that parse, build and lay out the skin check against this one table.

#include <windows.h>

namespace TestSupport {

struct LauncherSkinControl
{
    int row;                  // 0 header, 1 body, 2 footer
    const wchar_t* element;   // Label, Button or Progress (the class adds "UI")
    const wchar_t* name;      // "" for the unnamed title label
    int x, y, width, height;  // pos="x,y,0,0" within the row, and the fixed size
    bool visible;             // false: visible="false"
    const wchar_t* text;
    const wchar_t* bkimage;
    DWORD bkcolor;
};

extern const LauncherSkinControl kLauncherSkin[];
extern const int kLauncherSkinCount;

// The rows' fixed heights and their tops in the window.
extern const int kLauncherRowHeight[3];
extern const int kLauncherRowTop[3];
// How many controls a row holds.
int LauncherRowCount(int row);

}  // namespace TestSupport
