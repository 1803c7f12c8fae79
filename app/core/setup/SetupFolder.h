#pragma once

#include <QString>

// Where setups live: $XDG_DOCUMENTS_DIR/QorView, or QorView in the documents folder the desktop
// names (~/Documents when it names none). Qt's documents location reads the desktop's folder
// list but not the variable, so the variable is looked at first. The folder is made when it is
// asked for and missing; a folder that cannot be made is still returned, and the file dialogs
// and saves then say what is wrong.
QString setupsFolder();
