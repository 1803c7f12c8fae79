#pragma once

#include <QString>

// The help document's file: qorview.hlp beside the program, else in ../share/qorview/ (empty when
// neither exists).
QString findHelpFile(const QString &programFolder);

// The help window's requests; the station's window implements them, start-up and the dialogs
// that offer help call them.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void ShowHelpContents() = 0;
    virtual void ShowHelpContext(int context) = 0;
    // Closes the help window; does nothing without a help file or an open window.
    virtual void CloseHelp() = 0;
};
