#include "platform/FileNames.h"

namespace pix {

const std::string_view kFolderSeparators = "\\:";

} // namespace pix
