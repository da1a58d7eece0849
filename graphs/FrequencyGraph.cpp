#include "app/FrmKelvane.h"

void FrmKelvane::Graph() {}
void FrmKelvane::CmdFrequency_Click() {}
void FrmKelvane::PicFrequency_MouseMove(int, int, double, double) {}
void FrmKelvane::CmdSave_Click() {}
void FrmKelvane::CmdPrintFreq_Click() {}
