// The swatch painter belongs to the dialogs and lives in settings/swatch.h.
// This header only forwards to it for paper/paper_input.cpp, the one file
// that includes it by this path; it goes when that file includes
// settings/swatch.h (or no longer paints the palette's swatch).
#pragma once

#include "settings/swatch.h"
