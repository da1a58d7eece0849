// SPDX-License-Identifier: GPL-3.0-or-later
// The Crossover tab's drivers panel: its controls (the drivers' data frames, the tweeter's level,
// offset and polarity, the used values), the fields as typed with their checks on Enter, and what
// a design file keeps of it.
#include "app/CrossoverDriversPanel.h"

#include "app/Controls.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/GraphPicture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

using namespace kelvane;

namespace {

// The part's value in the unit its caption uses: millihenries or microfarads.
double unitScale(const crossover::Component &c)
{
    return c.kind == crossover::Component::Inductor ? 1e3 : 1e6;
}

// The offset as typed: a number with an optional leading minus sign (in front of the woofer).
std::optional<double> signedNumber(const QString &text)
{
    const bool negative = text.startsWith(QLatin1Char('-'));
    const std::optional<double> value = parseNumber(negative ? text.mid(1) : text);
    return value && negative ? std::optional<double>(-*value) : value;
}

} // namespace

CrossoverDriversPanel::CrossoverDriversPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("CrossoverDriversPanel"));
    const auto dataFrame = [this](const QString &name, const QString &caption, QPushButton *&response,
                                  QPushButton *&impedance, QPushButton *&clear, QLabel *&data, const QString &who) {
        auto *frame = new QGroupBox(caption, this);
        frame->setObjectName(name + QStringLiteral("Data"));
        const QString prefix = QStringLiteral("Cmd") + name.mid(5);
        response = controls::button(frame, prefix + QStringLiteral("Response"), QStringLiteral("Response…"),
                                    QStringLiteral("Load the ") + who + QStringLiteral("'s frequency response file (.frd, .txt)."));
        impedance = controls::button(frame, prefix + QStringLiteral("Impedance"), QStringLiteral("Impedance…"),
                                     QStringLiteral("Load the ") + who + QStringLiteral("'s impedance file (.zma, .txt)."));
        clear = controls::button(frame, prefix + QStringLiteral("ClearData"), QStringLiteral("Clear"),
                                 QStringLiteral("Forget the ") + who + QStringLiteral("'s files."));
        data = controls::label(frame, QStringLiteral("Lbl") + name.mid(5) + QStringLiteral("Data"), QString());
        data->setWordWrap(true);
        auto *buttons = new QHBoxLayout;
        buttons->addWidget(response);
        buttons->addWidget(impedance);
        buttons->addWidget(clear);
        buttons->addStretch(1);
        auto *box = new QVBoxLayout(frame);
        box->setContentsMargins(6, 2, 6, 2);
        box->addLayout(buttons);
        box->addWidget(data);
        return frame;
    };
    FrameWooferData = dataFrame(QStringLiteral("FrameWoofer"), QStringLiteral("Woofer data"), CmdWooferResponse,
                                CmdWooferImpedance, CmdWooferClearData, LblWooferData, QStringLiteral("woofer"));
    FrameTweeterData = dataFrame(QStringLiteral("FrameTweeter"), QStringLiteral("Tweeter data"), CmdTweeterResponse,
                                 CmdTweeterImpedance, CmdTweeterClearData, LblTweeterData, QStringLiteral("tweeter"));

    CboCrossoverBox = new QComboBox(this);
    CboCrossoverBox->setObjectName(QStringLiteral("CboCrossoverBox"));
    CboCrossoverBox->addItems({QStringLiteral("Sealed box"), QStringLiteral("Vented box")});
    CboCrossoverBox->setToolTip(QStringLiteral("The box of the Box Model the woofer is modelled in."));
    CboCrossoverGraph = new QComboBox(this);
    CboCrossoverGraph->setObjectName(QStringLiteral("CboCrossoverGraph"));
    CboCrossoverGraph->addItems({QStringLiteral("Filter sections"), QStringLiteral("Response on the drivers"),
                                 QStringLiteral("Phase on the drivers"), QStringLiteral("Impedance at the amplifier")});
    CboCrossoverGraph->setToolTip(QStringLiteral("Choose what the picture shows."));
    TxtTweeterSPL = controls::field(this, QStringLiteral("TxtTweeterSPL"), QString(),
                                    QStringLiteral("The tweeter's sensitivity, dB at 2.83 V / 1 m (empty: the woofer's)."), 6);
    TxtAcousticOffset = controls::field(this, QStringLiteral("TxtAcousticOffset"), QStringLiteral("0"),
                                        QStringLiteral("How far (mm) the tweeter's acoustic centre lies behind (+) or in "
                                                       "front of (-) the woofer's."), 6);
    ChkTweeterReversed = new QCheckBox(QStringLiteral("Tweeter reversed"), this);
    ChkTweeterReversed->setObjectName(QStringLiteral("ChkTweeterReversed"));
    ChkTweeterReversed->setToolTip(QStringLiteral("Connect the tweeter in reversed polarity."));
    for (int i = 0; i < 4; ++i) {
        TxtWooferPartUsed[std::size_t(i)] = controls::field(this, controls::arrayName("TxtWooferPartUsed", i), QString(),
                                                            QStringLiteral("The value you build with."), 6);
        TxtTweeterPartUsed[std::size_t(i)] = controls::field(this, controls::arrayName("TxtTweeterPartUsed", i), QString(),
                                                             QStringLiteral("The value you build with."), 6);
        TxtWooferPartUsed[std::size_t(i)]->setAccessibleName(QStringLiteral("Woofer part %1 as built").arg(i + 1));
        TxtTweeterPartUsed[std::size_t(i)]->setAccessibleName(QStringLiteral("Tweeter part %1 as built").arg(i + 1));
    }

    // CboCrossoverGraph stands beside the picture (the window places it).
    auto *options = new QGridLayout;
    options->addWidget(controls::label(this, QStringLiteral("LblCrossoverBox"), QStringLiteral("Woofer modelled in:")), 0, 0);
    options->addWidget(CboCrossoverBox, 0, 1);
    options->addWidget(controls::label(this, QStringLiteral("LblTweeterSPL"), QStringLiteral("Tweeter sensitivity (dB):")), 1, 0);
    options->addWidget(TxtTweeterSPL, 1, 1);
    options->addWidget(controls::label(this, QStringLiteral("LblAcousticOffset"), QStringLiteral("Tweeter offset (mm):")), 2, 0);
    options->addWidget(TxtAcousticOffset, 2, 1);
    options->addWidget(ChkTweeterReversed, 3, 0, 1, 2);
    options->setColumnStretch(2, 1);
    buildAsBuilt();
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(FrameWooferData);
    outer->addWidget(FrameTweeterData);
    outer->addLayout(options);
    outer->addWidget(FrameAsBuilt);

    connect(CmdWooferResponse, &QPushButton::clicked, this, [this] { chooseFile(WooferResponse); });
    connect(CmdWooferImpedance, &QPushButton::clicked, this, [this] { chooseFile(WooferImpedance); });
    connect(CmdTweeterResponse, &QPushButton::clicked, this, [this] { chooseFile(TweeterResponse); });
    connect(CmdTweeterImpedance, &QPushButton::clicked, this, [this] { chooseFile(TweeterImpedance); });
    connect(CmdWooferClearData, &QPushButton::clicked, this, [this] { clearData(true); });
    connect(CmdTweeterClearData, &QPushButton::clicked, this, [this] { clearData(false); });
    connect(CboCrossoverBox, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_)
            return;
        userBox_ = true;
        simulate();
        redraw();
        emit settingsChanged();
    });
    connect(CboCrossoverGraph, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_)
            return;
        redraw();
        if (!drawsPicture())
            emit filterSectionsChosen();
        emit settingsChanged();
    });
    connect(ChkTweeterReversed, &QCheckBox::toggled, this, [this] {
        if (filling_)
            return;
        simulate();
        redraw();
        emit settingsChanged();
    });
    for (QLineEdit *f : {TxtTweeterSPL, TxtAcousticOffset})
        f->installEventFilter(this);
    for (std::size_t i = 0; i < 4; ++i) {
        TxtWooferPartUsed[i]->installEventFilter(this);
        TxtTweeterPartUsed[i]->installEventFilter(this);
        TxtWooferPartUsed[i]->setEnabled(false);
        TxtTweeterPartUsed[i]->setEnabled(false);
    }
    showData();
}

