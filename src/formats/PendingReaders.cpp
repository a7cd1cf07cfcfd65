// Registered formats whose readers are still to come. Loading one fails cleanly with the load
// message. A reader moves its class definition into its own codec file.
#include "formats/Graphic.h"

const TGraphicClass gcMetafile{"TMetafile", nullptr, nullptr, true};
const TGraphicClass gcRaw{"TRawImage"};
