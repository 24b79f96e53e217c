#pragma once
// CPreviewWindow: an off-screen top-level window whose paint manager builds one
// skin document and paints it, so that the pixels of the off-screen bitmap
// can be written out. Everything goes through the engine's real paths: the
// dialog builder, AttachDialog, WM_PAINT, and real mouse messages for the
// hot and pushed states.

#include "skinui/core/PaintManager.h"
#include "skinui/core/WindowWnd.h"

#include <string>
#include <vector>

namespace SkinUI {
class CControlUI;
}

namespace SkinView {

class CPreviewWindow : public SkinUI::CWindowWnd
{
public:
    CPreviewWindow() = default;
    ~CPreviewWindow();

    // Creates the window and binds the manager to it, at the DPI scale in
    // percent (100 = 96 DPI). False when no window can be made.
    bool Open(int scalePercent);

    // Builds the document (a file name in the skin folder or package) and
    // attaches the tree. On failure error holds the reason, with the
    // parser's message and location when the markup was at fault.
    bool Build(const std::wstring& xml, std::wstring& error);

    // The window size the skin asks for, already scaled; 0 by 0 when it
    // names none.
    SIZE GetSkinSize() const;
    // Design size (100 %) to device pixels at the window's scale.
    int Scale(int value);
    // Resizes the window so that its client area is cx by cy pixels and
    // cuts its round corners with a window region, as a skinned window does
    // on every size change.
    void SetClientSize(int cx, int cy);

    // The control of that name, or null.
    SkinUI::CControlUI* Find(const std::wstring& name) const;

    // Shows the window (off-screen, not activated) when it is not shown yet
    // and paints it whole now through WM_PAINT; false when nothing was
    // painted into the off-screen bitmap.
    bool Paint();

    // The mouse enters the control (WM_MOUSEMOVE at its centre), and with
    // press the left button goes down there (WM_LBUTTONDOWN). Call after a
    // first Paint, which lays the tree out. False with a reason when the
    // control is hidden, has no area, or another control lies on top of it.
    bool PointAt(SkinUI::CControlUI* pControl, bool press, std::wstring& error);

    // One line per image that a control of the tree names (shown or not)
    // and the engine cannot load, as "<control>: <attribute> <file>", each
    // file once. At a scale other than 100 the file is the scaled name the
    // engine looks for ("bg@150.png"). Images of such names that the
    // engine made from another scale's art go to resampled, as "<file> from
    // the <scale> % art", each file once.
    void ReviewImages(std::vector<std::wstring>& missing, std::vector<std::wstring>& resampled);

    // The pixels of the last paint as the window shows them: the
    // off-screen bitmap (bottom-up, premultiplied B, G, R, A) with every
    // pixel outside the window region cleared to transparent. False before
    // a paint.
    bool GetShownPixels(std::vector<BYTE>& bits, SIZE& size) const;

    SkinUI::CPaintManagerUI& Manager() { return m_pm; }

protected:
    LPCTSTR GetWindowClassName() const override { return L"SkinViewPreview"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

private:
    SkinUI::CPaintManagerUI m_pm;
};

}  // namespace SkinView
