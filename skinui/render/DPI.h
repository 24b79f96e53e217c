#pragma once
// CDPI: a window's DPI scale and the conversion of design sizes (pixel values
// as written in the skin, at 100 %) to device pixels.
//
// Scale factors are percentages. The effective scale depends on the process
// awareness:
//   0 unaware          100
//   1 system aware     the scale of the first DPI ever set
//   2 per-monitor      the scale of the DPI last set
// All conversions round to the nearest integer (MulDiv).

#include <windows.h>

namespace SkinUI {

class CDPI
{
public:
    // Both factors at 100 (96 DPI), awareness 2.
    CDPI();

    // Horizontal effective DPI of a monitor; 96 when it cannot be asked.
    static int GetDPIOfMonitor(HMONITOR hMonitor);
    static int GetDPIOfMonitorNearestToPoint(POINT pt);
    static int GetMainMonitorDPI();

    // The process awareness (0, 1 or 2), refreshed from the process on
    // Windows 8.1 and later.
    int GetDPIAwareness();
    // True only when the process awareness was changed; on Windows before
    // 8.1 the value is stored for this object and the result is false.
    bool SetDPIAwareness(int awareness);

    UINT GetDPI() const;
    UINT GetScale() const;
    void SetScale(UINT uDPI);

    int Scale(int iValue) const;
    int ScaleBack(int iValue) const;
    // Left and top are scaled; width and height are scaled on their own, so
    // right = left + width and bottom = top + height after scaling.
    void Scale(RECT* pRect) const;
    void ScaleBack(RECT* pRect) const;
    RECT Scale(RECT rc) const;
    void Scale(POINT* pPoint) const;
    POINT Scale(POINT pt) const;
    void Scale(SIZE* pSize) const;
    SIZE Scale(SIZE sz) const;
    // Each of the four values scaled on its own: for borders and distances
    // from the edges (size box, caption), where right and bottom are not
    // coordinates.
    RECT ScaleEdges(RECT rc) const;

private:
    int m_nScaleFactor = 100;     // percent, from the DPI last set
    int m_nScaleFactorSDA = 100;  // percent, from the first DPI set
    int m_Awareness = 2;
    // The 100 % a new object starts with is not a DPI that was set: the
    // first SetScale still fixes the system scale.
    bool m_bSystemScaleSet = false;
};

}  // namespace SkinUI
