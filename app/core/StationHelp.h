#pragma once

#include <QString>

#include <memory>

class QTextBrowser;
class QWidget;
struct StationState;

// The help window: shows the station's help document (HTML in qorview.hlp) at its contents or at
// a context number, which is an anchor of that number in the document.
class StationHelp {
public:
    explicit StationHelp(StationState &state);
    ~StationHelp();
    StationHelp(const StationHelp &) = delete;
    StationHelp &operator=(const StationHelp &) = delete;

    void ShowHelpContents();
    void ShowHelpContext(int context);
    // Closes the help window; does nothing without a help file or an open window.
    void CloseHelp();

    bool isOpen() const;
    // The window while it exists (for tests and pictures).
    QWidget *window() const;
    QTextBrowser *browser() const;

private:
    void show(const QString &anchor);

    StationState &m_state;
    std::unique_ptr<QWidget> m_window;
    QTextBrowser *m_browser = nullptr;
};

// The help document's file: qorview.hlp beside the program, else in ../share/qorview/ (empty when
// neither exists).
QString findHelpFile(const QString &programFolder);