void CrossoverDriversPanel::attach(GraphPicture *picture, QLineEdit *xNum, QLineEdit *yNum, QLabel *notes)
{
    picture_ = picture;
    xNum_ = xNum;
    yNum_ = yNum;
    notes_ = notes;
    TxtCrossoverWooferNum = controls::readout(picture, QStringLiteral("TxtCrossoverWooferNum"), QString(), 198, 82);
    TxtCrossoverTweeterNum = controls::readout(picture, QStringLiteral("TxtCrossoverTweeterNum"), QString(), 282, 82);
    TxtCrossoverSumNum = controls::readout(picture, QStringLiteral("TxtCrossoverSumNum"), QString(), 366, 82);
    const std::pair<QLineEdit *, const char *> spoken[] = {{TxtCrossoverWooferNum, "Woofer value under the mouse"},
                                                            {TxtCrossoverTweeterNum, "Tweeter value under the mouse"},
                                                            {TxtCrossoverSumNum, "Sum value under the mouse"}};
    for (const auto &[readout, name] : spoken) {
        readout->setAccessibleName(QLatin1String(name));
        picture->keepRight(readout);
        readout->setVisible(false);
    }
}

void CrossoverDriversPanel::setSnapshot(const CrossoverDriversSnapshot &snapshot, bool newNetwork)
{
    // A run of the optimizer belongs to the network it started on.
    waitOptimizer();
    snapshot_ = snapshot;
    filling_ = true;
    if (!userBox_)
        CboCrossoverBox->setCurrentIndex(std::clamp(snapshot.recommendedBox, 0, 1));
    if (!powerTyped_)
        TxtCrossoverPower->setText(snapshot.woofer.maxPower > 0 ? generalNumber(snapshot.woofer.maxPower) : QString());
    if (newNetwork && snapshot.network) {
        fillUsed(snapshot.network->woofer, TxtWooferPartUsed);
        fillUsed(snapshot.network->tweeter, TxtTweeterPartUsed);
        ChkTweeterReversed->setChecked(snapshot.network->tweeterSign < 0);
        fillDcr(true, false);
        fillDcr(false, false);
        showNearest();
        edited();
    }
    if (!snapshot.network)
        for (std::size_t i = 0; i < 4; ++i) {
            TxtWooferPartUsed[i]->clear();
            TxtTweeterPartUsed[i]->clear();
            TxtWooferPartUsed[i]->setEnabled(false);
            TxtTweeterPartUsed[i]->setEnabled(false);
            TxtWooferPartDCR[i]->clear();
            TxtTweeterPartDCR[i]->clear();
            TxtWooferPartDCR[i]->setEnabled(false);
            TxtTweeterPartDCR[i]->setEnabled(false);
        }
    filling_ = false;
    simulate();
    redraw();
}

