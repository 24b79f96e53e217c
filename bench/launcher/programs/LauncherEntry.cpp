// The launcher's entry point, compiled unchanged under the name VozerorWinMain
// so that the first-frame probe's own wWinMain can time it from outside.
#define wWinMain VozerorWinMain
#include "launcher/WinMain.cpp"
