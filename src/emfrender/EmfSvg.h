// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// An enhanced metafile (EMF) drawn as SVG by libemf2svg. Only the helper program
// tavelune-emf-render and the fuzz programs link this: libemf2svg is under the GPL version 2
// only and so must stay out of the viewer's process, which links libraries under the LGPL
// version 3.

#include "emf/EmfRecords.h"

#include <string>

// The SVG text of the file's drawing. The records are walked first (ScanEmf) and the library
// reads the checked copy; throws ETaveluneError on a damaged file or when the library fails.
std::string EmfToSvgText(TEmfBytes data);