void CrossoverDriversPanel::fillUsed(const crossover::Section &section, const std::array<QLineEdit *, 4> &fields)
{
    const std::vector<double> e12 = crossover::seriesValues(section, series());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const bool used = i < section.size();
        fields[i]->setText(used ? generalNumber(e12[i] * unitScale(section[i])) : QString());
        fields[i]->setToolTip(used ? QStringLiteral("The value you build with, ")
                                         + QLatin1String(section[i].kind == crossover::Component::Inductor ? "mH." : "uF.")
                                   : QStringLiteral("The value you build with."));
        fields[i]->setEnabled(used);
    }
}

std::vector<double> CrossoverDriversPanel::usedValues(bool woofer) const
{
    std::vector<double> values;
    if (!snapshot_.network)
        return values;
    const crossover::Section &section = woofer ? snapshot_.network->woofer : snapshot_.network->tweeter;
    const std::array<QLineEdit *, 4> &fields = woofer ? TxtWooferPartUsed : TxtTweeterPartUsed;
    for (std::size_t i = 0; i < section.size() && i < fields.size(); ++i)
        values.push_back(parseNumber(fields[i]->text()).value_or(0.0) / unitScale(section[i]));
    return values;
}

crossover::Acoustics CrossoverDriversPanel::acoustics() const
{
    return {signedNumber(TxtAcousticOffset->text()).value_or(0.0), ChkTweeterReversed->isChecked()};
}

