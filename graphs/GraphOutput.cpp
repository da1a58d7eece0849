#include "app/FrmKelvane.h"
#include "graphs/GraphPicture.h"

void FrmKelvane::SaveGraphImage(GraphPicture *, const QString &, const QString &, void (FrmKelvane::*redraw)())
{
    (this->*redraw)();
}

void FrmKelvane::PrintGraphWindow(GraphPicture *, QPushButton *, QPushButton *, void (FrmKelvane::*redraw)())
{
    (this->*redraw)();
}
