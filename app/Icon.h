#pragma once
#include <QIcon>

// The program's icon: a loudspeaker cabinet with a woofer and a port, drawn at 32 x 32.
QIcon kelvaneIcon();
QPixmap kelvaneIconPixmap(int size = 32);
