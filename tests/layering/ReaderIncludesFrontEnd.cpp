// Compiled as part of the reader: must fail, since a front-end's header is
// above it.
#include "app/pixcsv/PixCsv.h"
