#include "app/FrmKelvane.h"

void FrmKelvane::OptSealedVolumeBox_Click(int /*Index*/) {}
