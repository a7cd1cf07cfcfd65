// Registered formats whose readers are still to come. Loading one fails cleanly with the load
// message. A reader moves its class definition into its own codec file.
#include "formats/Graphic.h"

const TGraphicClass gcMetafile{"TMetafile", nullptr, nullptr, true};
const TGraphicClass gcPsd{"TPsdGraphic"};
const TGraphicClass gcPhotoCd{"TPcdGraphic"};
const TGraphicClass gcPaintShopPro{"TPspGraphic"};
const TGraphicClass gcOxs{"TOxsImage"};
const TGraphicClass gcOxi{"TMyImageLayeredReg"};
const TGraphicClass gcRaw{"TRawImage"};

// Until their codec files exist.
const TGraphicClass gcRleBitmap{"TRleBitmap"};
