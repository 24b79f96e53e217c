#include "tests/support/SkinFiles.h"

#include "tests/support/TempFolder.h"

namespace TestSupport {

std::string SkinSourceFile(const std::string& name)
{
    return std::string(VOZEROR_SKIN_SOURCE_DIR) + "/" + name;
}

std::string SkinPackageFile()
{
    return AnsiFromWide(TestBinDir()) + "skin.zip";
}

}  // namespace TestSupport
