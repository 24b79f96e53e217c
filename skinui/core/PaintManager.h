#pragma once
// CPaintManagerUI: one per window. It dispatches the window's input to the
// control tree, paints the tree, keeps the resources controls draw with, runs
// control timers and delivers notifications.
//
// The class is split by concern, one file for each section below:
//   Identity and lifetime      PaintManager.cpp
//   Resource location          PaintManagerLocation.cpp   (process-wide statics)
//   Resources, shared tables   PaintManagerResources.cpp
//   Timers, notifications,
//   control registry           PaintManagerRegistry.cpp
//   Input and event dispatch   PaintManagerInput.cpp      (but AttachDialog, focus,
//                                                          capture and mouse position
//                                                          are in PaintManager.cpp)
//   Painting, layered windows  PaintManagerPaint.cpp
//   Screen readers' hand-over  PaintManagerAccessibility.cpp
// Data members are kept with the section that uses them and initialised where
// they are declared, so that construction stays in one place per concern.

#include "skinui/core/DropTarget.h"
#include "skinui/core/ResInfo.h"
#include "skinui/core/Shadow.h"
#include "skinui/core/STRINGorID.h"
#include "skinui/core/StdPtrArray.h"
#include "skinui/core/StdStringPtrMap.h"
#include "skinui/core/UIEvents.h"
#include "skinui/core/UIString.h"

#include <windows.h>
#include <commctrl.h>

namespace SkinUI {

class CControlUI;
class IAccessibilityProviderUI;

// Told of every real change of a control's state (see ControlChange in
// Control.h), on the UI thread, after the new value is in place.
class IControlObserverUI
{
public:
    virtual void OnControlChanged(CControlUI* pControl, int change) = 0;

protected:
    ~IControlObserverUI() {}
};

// Posted by the manager to its own window: register the drop target after
// the first paint, destroy the controls of the delayed clean-up and deliver
// the queued notifications.
#define WM_ASYNC_FLUSH (WM_APP + 1)

// One control timer multiplexed onto a native timer of the paint window.
// A killed record keeps its native id for re-arming.
struct TimerRecord
{
    CControlUI* pSender;
    UINT nLocalID;
    HWND hWnd;
    UINT uWinTimer;
    bool bKilled;
};

// Timer id of the caret's blinking, next to the control timers' ids.
#define CARET_TIMER_ID 0x1999

// The focus cue's colour where neither the control nor the window sets one.
const DWORD kDefaultFocusCueColor = 0xFF0078D7;

// The SetResourceType value of a skin package held in memory as a ZIP archive.
const int kResourceTypeZipInMemory = 4;

class CPaintManagerUI : public CIDropTarget
{
public:
    CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;
    virtual ~CPaintManagerUI();

    // ---- Identity and lifetime (PaintManager.cpp) ----------------------
    // Binds the manager to its window: forgets the per-window tables of a
    // previous window, takes the window's DC and joins the list of managers.
    void Init(HWND hWnd, LPCTSTR pstrName = nullptr);
    const CUIString& GetName() const { return m_sName; }
    HWND GetPaintWindow() const { return m_hWndPaint; }
    HDC GetPaintDC() const { return m_hDcPaint; }
    CControlUI* GetRoot() const { return m_pRoot; }
    static CStdPtrArray* GetPaintManagers() { return &m_aPreMessages; }
    // The window's drop shadow, made when the tree is attached.
    CShadowUI* GetShadow() { return &m_shadow; }

