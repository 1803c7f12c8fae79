#include "FormSetupLvdt.h"

FormSetupLvdt::FormSetupLvdt(InputSetupParts parts, QWidget *parent)
    : InputSetupDialog(parts,
                       {setupforms::InputKind::Probe, "Probe Setup", "TextCurrentLvdt", "P&robe",
                        "UpDownLvdt", "TextCLvdtValue", "CheckAutoIncLvdt", "&Program Probe", true},
                       parent) {
    setObjectName(QStringLiteral("FormSetupLvdt"));
}
