#include "app/MainWindow.h"

namespace pix {

void TForm1::Button2Click(QObject*)
{
}

} // namespace pix
