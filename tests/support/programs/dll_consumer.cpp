// Loads each DLL named on its command line by its bare name, the way a
// program that never narrowed its DLL search path finds them, and exits with
// the number it could load. Started beside a planted DLL of one of those
// names under a native-first load order, it loads the planted one: the
// planted-DLL test's evidence that its planting is seen at all.
#include <windows.h>

#include <shellapi.h>

int main()
{
    int count = 0;
    wchar_t** names = CommandLineToArgvW(GetCommandLineW(), &count);
    if (names == nullptr) return 0;
    int loaded = 0;
    for (int i = 1; i < count; ++i) loaded += LoadLibraryW(names[i]) != nullptr;
    LocalFree(names);
    return loaded;
}
