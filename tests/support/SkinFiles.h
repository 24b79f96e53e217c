#pragma once
// The launcher's skin as the tests see it: the source files in resources/skin
// and the package that the build made of them, copied beside the tests.
// Paths are ANSI, like those of TempFolder.

#include <string>

namespace TestSupport {

// resources/skin/<name> of the source tree. The folder is the build's source
// path; under Wine that absolute path is found on the tests' current drive Z:.
std::string SkinSourceFile(const std::string& name);

// skin.zip beside the test executables.
std::string SkinPackageFile();

}  // namespace TestSupport
