#include "app/FrmKelvane.h"

void FrmKelvane::CmdPrintBoxVent_Click() {}
