#pragma once
// CRenderEngine: the engine's drawing functions, all static.
//   Image loading          skinui/resource/ImageLoader.cpp
//   Images and shapes      RenderEngine.cpp
//   Text                   RenderText.cpp

#include "skinui/core/STRINGorID.h"
#include "skinui/core/UIString.h"
#include "skinui/resource/ImageInfo.h"

#include <windows.h>

namespace SkinUI {

class CPaintManagerUI;

class CRenderEngine
{
public:
    // ---- Image loading --------------------------------------------------
    // The caller owns the returned record; null when nothing could be read
    // or decoded.
    static TImageInfo* LoadImageW(STRINGorID bitmap, LPCTSTR type = NULL, DWORD mask = 0,
                                  HINSTANCE instance = NULL);
    static TImageInfo* LoadImageW(LPCTSTR bitmap, LPCTSTR type = NULL, DWORD mask = 0,
                                  HINSTANCE instance = NULL);
    static TImageInfo* LoadImageW(UINT nID, LPCTSTR type = NULL, DWORD mask = 0,
                                  HINSTANCE instance = NULL);
    static void FreeImage(TImageInfo* bitmap, bool bDelete = true);

    // ---- Images and shapes ----------------------------------------------

    // ---- Text -----------------------------------------------------------
};

} // namespace SkinUI
