// Compiled as part of the reader: must fail, since the UTF-16 conversions
// are the Windows services' and front-ends' alone.
#include "platform/Utf16.h"