    // ---- Resource location: where skin files come from -----------------
    static void SetInstance(HINSTANCE hInst);
    static HINSTANCE GetInstance();
    static CUIString GetInstancePath();
    static CUIString GetCurrentPath();
    static void SetCurrentPath(LPCTSTR pStrPath);
    static void SetResourceDll(HINSTANCE hInst);
    static HINSTANCE GetResourceDll();
    static void SetResourcePath(LPCTSTR pStrPath);
    static const CUIString& GetResourcePath();
    static void SetResourceZip(LPCTSTR pstrZip, bool bCachedResourceZip = false);
    static void SetResourceZip(LPVOID pVoid, unsigned int len);
    static const CUIString& GetResourceZip();
    static bool IsCachedResourceZip();
    static HANDLE GetResourceZipHandle();
    // The package to read skin files from: the kept-open one when there is
    // one (bOwn false), else the package file opened for the caller, who
    // closes it with SkinPackageClose (bOwn true). Null when it cannot be
    // opened.
    static HANDLE OpenResourceZip(bool& bOwn);
    // The kind of resource source the program chose, for the program's own
    // use: the engine only stores it (kResourceTypeZipInMemory: a ZIP
    // package held in memory).
    static void SetResourceType(int nType);
    static int GetResourceType();
    static void Term();

    // ---- Resources and shared tables ----------------------------------
    // "shared" below means: the bShared argument is true or the force flag is
    // set. Lookups search this window's set first, then the shared set.

    // Plug-ins: modules exporting "CreateControl"; they stay loaded.
    static bool LoadPlugin(LPCTSTR pstrModuleName);
    static CStdPtrArray* GetPlugins();
    // Reloads the shared images, then every manager's own images.
    static void ReloadSkin();
    // Colour adjustment of use-HSL images: H 0..360, S and L 0..200.
    static void SetHSL(bool bUseHSL, short H, short S, short L);
    static bool GetHSL(short* H, short* S, short* L);

    void SetForceUseSharedRes(bool bForce);
    bool IsForceUseSharedRes() const;

    // Colours (0xAARRGGBB). With bShared the shared value is set, and this
    // window's value too while it still equals the old shared one. The
    // getters return this window's value.
    void SetDefaultDisabledColor(DWORD dwColor, bool bShared = false);
    DWORD GetDefaultDisabledColor() const;
    void SetDefaultFontColor(DWORD dwColor, bool bShared = false);
    DWORD GetDefaultFontColor() const;
    void SetDefaultLinkFontColor(DWORD dwColor, bool bShared = false);
    DWORD GetDefaultLinkFontColor() const;
    void SetDefaultLinkHoverFontColor(DWORD dwColor, bool bShared = false);
    DWORD GetDefaultLinkHoverFontColor() const;
    void SetDefaultSelectedBkColor(DWORD dwColor, bool bShared = false);
    DWORD GetDefaultSelectedBkColor() const;

    // Fonts. Sizes are design sizes; the handles are made at the DPI scale.
    // Records and handles belong to the manager's tables.
    TFontInfo* GetDefaultFontInfo();
    void SetDefaultFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                        bool bShared = false);
    DWORD GetCustomFontCount(bool bShared = false) const;
    // Replaces the font of the same id; null when the font cannot be made.
    HFONT AddFont(int id, LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                  bool bShared = false);
    HFONT GetFont(int id);
    HFONT GetFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    // Search only the set named by bShared; -1 when absent.
    int GetFontIndex(HFONT hFont, bool bShared = false);
    int GetFontIndex(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic,
                     bool bShared = false);
    void RemoveFont(HFONT hFont, bool bShared = false);
    void RemoveFont(int id, bool bShared = false);
    void RemoveAllFonts(bool bShared = false);
    TFontInfo* GetFontInfo(int id);
    TFontInfo* GetFontInfo(HFONT hFont);
    // New handle for the record at the current DPI scale.
    void RebuildFont(TFontInfo* pFontInfo);

