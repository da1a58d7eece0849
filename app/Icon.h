#pragma once
#include <QIcon>

// The program's icon: a loudspeaker cabinet with a woofer and a port.
QIcon kelvaneIcon();
QPixmap kelvaneIconPixmap(int size = 32);
