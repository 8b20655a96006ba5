#pragma once
// Pictures drawn in code: the demo account's photos and the preview shown
// for a picture the emulator cannot decode.
#include "devserver/jpegcodec.h"

namespace devserver {

enum class DemoPicture {
    kSunset,     // warm sky gradient with a sun
    kMountains,  // blue sky over layered ridges
    kTiles,      // coloured checkerboard
    kBeach,      // sea, sand and sky bands
};

RgbImage DrawDemoPicture(DemoPicture kind, int width, int height);
// A neutral grey tile with a frame, for contents that are not a readable JPEG.
RgbImage DrawPlaceholder(int width, int height);

}  // namespace devserver
