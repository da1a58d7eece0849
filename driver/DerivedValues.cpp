#include "app/FrmKelvane.h"

void FrmKelvane::CmdCalculateQts_Click() {}
void FrmKelvane::GetVd(double & /*VdOut*/) {}