bool CrossoverDriversPanel::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (field && event->type() == QEvent::FocusIn) {
        field->selectAll();
        if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, field, [field] { field->selectAll(); });
    }
    if (field && event->type() == QEvent::KeyPress) {
        int KeyAscii = Program::KeyAsciiOf(static_cast<QKeyEvent *>(event));
        if (KeyAscii < 0)
            return QWidget::eventFilter(watched, event);
        if (KeyAscii == Program::KeyEnter) {
            fieldEntered(field);
            // As on the Input tab, Enter moves the focus on once the handler has finished.
            QWidget *target = focusWidget() ? focusWidget() : this;
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier,
                                                              QStringLiteral("\t")));
            return true;
        }
        // The offset may lie in front of the woofer: a leading minus sign is allowed there.
        if (field == TxtAcousticOffset && KeyAscii == '-') {
            QString rest = field->text();
            const int at = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
            if (field->hasSelectedText())
                rest.remove(field->selectionStart(), field->selectedText().size());
            return !(at == 0 && !rest.contains(QLatin1Char('-')));
        }
        Program::NumericKeyFilter(KeyAscii);
        if (KeyAscii == 0)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CrossoverDriversPanel::fieldEntered(QLineEdit *field)
{
    const QString text = field->text();
    const std::optional<double> value = field == TxtAcousticOffset ? signedNumber(text) : parseNumber(text);
    const auto dcrIndex = [field](const std::array<QLineEdit *, 4> &fields) {
        return int(std::find(fields.begin(), fields.end(), field) - fields.begin());
    };
    const int wooferDcr = dcrIndex(TxtWooferPartDCR), tweeterDcr = dcrIndex(TxtTweeterPartDCR);
    const int wooferUsed = dcrIndex(TxtWooferPartUsed), tweeterUsed = dcrIndex(TxtTweeterPartUsed);
    if (field == TxtAcousticOffset) {
        if (!text.isEmpty() && !value) {
            Program::ShowNumberError();
            field->setText(QStringLiteral("0"));
        }
    } else if (field == TxtTweeterSPL || field == TxtBaffleWidth) {
        // Empty is the woofer's sensitivity; no baffle step.
        if (!text.isEmpty() && (!value || *value <= 0)) {
            Program::ShowNumberError();
            field->clear();
        }
    } else if (field == TxtTweeterPad) {
        // Empty: no pad.
        if (!text.isEmpty() && (!value || *value > 20)) {
            Program::ShowNumberError();
            field->clear();
        }
    } else if (field == TxtBafflePercent) {
        if (!value || *value > 100) {
            if (!text.isEmpty())
                Program::ShowNumberError();
            field->setText(QStringLiteral("0"));
        }
    } else if (field == TxtCrossoverPower) {
        // Empty (or refused) goes back to the driver's maximum power.
        powerTyped_ = value && *value > 0;
        if (!text.isEmpty() && !powerTyped_)
            Program::ShowNumberError();
        if (!powerTyped_)
            field->setText(snapshot_.woofer.maxPower > 0 ? generalNumber(snapshot_.woofer.maxPower) : QString());
    } else if (wooferDcr < 4 || tweeterDcr < 4) {
        // A coil's resistance typed stays through the optimizer; empty (or refused) is the default.
        std::array<bool, 4> &typed = wooferDcr < 4 ? wooferDcrTyped_ : tweeterDcrTyped_;
        const std::size_t i = std::size_t(wooferDcr < 4 ? wooferDcr : tweeterDcr);
        if (!text.isEmpty() && !value)
            Program::ShowNumberError();
        typed[i] = value.has_value();
        fillDcr(wooferDcr < 4, true);
    } else if ((!value || *value <= 0) && snapshot_.network) {
        // A used value that is not a number above 0 goes back to the part's value of the series.
        Program::ShowNumberError();
        for (bool woofer : {true, false}) {
            const std::array<QLineEdit *, 4> &fields = woofer ? TxtWooferPartUsed : TxtTweeterPartUsed;
            const crossover::Section &section = woofer ? snapshot_.network->woofer : snapshot_.network->tweeter;
            for (std::size_t i = 0; i < section.size() && i < 4; ++i)
                if (fields[i] == field)
                    field->setText(generalNumber(crossover::seriesValues(section, series())[i] * unitScale(section[i])));
        }
    }
    // A coil's default resistance follows its value.
    if (snapshot_.network && (wooferUsed < 4 || tweeterUsed < 4))
        fillDcr(wooferUsed < 4, true);
    edited();
    simulate();
    redraw();
    emit settingsChanged();
}

