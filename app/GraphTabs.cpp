// SPDX-License-Identifier: GPL-3.0-or-later
// The two graph tabs: each holds a picture (640 x 480, larger as the window grows) with its readout
// fields above the plot and its "Save Image" and "Print" buttons right of it, all kept at the
// picture's right edge.

#include "app/Controls.h"
#include "app/FrmKelvane.h"
#include "graphs/GraphPicture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace controls;

namespace {

QLineEdit *readout(GraphPicture *picture, const char *name, const char *text, int x, int width)
{
    QLineEdit *f = controls::readout(picture, QLatin1String(name), QLatin1String(text), x, width);
    picture->keepRight(f);
    return f;
}

QPushButton *pictureButton(GraphPicture *picture, const char *name, const char *caption, int y, const QString &tip)
{
    QPushButton *b = button(picture, QLatin1String(name), QLatin1String(caption), tip);
    b->setGeometry(556, y, 80, 26);
    picture->keepRight(b);
    return b;
}

QWidget *graphPage(GraphPicture *picture)
{
    auto *page = new QWidget;
    auto *outer = new QVBoxLayout(page);
    outer->addWidget(new PictureHolder(picture));
    return page;
}

} // namespace

QWidget *FrmKelvane::buildFrequencyTab()
{
    PicFrequency = new GraphPicture;
    PicFrequency->setObjectName(QStringLiteral("PicFrequency"));
    TxtFreqXNum = readout(PicFrequency, "TxtFreqXNum", "Hz", 380, 80);
    TxtSPLYNum = readout(PicFrequency, "TxtSPLYNum", "dB", 466, 80);
    CmdSave = pictureButton(PicFrequency, "CmdSave", "Save Image", 76,
                            QStringLiteral("Click to save this graph image."));
    CmdPrintFreq = pictureButton(PicFrequency, "CmdPrintFreq", "Print", 106,
                                 QStringLiteral("Click to Print this form."));
    return graphPage(PicFrequency);
}

QWidget *FrmKelvane::buildDisplacementTab()
{
    PicDisplacementLimit = new GraphPicture;
    PicDisplacementLimit->setObjectName(QStringLiteral("PicDisplacementLimit"));
    TxtFreqPowerXNum = readout(PicDisplacementLimit, "TxtFreqPowerXNum", "Hz", 300, 76);
    TxtSPLpowerYNum = readout(PicDisplacementLimit, "TxtSPLpowerYNum", "dB", 380, 76);
    TxtSPLpowerYwattsNum = readout(PicDisplacementLimit, "TxtSPLpowerYwattsNum", "Watts", 460, 86);
    CmdSaveDisplacement = pictureButton(PicDisplacementLimit, "CmdSaveDisplacement", "Save Image", 76,
                                        QStringLiteral("Click to save this graph image."));
    CmdPrintDisplacement = pictureButton(PicDisplacementLimit, "CmdPrintDisplacement", "Print", 106,
                                         QStringLiteral("Click to Print this form."));
    return graphPage(PicDisplacementLimit);
}
