// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The first frame of an Autodesk flic (FLI or FLC), the form Animator Pro gives its CEL files:
// colour chunks and a whole-picture chunk (run-length or raw). A black first frame is refused:
// its few bytes would stand for a picture of any size.

#include "core/Bitmap.h"
#include "formats/ByteIO.h"

// True when the bytes carry the signature of a flic.
bool IsFlic(TBytes data);
TBitmap DecodeFlicFirstFrame(TBytes data);