design::CrossoverDriversSettings CrossoverDriversPanel::settings() const
{
    design::CrossoverDriversSettings s;
    s.curves = curves_;
    for (std::size_t i = 0; i < 4; ++i) {
        s.wooferUsed[i] = TxtWooferPartUsed[i]->text();
        s.tweeterUsed[i] = TxtTweeterPartUsed[i]->text();
    }
    s.tweeterSpl = TxtTweeterSPL->text();
    s.offset = TxtAcousticOffset->text();
    s.reversed = ChkTweeterReversed->isChecked();
    s.box = userBox_ ? CboCrossoverBox->currentIndex() : -1;
    s.graph = CboCrossoverGraph->currentIndex();
    for (std::size_t i = 0; i < 4; ++i) {
        s.wooferDcr[i] = TxtWooferPartDCR[i]->text();
        s.tweeterDcr[i] = TxtTweeterPartDCR[i]->text();
    }
    s.pad = TxtTweeterPad->text();
    s.baffleWidth = TxtBaffleWidth->text();
    s.bafflePercent = TxtBafflePercent->text();
    s.power = powerTyped_ ? TxtCrossoverPower->text() : QString();
    s.series = CboPartSeries->currentIndex();
    return s;
}

void CrossoverDriversPanel::applySettings(const design::CrossoverDriversSettings &s)
{
    waitOptimizer();
    filling_ = true;
    curves_ = s.curves;
    // The series first: the used values of the file then replace the series' values.
    CboPartSeries->setCurrentIndex(std::clamp(s.series, 0, 1));
    if (snapshot_.network) {
        fillUsed(snapshot_.network->woofer, TxtWooferPartUsed);
        fillUsed(snapshot_.network->tweeter, TxtTweeterPartUsed);
        showNearest();
    }
    if (snapshot_.network)
        for (std::size_t i = 0; i < 4; ++i) {
            if (TxtWooferPartUsed[i]->isEnabled() && parseNumber(s.wooferUsed[i]))
                TxtWooferPartUsed[i]->setText(s.wooferUsed[i]);
            if (TxtTweeterPartUsed[i]->isEnabled() && parseNumber(s.tweeterUsed[i]))
                TxtTweeterPartUsed[i]->setText(s.tweeterUsed[i]);
        }
    // A coil's resistance that is a number was typed (the default is filled anew from its value).
    fillDcr(true, false);
    fillDcr(false, false);
    if (snapshot_.network)
        for (bool woofer : {true, false}) {
            const std::array<QString, 4> &texts = woofer ? s.wooferDcr : s.tweeterDcr;
            const std::array<QLineEdit *, 4> &fields = woofer ? TxtWooferPartDCR : TxtTweeterPartDCR;
            std::array<bool, 4> &typed = woofer ? wooferDcrTyped_ : tweeterDcrTyped_;
            for (std::size_t i = 0; i < 4; ++i)
                if (fields[i]->isEnabled() && parseNumber(texts[i]) && texts[i] != fields[i]->text()) {
                    fields[i]->setText(texts[i]);
                    typed[i] = true;
                }
        }
    const std::optional<double> pad = parseNumber(s.pad), width = parseNumber(s.baffleWidth),
                                percent = parseNumber(s.bafflePercent), power = parseNumber(s.power);
    TxtTweeterPad->setText(pad && *pad <= 20 ? s.pad : QString());
    TxtBaffleWidth->setText(width && *width > 0 ? s.baffleWidth : QString());
    TxtBafflePercent->setText(percent && *percent <= 100 ? s.bafflePercent : QStringLiteral("0"));
    powerTyped_ = power && *power > 0;
    TxtCrossoverPower->setText(powerTyped_ ? s.power
                                           : snapshot_.woofer.maxPower > 0 ? generalNumber(snapshot_.woofer.maxPower)
                                                                           : QString());
    edited();
    TxtTweeterSPL->setText(s.tweeterSpl);
    TxtAcousticOffset->setText(s.offset.isEmpty() ? QStringLiteral("0") : s.offset);
    if (s.reversed)
        ChkTweeterReversed->setChecked(*s.reversed);
    userBox_ = s.box >= 0;
    CboCrossoverBox->setCurrentIndex(userBox_ ? std::clamp(s.box, 0, 1) : std::clamp(snapshot_.recommendedBox, 0, 1));
    CboCrossoverGraph->setCurrentIndex(std::clamp(s.graph, 0, 3));
    filling_ = false;
    simulate();
    redraw();
    if (!drawsPicture())
        emit filterSectionsChosen();
}