    // Images, cached by name alone.
    const TImageInfo* GetImage(LPCTSTR bitmap);
    const TImageInfo* GetImageEx(LPCTSTR bitmap, LPCTSTR type = nullptr, DWORD mask = 0, bool bUseHSL = false,
                                 HINSTANCE instance = nullptr);
    // Loads and stores the image, replacing one of the same name. With a
    // type the name must start with the decimal resource id.
    const TImageInfo* AddImage(LPCTSTR bitmap, LPCTSTR type = nullptr, DWORD mask = 0, bool bUseHSL = false,
                               bool bShared = false, HINSTANCE instance = nullptr);
    // Stores hBitmap, which the table then owns. Null without a name, a
    // bitmap or a positive size: the bitmap stays the caller's. Does not
    // replace an image of the same name: that failed insertion deletes the
    // bitmap and returns null.
    const TImageInfo* AddImage(LPCTSTR bitmap, HBITMAP hBitmap, int iWidth, int iHeight, bool bAlpha,
                               bool bShared = false);
    void RemoveImage(LPCTSTR bitmap, bool bShared = false);
    void RemoveAllImages(bool bShared = false);
    static void ReloadSharedImages();
    void ReloadImages();
    // The image a draw string names (file/res, restype, mask keys).
    const TImageInfo* GetImageString(LPCTSTR pStrImage, LPCTSTR pStrModify = nullptr);

    // Parsed draw strings, per window, keyed by image string + modify string.
    const TDrawInfo* GetDrawInfo(LPCTSTR pStrImage, LPCTSTR pStrModify);
    void RemoveDrawInfo(LPCTSTR pStrImage, LPCTSTR pStrModify);
    void RemoveAllDrawInfos();

    // Default attribute lists per control class: a later list replaces.
    void AddDefaultAttributeList(LPCTSTR pStrControlName, LPCTSTR pStrControlAttrList, bool bShared = false);
    LPCTSTR GetDefaultAttributeList(LPCTSTR pStrControlName) const;
    bool RemoveDefaultAttributeList(LPCTSTR pStrControlName, bool bShared = false);
    void RemoveAllDefaultAttributeList(bool bShared = false);

    // Styles: the first definition of a name wins.
    void AddStyle(LPCTSTR pName, LPCTSTR pStyle, bool bShared = false);
    LPCTSTR GetStyle(LPCTSTR pName) const;
    bool RemoveStyle(LPCTSTR pName, bool bShared = false);
    const CStdStringPtrMap& GetStyles(bool bShared = false) const;
    void RemoveAllStyle(bool bShared = false);

    // Window custom attributes: the first definition of a name wins.
    void AddWindowCustomAttribute(LPCTSTR pstrName, LPCTSTR pstrAttr);
    LPCTSTR GetWindowCustomAttribute(LPCTSTR pstrName) const;
    bool RemoveWindowCustomAttribute(LPCTSTR pstrName);
    void RemoveAllWindowCustomAttribute();

