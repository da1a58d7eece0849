#include "app/FrmKelvane.h"
#include "driver/Program.h"

void FrmKelvane::VentLengths() {}
void FrmKelvane::BoxDimensions() {}
void FrmKelvane::TxtVentDia_KeyPress(int &KeyAscii)
{
    if (KeyAscii != Program::KeyEnter)
        Program::NumericKeyFilter(KeyAscii);
    else
        KeyAscii = 0;
}
