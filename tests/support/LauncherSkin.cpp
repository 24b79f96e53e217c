#include "tests/support/LauncherSkin.h"

namespace TestSupport {

const LauncherSkinControl kLauncherSkin[] = {
    {0, L"Label", L"LabelUI1", 5, 5, 30, 30, true, L"", L"logo.png", 0},
    {0, L"Label", L"", 50, 10, 120, 20, true, L"Vozeror", L"", 0},
    {0, L"Button", L"closebtn", 500, 5, 30, 30, true, L"", L"", 0},
    {1, L"Button", L"computer_install", 68, 20, 400, 90, true, L"", L"", 0xFFFFFFFF},
    {1, L"Button", L"computer_run", 68, 20, 400, 90, true, L"", L"", 0xFFFFFFFF},
    {1, L"Progress", L"computer_pro", 292, 40, 80, 8, true, L"", L"install_b.png", 0},
    {1, L"Button", L"phone_jump", 68, 150, 400, 90, true, L"", L"", 0xFFFFFFFF},
    {1, L"Label", L"firstBK3", 33, 20, 470, 250, false, L"", L"", 0xFFFFFFFF},
    {1, L"Button", L"iphone_install", 92, 75, 158, 178, false, L"", L"", 0},
    {1, L"Button", L"iphone_run", 92, 75, 158, 178, false, L"", L"", 0},
    {1, L"Button", L"android_install", 290, 75, 158, 178, false, L"", L"", 0},
    {1, L"Button", L"android_run", 290, 75, 158, 178, false, L"", L"", 0},
    {1, L"Label", L"choose_text", 122, 40, 300, 30, false, L"请选择需要恢复的手机类型", L"", 0},
    {1, L"Progress", L"iphone_pro", 130, 200, 80, 8, false, L"", L"install_b.png", 0},
    {1, L"Progress", L"android_pro", 328, 200, 80, 8, false, L"", L"install_b.png", 0},
    {2, L"Label", L"qq_ico", 120, 20, 14, 14, true, L"", L"qq_ico.png", 0},
    {2, L"Button", L"qq", 138, 18, 100, 20, true, L"客服:4000012345", L"", 0},
    {2, L"Label", L"tel_ico", 250, 20, 14, 14, true, L"", L"tel_ico.png", 0},
    {2, L"Button", L"tel", 268, 18, 100, 20, true, L"热线:4000012345", L"", 0},
    {2, L"Button", L"return", 450, 15, 60, 30, false, L"{u}<<返回{/u}", L"", 0},
};
const int kLauncherSkinCount = sizeof(kLauncherSkin) / sizeof(kLauncherSkin[0]);

const int kLauncherRowHeight[3] = {50, 255, 50};
const int kLauncherRowTop[3] = {0, 50, 305};

int LauncherRowCount(int row)
{
    int count = 0;
    for (int i = 0; i < kLauncherSkinCount; ++i)
        if (kLauncherSkin[i].row == row) ++count;
    return count;
}

}  // namespace TestSupport
