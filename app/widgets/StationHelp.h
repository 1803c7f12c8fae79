#pragma once

#include "HelpFile.h"

#include <QString>

#include <memory>

class QTextBrowser;
class QWidget;
class Prompts;
struct StationConfig;

// The help window: shows the station's help document (HTML in qorview.hlp) at its contents or at
// a context number, which is an anchor of that number in the document.
class StationHelp : public HelpViewer {
public:
    StationHelp(const StationConfig &config, Prompts &prompts);
    ~StationHelp() override;
    StationHelp(const StationHelp &) = delete;
    StationHelp &operator=(const StationHelp &) = delete;

    void ShowHelpContents() override;
    void ShowHelpContext(int context) override;
    void CloseHelp() override;

    bool isOpen() const;
    // The window while it exists (for tests and pictures).
    QWidget *window() const;
    QTextBrowser *browser() const;

private:
    void show(const QString &anchor);

    const StationConfig &m_config;
    Prompts &m_prompts;
    std::unique_ptr<QWidget> m_window;
    QTextBrowser *m_browser = nullptr;
};
