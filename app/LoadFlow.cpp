#include "app/MainWindow.h"

namespace pix {

void TForm1::Button1Click(QObject*)
{
}

} // namespace pix
