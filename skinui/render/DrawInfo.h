#pragma once
// TDrawInfo: a parsed image draw string such as
//   file='btn_close_1.png' mask='#FFFF00FF' dest='0,0,10,10'
// Keys: file res restype dest source corner mask fade hole xtiled ytiled hsl.
// Rectangles are scaled by the manager's DPI object; at a scale other than
// 100 every '.' of the image name becomes "@<scale>.".

#include "skinui/core/UIString.h"

#include <windows.h>

namespace SkinUI {

class CPaintManagerUI;

typedef struct tagTDrawInfo
{
    // Fills the record from the image string and, when not null, the modify
    // string, whose keys override those of the image string. A null manager
    // means scale 100. Scanning a string stops at the first malformed pair;
    // the pairs before it are kept.
    void Parse(LPCTSTR pStrImage, LPCTSTR pStrModify, CPaintManagerUI* pManager);
    // Back to the initial values.
    void Clear();

    CUIString sDrawString;
    CUIString sDrawModify;
    CUIString sImageName;
    CUIString sResType;
    RECT rcDest = {0, 0, 0, 0};    // all zero: the whole control
    RECT rcSource = {0, 0, 0, 0};  // all zero: the whole image
    RECT rcCorner = {0, 0, 0, 0};  // nine-grid borders l, t, r, b
    DWORD dwMask = 0;
    BYTE uFade = 255;
    bool bHole = false;
    bool bTiledX = false;
    bool bTiledY = false;
    bool bHSL = false;
} TDrawInfo;

}  // namespace SkinUI
