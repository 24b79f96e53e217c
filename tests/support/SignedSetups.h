#pragma once
// The stand-in setup (fake_setup.exe) in the forms the launcher's signature
// check tells apart. The build signs fake_setup.exe with the test
// certificate in the publisher's name and leaves beside it an unsigned copy
// and one signed by "Someone Else" (cmake/CodeSigning.cmake); the tampered
// form is made here: the signed file with one byte of its DOS stub changed,
// which the signature's digest covers.

#include <string>

namespace TestSupport {

enum SetupForm
{
    kSignedByPublisher,
    kUnsigned,
    kSignedByOther,
    kTampered
};

// The path of that form in the test programs' folder.
std::wstring StandInSetup(SetupForm form);
const char* SetupFormName(SetupForm form);

// The name in the "publisher" test certificate (UTF-16).
std::wstring TestSigner();

}  // namespace TestSupport
