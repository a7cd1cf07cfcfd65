// Registered formats whose readers are still to come. Loading one fails cleanly with the load
// message. A reader moves its class definition into its own codec file.
#include "formats/Graphic.h"

const TGraphicClass gcMetafile{"TMetafile", nullptr, nullptr, true};
const TGraphicClass gcPcx{"TPcxGraphic"};
const TGraphicClass gcRla{"TRlaGraphic"};
const TGraphicClass gcSgi{"TSgiGraphic"};
const TGraphicClass gcAutodesk{"TAutodeskGraphic"};
const TGraphicClass gcDrHalo{"TCutGraphic"};
const TGraphicClass gcRaw{"TRawImage"};
