#pragma once

#include "InputSetupDialog.h"

// "Probe Setup": the description, full scale and zero offset of one LVDT probe at a time, shown
// with the default decimals; the spinner wraps around from the last probe to the first.
class FormSetupLvdt : public InputSetupDialog {
    Q_OBJECT

public:
    explicit FormSetupLvdt(InputSetupParts parts, QWidget *parent = nullptr);

    void SetCurrentLvdt(int probe) { setCurrentInput(probe); }
    int GetCurrentLvdt() const { return currentInput(); }
};
