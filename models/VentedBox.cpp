#include "app/FrmKelvane.h"

void FrmKelvane::VentedBox() {}
