#include "controls/TImage.h"

namespace pix {

TImage::TImage(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

} // namespace pix
