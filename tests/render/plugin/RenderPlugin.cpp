// A control plug-in module as the paint manager loads it: it exports
// "CreateControl" and makes no controls.
#include <windows.h>

extern "C" __declspec(dllexport) void* CreateControl(const wchar_t* pstrClass)
{
    (void)pstrClass;
    return nullptr;
}
