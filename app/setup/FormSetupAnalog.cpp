#include "FormSetupAnalog.h"

FormSetupAnalog::FormSetupAnalog(InputSetupParts parts, QWidget *parent)
    : InputSetupDialog(parts,
                       {setupforms::InputKind::Analog, "Analog Setup", "TextCurrentAnalog",
                        "&Analog", "UpDownAnalog", "TextCAnalogValue", "CheckAutoIncAnalog",
                        "&Program Analog", false},
                       parent) {
    setObjectName(QStringLiteral("FormSetupAnalog"));
}