    // Option groups: named lists of distinct controls (not owned).
    bool AddOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl);
    CStdPtrArray* GetOptionGroup(LPCTSTR pStrGroupName);
    void RemoveOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl);
    void RemoveAllOptionGroups();

    // Window settings read from the skin's root element. They are kept in
    // skin pixels (at 100 %) and scaled where they are used, so that a DPI
    // change recomputes the window from them. The initial size is the one
    // exception on the way out: GetInitSize answers in device pixels.
    SIZE GetInitSize() const;
    void SetInitSize(int cx, int cy);
    RECT& GetSizeBox();
    void SetSizeBox(RECT& rcSizeBox);
    RECT& GetCaptionRect();
    void SetCaptionRect(RECT& rcCaption);
    SIZE GetRoundCorner() const;
    void SetRoundCorner(int cx, int cy);
    SIZE GetMinInfo() const;
    void SetMinInfo(int cx, int cy);
    SIZE GetMaxInfo() const;
    void SetMaxInfo(int cx, int cy);
    SIZE GetClientSize() const;
    bool IsUseGdiplusText() const;
    void SetUseGdiplusText(bool bUse);
    int GetGdiplusTextRenderingHint() const;
    void SetGdiplusTextRenderingHint(int trh);

    // DPI: the object is made on first use and lives with the manager.
    CDPI* GetDPIObj();
    // Scale for the DPI, fonts and images rebuilt, the window resized about
    // its top-left corner (a maximised window keeps its size) or, with
    // prcWindow, moved to that rectangle (WM_DPICHANGED's suggestion).
    void SetDPI(int iDPI, const RECT* prcWindow = nullptr);
    static void SetAllDPI(int iDPI);
    // Drops the draw-string cache and this window's images, rebuilds fonts.
    void ResetDPIAssets();

    // ---- Timers, notifications and control registry -------------------
    // Attaches a sub-tree: SetManager(this, parent, true) down the tree and
    // every non-empty name into the name map (the last visited wins). A
    // null parent means the control's own parent.
    bool InitControls(CControlUI* pControl, CControlUI* pParent = nullptr);
    // Forgets every reference to a control being destroyed: key, hover,
    // click and focus, its timers, its name-map entry when it maps to it,
    // and the sender of its queued notifications.
    void ReapObjects(CControlUI* pControl);
    // Detaches the control from its parent and destroys it at the next
    // flush (or with the manager).
    void AddDelayedCleanup(CControlUI* pControl);

    // Native ids run 0..239, starting at 17 for a fresh manager.
    bool SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse);
    bool KillTimer(CControlUI* pControl, UINT nTimerID);
    void KillTimer(CControlUI* pControl);
    void RemoveAllTimers();
    // The live timer of this paint window with the given native id, or null;
    // WM_TIMER turns it into EVT_TIMER for its sender.
    const TimerRecord* FindTimer(UINT uWinTimer) const;

    // At once: the sender's OnNotify, then every notifier in order. Queued:
    // a copy is kept and WM_ASYNC_FLUSH posted to the paint window.
    void SendNotify(TNotifyUI& Msg, bool bAsync = false);
    void SendNotify(CControlUI* pControl, LPCTSTR pstrMessage, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool bAsync = false);
    bool AddNotifier(INotifyUI* pControl);
    bool RemoveNotifier(INotifyUI* pControl);
    // Observers of control changes, in order; not owned. ControlChanged is
    // what CControlUI::Changed calls; it costs one test without observers.
    bool AddControlObserver(IControlObserverUI* pObserver);
    bool RemoveControlObserver(IControlObserverUI* pObserver);
    void ControlChanged(CControlUI* pControl, int change);
    void UsedVirtualWnd(bool bUsed);
    // WM_ASYNC_FLUSH: registers a pending drop target, deletes the
    // delayed-cleanup controls, then delivers the queued notifications in
    // order, including those queued meanwhile.
    void OnAsyncFlush();

    // By name: exact, through the name map. By point: the topmost visible,
    // mouse-enabled control. A null parent means the root.
    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindControl(LPCTSTR pstrName) const;
    CControlUI* FindSubControlByPoint(CControlUI* pParent, POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* pParent, LPCTSTR pstrName) const;
    CControlUI* FindSubControlByClass(CControlUI* pParent, LPCTSTR pstrClass, int iIndex = 0);
    CStdPtrArray* FindSubControlsByClass(CControlUI* pParent, LPCTSTR pstrClass);
    CStdPtrArray* GetFoundControls();
    // The first manager bound to a window under that name; null for a null
    // or empty name.
    static CPaintManagerUI* GetPaintManager(LPCTSTR pstrName);

    // ---- Input and event dispatch --------------------------------------
    // Makes the control the root: focus, key, hover and click are
    // forgotten, a previous root goes to the delayed clean-up, the tree is
    // attached and its names registered; the next paint lays it out.
    bool AttachDialog(CControlUI* pControl);

    // True when the message was consumed; lRes is then the window
    // procedure's result. On false the default procedure runs as well.
    // WM_GETOBJECT for the client object is answered by the window's
    // accessibility provider, made at the first such request;
    // WM_DESTROY ends that provider.
    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    // Keyboard pre-translation (Tab, shortcuts); true swallows the message.
    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool TranslateAcceleratorW(MSG* pMsg);
    // Called for every queued message before ::TranslateMessage.
    static bool TranslateMessage(const MSG* pMsg);
    // Runs until WM_QUIT; an exception escaping one message is swallowed.
    static void MessageLoop();
    bool AddPreMessageFilter(IMessageFilterUI* pFilter);
    bool RemovePreMessageFilter(IMessageFilterUI* pFilter);
    bool AddMessageFilter(IMessageFilterUI* pFilter);
    bool RemoveMessageFilter(IMessageFilterUI* pFilter);
    bool AddTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    bool RemoveTranslateAccelerator(ITranslateAccelerator* pTranslateAccelerator);
    HWND GetTooltipWindow() const;
    // Registers the window as OLE drop target for bitmaps, DIBs, files and
    // metafiles; false when OLE refuses (then nothing can be dropped).
    // The window is a drag source too: the left button pressed on a
    // drag-enabled control and moved with only that button held starts an
    // OLE drag of the control's picture (as a bitmap and as a metafile).
    bool InitDragDrop();
    bool OnDrop(FORMATETC* pFmtEtc, STGMEDIUM& medium, DWORD* pdwEffect) override;
    CControlUI* GetFocus() const;
    void SetFocus(CControlUI* pControl);
    void SetFocusNeeded(CControlUI* pControl);
    // Tab moves the focus through the tab stops in tree order, and through
    // the stops inside a control that has several (ITabStopsUI).
    bool SetNextTabControl(bool bForward = true);
    // A tab stop: a control that says so (CONTROLFLAG_TABSTOP), attached
    // here, visible and enabled with all its ancestors, and not covered by
    // another control that takes the mouse at its centre: Tab reaches what
    // the mouse reaches.
    bool IsTabStop(CControlUI* pControl) const;
    // The next (or previous) tab stop after pFrom in tree order, without
    // wrapping; pFrom itself need not be a tab stop any more (a control
    // just hidden). Null when there is none.
    CControlUI* FindNextTabStop(CControlUI* pFrom, bool bForward = true) const;
    // The focus cue: a frame the engine draws around the focused control
    // (or its focused stop) while keyboard cues are shown. They are hidden
    // until the keyboard is used, as Windows does with its own controls
    // (WM_CHANGEUISTATE, WM_UPDATEUISTATE, UISF_HIDEFOCUS).
    bool IsFocusCueShown() const;
    // The cue's colour: the focused control's focusbordercolor, else this
    // (the window's "focuscuecolor"), else kDefaultFocusCueColor.
    void SetFocusCueColor(DWORD dwColor);
    DWORD GetFocusCueColor() const;
    // Where the cue is drawn, in client pixels; empty while none is shown.
    RECT GetFocusCueRect();
    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured() const;
    POINT GetMousePos() const;

    // ---- Painting and layered windows ---------------------------------
    // Invalidation and the post-paint list, as far as controls use them.
    void Invalidate();
    void Invalidate(RECT& rcItem);
    void NeedUpdate();
    bool IsUpdateNeeded() const;
    bool AddPostPaint(CControlUI* pControl);
    bool RemovePostPaint(CControlUI* pControl);
    bool IsPostPaint(CControlUI* pControl) const;
    int GetPostPaintCount() const;
    // Moves the control to the index (0 .. count); false outside.
    bool SetPostPaintIndex(CControlUI* pControl, int iIndex);
    // Native child windows composed into a layered window's paint.
    bool AddPaintChildWnd(HWND hChildWnd);
    bool RemovePaintChildWnd(HWND hChildWnd);
    int GetPaintChildWndCount() const;
    // True while a WM_PAINT pass runs.
    void SetPainting(bool bIsPainting);
    bool IsPainting() const;
    // Layered mode: per-pixel alpha through UpdateLayeredWindow. Ignored
    // for child windows and where the system lacks UpdateLayeredWindow.
    void SetLayered(bool bLayered);
    bool IsLayered() const;
    void SetLayeredOpacity(BYTE nOpacity);
    BYTE GetLayeredOpacity() const;
    void SetLayeredInset(RECT& rcLayeredInset);
    RECT& GetLayeredInset();
    // Whole-window opacity (the same byte as the layered opacity).
    void SetOpacity(BYTE nOpacity);
    BYTE GetOpacity() const;
    // Outlines every painted rectangle in red on the window.
    void SetShowUpdateRect(bool show);
    bool IsShowUpdateRect() const;
    // The caret of windowless text controls, blinking on CARET_TIMER_ID.
    bool CreateCaret(HBITMAP hBmp, int nWidth, int nHeight);
    bool ShowCaret(bool bShow);
    bool SetCaretPos(CControlUI* pControl, int x, int y);
    CControlUI* GetCurrentCaretObject() const;
    void DrawCaret(HDC hDC, const RECT& rcPaint);
    // The off-screen bitmap of the last paint (32-bit, bottom-up) and its
    // size; null before the first paint.
    HDC GetOffscreenDC() const { return m_hDcOffscreen; }
    HBITMAP GetOffscreenBitmap() const { return m_hbmpOffscreen; }
    const BYTE* GetOffscreenBits() const { return m_pOffscreenBits; }
    SIZE GetOffscreenSize() const { return m_szOffscreen; }

