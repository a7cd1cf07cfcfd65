// Registered formats whose readers are still to come. Loading one fails cleanly with the load
// message. A reader moves its class definition into its own codec file.
#include "formats/Graphic.h"

const TGraphicClass gcPcx{"TPcxGraphic"};
const TGraphicClass gcRla{"TRlaGraphic"};
const TGraphicClass gcSgi{"TSgiGraphic"};
const TGraphicClass gcPsd{"TPsdGraphic"};
const TGraphicClass gcAutodesk{"TAutodeskGraphic"};
const TGraphicClass gcPhotoCd{"TPcdGraphic"};
const TGraphicClass gcDrHalo{"TCutGraphic"};
const TGraphicClass gcPaintShopPro{"TPspGraphic"};
const TGraphicClass gcOxs{"TOxsImage"};
const TGraphicClass gcOxi{"TMyImageLayeredReg"};

// Until their codec files exist.
const TGraphicClass gcRleBitmap{"TRleBitmap"};
