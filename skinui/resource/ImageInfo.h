#pragma once
// TImageInfo: a loaded image. The loader fills the bitmap, size and alpha
// flag; the paint manager's image tables fill the rest and own the record.

#include "skinui/core/UIString.h"

#include <windows.h>

namespace SkinUI {

typedef struct tagTImageInfo
{
    HBITMAP hBitmap = nullptr;  // 32-bit top-down DIB, B G R A, premultiplied
    LPBYTE pBits = nullptr;     // working pixels for colour adjustment
    LPBYTE pSrcBits = nullptr;  // unadjusted copy, only for use-HSL images
    int nX = 0;                 // width
    int nY = 0;                 // height
    bool bAlpha = false;        // some pixel is not opaque or matched the key
    bool bUseHSL = false;
    CUIString sResType;  // empty for file and package images
    DWORD dwMask = 0;    // the colour key it was loaded with
    // The scale of the art it was resampled from, where the skin had none
    // for the scale its name asks for; 0 when it was loaded as it is.
    int nArtScale = 0;
} TImageInfo;

}  // namespace SkinUI
