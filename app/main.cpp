#include "app/FrmKelvane.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.6"));
    FrmKelvane window;   // shows itself as it loads
    return app.exec();
}
