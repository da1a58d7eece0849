#include "app/FrmKelvane.h"

void FrmKelvane::GraphDisplacement() {}
void FrmKelvane::CmdDisplacement_Click() {}
void FrmKelvane::CalculateDisplacementSPL() {}
void FrmKelvane::PicDisplacementLimit_MouseMove(int, int, double, double) {}
void FrmKelvane::CmdSaveDisplacement_Click() {}
void FrmKelvane::CmdPrintDisplacement_Click() {}
