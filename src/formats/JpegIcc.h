#pragma once
// The ICC profile a JPEG file carries in its APP2 "ICC_PROFILE" segments.

#include "formats/ByteIO.h"

#include <QByteArray>

// Each segment holds its sequence number (1..count), the count (at most 255) and a piece of the
// profile; the pieces joined in sequence order make it. Empty when the file has none, or when
// the pieces are inconsistent (a number twice or missing, counts that differ, the joined size
// above kMaxIccProfileSize). Only the segments before the first scan count.
QByteArray JpegIccProfile(TBytes data);
