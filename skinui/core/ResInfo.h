#pragma once
// TFontInfo and TResInfo: a font record and a resource set of the paint
// manager (one shared by every window, one per window).
//
// Every map owns the heap records it holds:
//   m_CustomFonts   font id in decimal       -> TFontInfo*  (owns the HFONT)
//   m_ImageHash     image name               -> TImageInfo*
//   m_AttrHash      control class name       -> CUIString*  (attribute list)
//   m_StyleHash     style name               -> CUIString*
//   m_DrawInfoHash  image string + modify    -> TDrawInfo*

#include "skinui/core/StdStringPtrMap.h"
#include "skinui/core/UIString.h"
#include "skinui/render/DPI.h"
#include "skinui/render/DrawInfo.h"
#include "skinui/resource/ImageInfo.h"

#include <windows.h>

// The paint manager keeps its GDI+ start-up record by pointer.
namespace Gdiplus {
struct GdiplusStartupInput;
}

namespace SkinUI {

typedef struct tagTFontInfo
{
    HFONT hFont = nullptr;
    CUIString sFontName;  // the face actually used
    int iSize = 0;        // as asked for, before DPI scaling
    bool bBold = false;
    bool bUnderline = false;
    bool bItalic = false;
    TEXTMETRICW tm = {};  // all zero until first measured
    UINT uScale = 100;    // the DPI scale hFont was made at
    // Which making of a record this is: every AddFont and SetDefaultFont
    // takes a new number from one process-wide count.
    unsigned uGeneration = 0;
} TFontInfo;

// A window's own handle for a record of the shared set, made for the
// window's DPI scale: pShared and uSharedGeneration name the record (the
// pointer is only compared, never followed unless it is still in the set).
struct TScaledFont
{
    const TFontInfo* pShared = nullptr;
    unsigned uSharedGeneration = 0;
    TFontInfo font;
};

typedef struct tagTResInfo
{
    DWORD m_dwDefaultDisabledColor = 0;
    DWORD m_dwDefaultFontColor = 0;
    DWORD m_dwDefaultLinkFontColor = 0;
    DWORD m_dwDefaultLinkHoverFontColor = 0;
    DWORD m_dwDefaultSelectedBkColor = 0;
    TFontInfo m_DefaultFontInfo;  // empty face name: use the shared one
    CStdStringPtrMap m_CustomFonts;
    CStdStringPtrMap m_ImageHash;
    CStdStringPtrMap m_AttrHash;
    CStdStringPtrMap m_StyleHash;
    CStdStringPtrMap m_DrawInfoHash;
} TResInfo;

}  // namespace SkinUI
