#pragma once

#include "InputSetupDialog.h"

// "Analog Setup": the description, full scale and zero offset of one analog input at a time,
// shown with five decimals; the spinner stops at the first and the last input.
class FormSetupAnalog : public InputSetupDialog {
    Q_OBJECT

public:
    explicit FormSetupAnalog(InputSetupParts parts, QWidget *parent = nullptr);

    void SetCurrentAnalog(int input) { setCurrentInput(input); }
    int GetCurrentAnalog() const { return currentInput(); }
};
