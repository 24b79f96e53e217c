#pragma once
// Images for DPI scales that a skin has no art for.
//
// A skin may hold each image also as "name@<scale>.png" for some scales
// (a draw string asks for that name at a scale other than 100). Where the asked scale's file is missing, the art of the nearest
// scale above it is taken, else that of the nearest below (100 being the
// plain name), and resampled smoothly to the size the asked scale needs.

#include "skinui/resource/ImageInfo.h"

#include <windows.h>

namespace SkinUI {

// The scales art may be looked for at, in percent, ascending.
extern const int kArtScales[];
extern const int kArtScaleCount;

// The scale a scaled image name carries ("bg@150.png" gives 150), or 0 for
// a name without the marker.
int ScaleOfImageName(LPCTSTR name);

// The name for another scale: every "@<from>." becomes "@<to>.", or "." when
// to is 100.
CUIString ImageNameForScale(LPCTSTR name, int from, int to);

// A new image of nWidth x nHeight drawn from the source's premultiplied
// pixels with a triangle filter (widened when shrinking, so that every
// source pixel counts). Null when a side is not positive, the image would
// have more than 16 Mi pixels, or memory or GDI fail. The caller frees it with CRenderEngine::FreeImage.
TImageInfo* ResampleImage(const TImageInfo& source, int nWidth, int nHeight);

}  // namespace SkinUI
