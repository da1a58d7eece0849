// The "Crossover" and "Crossover Plans" tabs: entry fields only, no calculation yet.

#include "app/Controls.h"
#include "app/FrmKelvane.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace controls;

QWidget *FrmKelvane::buildCrossoverTab()
{
    auto *page = new QWidget;
    const QString InductanceTip = QStringLiteral("Input Voice Coil Inductance - Used in Crossover Design.");

    auto *grid = new QGridLayout;
    grid->addWidget(heading(page, QStringLiteral("LblCrossoverHeading"),
                            QStringLiteral("Crossover Design Parameters")), 0, 0, 1, 3);
    struct Row { const char *labelName, *caption, *fieldName, *unit; QString tip; };
    const Row rows[] = {
        {"LblRe", "Woofer DC Voice Coil Resistance - Re:", "TxtRe", "Ohms",
         QStringLiteral("Input DC Voice Coil Resistance - Used with Zmax to estimate Efficiency if Qes is unknown.")},
        {"LblL", "Woofer Voice Coil Inductance - Le:", "TxtL", "mH", InductanceTip},
        {"LblZ", "Woofer Impedance:", "TxtZ", "Ohms",
         QStringLiteral("Input Nominal Impedance - Used in Crossover Design.")},
        {"LblTweeterFs", "Tweeter Resonance - Fs:", "Text1", "Hz", InductanceTip},
        {"LblTweeterZ", "Tweeter Impedance:", "Text2", "Ohms", InductanceTip},
        {"LblWooferXover", "Woofer Crossover Frequency:", "Text3", "Hz", InductanceTip},
        {"LblTweeterXover", "Tweeter Crossover Frequency:", "Text4", "Hz", InductanceTip},
    };
    int r = 1;
    for (const Row &row : rows) {
        grid->addWidget(label(page, QLatin1String(row.labelName), QLatin1String(row.caption)), r, 0);
        QLineEdit *f = field(page, QLatin1String(row.fieldName), QString(), row.tip);
        grid->addWidget(f, r, 1);
        grid->addWidget(label(page, QLatin1String(row.labelName) + QStringLiteral("Unit"),
                              QLatin1String(row.unit)), r, 2);
        if (row.fieldName == std::string_view("TxtRe"))
            TxtRe = f;
        else if (row.fieldName == std::string_view("TxtL"))
            TxtL = f;
        else if (row.fieldName == std::string_view("TxtZ"))
            TxtZ = f;
        ++r;
    }
    grid->setRowStretch(r, 1);

    auto *types = new QGroupBox(QStringLiteral("Two-Way Crossover Types"), page);
    types->setObjectName(QStringLiteral("FrameCrossoverType"));
    new QVBoxLayout(types);
    const char *typeNames[5] = {"First Order Butterworth", "Second Order Butterworth",
                                "Second Order Linkwitz-Riley", "Third Order Butterworth",
                                "Fourth Order Linkwitz-Riley"};
    for (int i = 0; i < 5; ++i) {
        OptCrossoverType[i] = option(types, arrayName("OptCrossoverType", i), QLatin1String(typeNames[i]), QString());
        OptCrossoverType[i]->setAutoExclusive(false); // none is selected at start
    }

    auto *picture = new QFrame(page);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setFrameShape(QFrame::Box);
    picture->setMinimumSize(220, 120);
    auto *pictureLayout = new QVBoxLayout(picture);
    QLabel *construction = heading(picture, QStringLiteral("LblUnderConstruction"), QStringLiteral("Under Construction"));
    construction->setAlignment(Qt::AlignCenter);
    pictureLayout->addWidget(construction);

    auto *side = new QVBoxLayout;
    side->addWidget(types);
    side->addWidget(label(page, QStringLiteral("LblCrossoverNotes"), QStringLiteral("Notes")));
    side->addWidget(picture, 1);

    auto *columns = new QHBoxLayout;
    columns->addLayout(grid, 1);
    columns->addSpacing(20);
    columns->addLayout(side, 1);

    CmdCalculateCrossover = button(page, QStringLiteral("CmdCalculateCrossover"), QStringLiteral("Calculate Crossover"),
                                   QStringLiteral("Click to calculate the frequency response(s) of the driver."));
    CmdExit[3] = exitButton(page, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CmdCalculateCrossover);
    buttons->addStretch(1);
    buttons->addWidget(CmdExit[3]);

    auto *outer = new QVBoxLayout(page);
    outer->addLayout(columns, 1);
    outer->addLayout(buttons);
    return page;
}

QWidget *FrmKelvane::buildCrossoverPlansTab()
{
    auto *page = new QWidget;
    QLabel *construction = heading(page, QStringLiteral("LblPlansUnderConstruction"), QStringLiteral("Under Construction"));
    construction->setAlignment(Qt::AlignCenter);
    CmdExit[4] = exitButton(page, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CmdExit[4]);
    auto *outer = new QVBoxLayout(page);
    outer->addWidget(construction, 1);
    outer->addLayout(buttons);
    return page;
}