private:
    // Per-concern parts of construction, Init and destruction; each is
    // implemented in the file of its concern.
    void InitResources();         // shared defaults, GDI+ start-up
    void ResetWindowResources();  // Init: empty the per-window tables
    void TermResources();         // destruction: free the tables, GDI+ off
    void ResetRegistry();         // Init: forget names and timers
    void TermRegistry();          // destruction: cleanup list, queue, tree
    void PostFlush();             // WM_ASYNC_FLUSH to the paint window

    // ---- Identity and lifetime ----------------------------------------
    CUIString m_sName;
    HWND m_hWndPaint = nullptr;
    HDC m_hDcPaint = nullptr;
    CControlUI* m_pRoot = nullptr;
    CControlUI* m_pFocus = nullptr;
    CControlUI* m_pEventHover = nullptr;
    CControlUI* m_pEventClick = nullptr;
    CControlUI* m_pEventKey = nullptr;
    POINT m_ptLastMousePos = {-1, -1};
    bool m_bFirstLayout = true;
    bool m_bUpdateNeeded = false;
    bool m_bFocusNeeded = false;
    // Init leaves the drop target's registration to the flush after the
    // first paint (see Init).
    bool m_bDropTargetPending = false;
    CShadowUI m_shadow;
    // Every manager that has been bound to a window, in the order of Init.
    static CStdPtrArray m_aPreMessages;

    // ---- Resource location --------------------------------------------
    static HINSTANCE m_hInstance;
    static HINSTANCE m_hResourceInstance;
    static CUIString m_pStrResourcePath;
    static CUIString m_pStrResourceZip;
    static bool m_bCachedResourceZip;
    static HANDLE m_hResourceZip;
    static int m_nResType;

    // ---- Resources and shared tables ----------------------------------
    void AdjustImagesHSL();
    static void AdjustSharedImagesHSL();
    // The table of the shared set when bShared or the force flag is set,
    // else of this window's set.
    CStdStringPtrMap& ChosenSet(CStdStringPtrMap TResInfo::*table, bool bShared);
    void SetColor(DWORD TResInfo::*color, DWORD dwColor, bool bShared);
    // Text metrics through the paint DC; nothing without one.
    void MeasureFont(TFontInfo* pFontInfo) const;
    TFontInfo* Measured(TFontInfo* pFontInfo) const;
    // A record of the shared set as this window draws it, at this window's
    // DPI scale: rebuilt as ResetDPIAssets rebuilds the window's own fonts
    // when the window was rescaled after the record was made, else as it
    // was made. That is the record itself where they agree, else this
    // window's own copy; the record is never rebuilt for one window.
    TFontInfo* AtOwnScale(TFontInfo* pShared);
    // The shared record whose copy this window made with hFont; null when
    // hFont is no such copy's.
    TFontInfo* SharedOfCopy(HFONT hFont);
    void FreeScaledFonts();

    static TResInfo m_SharedResInfo;
    static bool m_bUseHSL;
    static short m_H;
    static short m_S;
    static short m_L;
    static CStdPtrArray m_aPlugins;

    bool m_bForceUseSharedRes = false;
    TResInfo m_ResInfo;
    CStdPtrArray m_aScaledFonts;               // TScaledFont*, owned
    unsigned m_uRescaleGeneration = 0;         // of the last ResetDPIAssets, 0 for none
    CStdStringPtrMap m_mWindowCustomAttrHash;  // name -> CUIString*
    CStdStringPtrMap m_mOptionGroup;           // group -> CStdPtrArray*
    SIZE m_szInitWindowSize = {0, 0};          // skin pixels
    SIZE m_szMinWindow = {0, 0};
    SIZE m_szMaxWindow = {0, 0};
    RECT m_rcSizeBox = {0, 0, 0, 0};
    RECT m_rcCaption = {0, 0, 0, 0};
    SIZE m_szRoundCorner = {0, 0};
    bool m_bUseGdiplusText = false;
    int m_trh = 0;
    CDPI* m_pDPI = nullptr;
    ULONG_PTR m_gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput* m_pGdiplusStartupInput = nullptr;

    // ---- Timers, notifications and control registry -------------------
    UINT m_uTimerID = 0x1000;
    CStdPtrArray m_aTimers;            // TimerRecord*, owned
    CStdPtrArray m_aNotifiers;         // INotifyUI*, not owned
    CStdPtrArray m_aControlObservers;  // IControlObserverUI*, not owned
    bool m_bUsedVirtualWnd = false;
    CStdPtrArray m_aAsyncNotify;     // TNotifyUI*, owned, in queue order
    CStdPtrArray m_aDelayedCleanup;  // CControlUI*, owned
    CStdPtrArray m_aFoundControls;
    CStdStringPtrMap m_mNameHash{83};  // name -> CControlUI*, not owned

    // ---- Input and event dispatch --------------------------------------
    static WORD MapKeyState();
    void SendEvent(CControlUI* pControl, int type, POINT pt, WORD keyState, WPARAM wParam, LPARAM lParam,
                   TCHAR keyChar = 0);
    // An event without a mouse position or key state for the focused
    // control, naming pSender as its sender.
    void SendFocusEvent(int type, CControlUI* pSender, WPARAM wParam = 0, LPARAM lParam = 0);
    // The one writer of the focus control; reports the change to both the
    // old and the new one.
    void SetFocusControl(CControlUI* pControl);
    // The focused control loses the focus to pNewFocus: its killfocus event
    // and notification, and then no control has the focus.
    void DropFocus(CControlUI* pNewFocus);
    // The control under the point when it belongs to this manager.
    CControlUI* FindOwnControl(POINT pt) const;
    // The start of a button press: the window takes the keyboard focus and
    // the press point (into pt) becomes the last mouse position. The
    // manager's control under it, or null.
    CControlUI* PressTarget(LPARAM lParam, POINT& pt);
    // MessageHandler's handlers, one per message (the right and middle
    // buttons share theirs, told apart by the event type); each returns what
    // MessageHandler returns for its message.
    bool OnClose();
    bool OnGetMinMaxInfo(LPMINMAXINFO lpMMI);
    bool OnSize();
    bool OnTimer(WPARAM wParam, LPARAM lParam);
    bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    // WM_COMMAND and the colour messages go back to the child that sent them.
    bool ReflectToChild(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool OnMouseHover(WPARAM wParam, LPARAM lParam);
    bool OnMouseLeave();
    bool OnMouseMove(WPARAM wParam, LPARAM lParam);
    bool OnLButtonDown(WPARAM wParam, LPARAM lParam);
    bool OnLButtonDblClk(WPARAM wParam, LPARAM lParam);
    bool OnLButtonUp(WPARAM wParam, LPARAM lParam);
    bool OnOtherButtonDown(int type, WPARAM wParam, LPARAM lParam);
    bool OnOtherButtonUp(int type, WPARAM wParam, LPARAM lParam);
    bool OnContextMenu(WPARAM wParam, LPARAM lParam);
    bool OnMouseWheel(WPARAM wParam, LPARAM lParam);
    bool OnSetCursor(WPARAM wParam, LPARAM lParam);
    bool OnKeyDown(WPARAM wParam, LPARAM lParam);
    bool OnKeyUp(WPARAM wParam, LPARAM lParam);
    bool OnChar(WPARAM wParam, LPARAM lParam);
    // True when the focus control takes the Tab key itself.
    bool FocusKeepsTab() const;
    // The keyboard was used: keyboard cues are shown from now on.
    void ShowKeyboardCues();
    // WM_UPDATEUISTATE: the window's keyboard-cue state changed.
    void OnUpdateUIState(WPARAM wParam);
    void InvalidateFocusCue();
    void DrawFocusCue(HDC hDC, const RECT& rcPaint);
    // Runs the OLE drag of the drag image; returns when it has ended.
    void DoDrag();
    void ShowToolTip(CControlUI* pHover);

    // WM_GETOBJECT: the client object from the accessibility provider, made
    // here at the first request (AccessibilityProvider.h); other objects are
    // the default procedure's.
    bool OnGetObject(WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    // Null until a client asks for the client object.
    IAccessibilityProviderUI* m_pAccessibility = nullptr;
    bool m_bFocusCueHidden = true;
    DWORD m_dwFocusCueColor = 0;
    bool m_bMouseCapture = false;
    bool m_bMouseTracking = false;
    // Set by a press on a drag-enabled control, with its picture made then;
    // the picture is kept until the next such press.
    bool m_bDragMode = false;
    HBITMAP m_hDragBitmap = nullptr;
    HWND m_hwndTooltip = nullptr;
    TOOLINFOW m_ToolTip = {};
    CStdPtrArray m_aPreMessageFilters;     // IMessageFilterUI*, not owned
    CStdPtrArray m_aMessageFilters;        // IMessageFilterUI*, not owned
    CStdPtrArray m_aTranslateAccelerator;  // ITranslateAccelerator*, not owned

    // ---- Painting and layered windows ---------------------------------
    // WM_PAINT: the layout step, the paint into the off-screen bitmap and
    // the present of its painted part.
    bool OnPaint();
    // The layout the pass starts with; true when the root was laid out
    // whole (a "windowsize" notification is due after the pass).
    bool LayOutForPaint(const RECT& rcClient);
    // Only the controls that asked for it, each once through its parent.
    void LayOutUpdatedControls();
    // Layered windows: the style set, the pending layered rectangle added to
    // the paint rectangle (held to the client size) and cleared.
    void PrepareLayeredPaint(RECT& rcPaint, int width, int height);
    // rcBits is rcPaint held to the bitmap; the bitmap is selected.
    void PaintOffscreen(const RECT& rcPaint, const RECT& rcBits);
    void PresentOffscreen(const RECT& rcWnd, const RECT& rcPaint, const RECT& rcBits, int width, int height);
    void OnPrintClient(HDC hDC, LPARAM lParam);
    void ClearPixels(const RECT& rc);
    void RepairAlpha(const RECT& rc);
    void PaintChildWindows(const RECT& rcPaint);
    void ReleaseOffscreen();

    HDC m_hDcOffscreen = nullptr;
    HBITMAP m_hbmpOffscreen = nullptr;
    BYTE* m_pOffscreenBits = nullptr;
    SIZE m_szOffscreen = {0, 0};
    bool m_bIsPainting = false;
    bool m_bLayered = false;
    BYTE m_nOpacity = 255;
    RECT m_rcLayeredInset = {0, 0, 0, 0};
    bool m_bShowUpdateRect = false;
    CStdPtrArray m_aChildWnds;  // HWND of painted child windows
    RECT m_rcCaret = {0, 0, 0, 0};
    bool m_bCaretActive = false;  // blink phase: drawn now
    bool m_bCaretShowing = false;
    CControlUI* m_pCurrentCaretObject = nullptr;
    RECT m_rcLayeredUpdate = {0, 0, 0, 0};
    CStdPtrArray m_aPostPaintControls;  // CControlUI*, in paint order
};

}  // namespace SkinUI
