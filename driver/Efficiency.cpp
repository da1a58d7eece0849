#include "app/FrmKelvane.h"

void FrmKelvane::EfficiencyCalcs() {}
