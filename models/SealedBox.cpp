#include "app/FrmKelvane.h"

void FrmKelvane::SealedBox() {}
