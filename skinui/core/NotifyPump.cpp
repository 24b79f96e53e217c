#include "skinui/core/NotifyPump.h"

#include "skinui/control/Control.h"

namespace SkinUI {

// The root map: no entries, no base.
const UI_MSGMAP* CNotifyPump::GetThisMessageMap()
{
    return &CNotifyPump::s_messageMap;
}

const UI_MSGMAP* CNotifyPump::GetMessageMap() const
{
    return &CNotifyPump::s_messageMap;
}

const UI_MSGMAP CNotifyPump::s_messageMap = {nullptr, &CNotifyPump::s_messageEntries[0]};

const UI_MSGMAP_ENTRY CNotifyPump::s_messageEntries[] = {
    {CUIString(), CUIString(), SigEnd, nullptr},
};

CNotifyPump::CNotifyPump() : m_VirtualWndMap(83) {}

CNotifyPump::~CNotifyPump() {}

bool CNotifyPump::AddVirtualWnd(CUIString strName, CNotifyPump* pObject)
{
    if (pObject == nullptr) return false;
    if (m_VirtualWndMap.Find(strName, false) != nullptr) return false;
    return m_VirtualWndMap.Insert(strName, pObject);
}

bool CNotifyPump::RemoveVirtualWnd(CUIString strName)
{
    if (m_VirtualWndMap.Find(strName, false) == nullptr) return false;
    return m_VirtualWndMap.Remove(strName);
}

const UI_MSGMAP_ENTRY* CNotifyPump::FindMessageEntry(const UI_MSGMAP_ENTRY* lpEntry, const TNotifyUI& msg)
{
    if (lpEntry == nullptr) return nullptr;
    // A queued notification whose sender was destroyed comes without one and
    // matches only entries for any control.
    const CUIString sCtrlName = msg.sender != nullptr ? msg.sender->GetName() : CUIString();
    const UI_MSGMAP_ENTRY* pAnyControl = nullptr;
    for (; lpEntry->nSig != SigEnd; ++lpEntry) {
        if (lpEntry->sMsgType != msg.type) continue;
        if (lpEntry->sCtrlName.IsEmpty()) {
            pAnyControl = lpEntry;
        } else if (lpEntry->sCtrlName == sCtrlName) {
            return lpEntry;
        }
    }
    return pAnyControl;
}

bool CNotifyPump::LoopDispatch(TNotifyUI& msg)
{
    for (const UI_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr) {
        const UI_MSGMAP_ENTRY* lpEntry = FindMessageEntry(pMap->lpEntries, msg);
        if (lpEntry == nullptr) continue;
        if ((lpEntry->nSig != SigWParamLParam && lpEntry->nSig != SigNotify) || lpEntry->pfn == nullptr) {
            return false;
        }
        lpEntry->pfn(this, msg);
        return true;
    }
    return false;
}

void CNotifyPump::NotifyPump(TNotifyUI& msg)
{
    if (!msg.virtualWnd.IsEmpty()) {
        for (int i = 0; i < m_VirtualWndMap.GetSize(); ++i) {
            LPCTSTR key = m_VirtualWndMap.GetAt(i);
            if (key == nullptr || msg.virtualWnd.CompareNoCase(key) != 0) continue;
            CNotifyPump* pObject = static_cast<CNotifyPump*>(m_VirtualWndMap.Find(key, false));
            if (pObject != nullptr && pObject->LoopDispatch(msg)) return;
        }
    }
    LoopDispatch(msg);
}

}  // namespace SkinUI
