#pragma once

#include "LinkLibrary.h"

#include <QString>

#include <array>

// The station's side of the connection to the unit: the bound library, the handle and info
// record it returned, the reply buffer of text reads and whether failures are shown.
struct LinkSession {
    explicit LinkSession(LinkLibrary &library) : link(library) {}

    LinkLibrary &link;
    // 0 while connecting (failures stay silent), 1 once connected.
    int ReportLinkErrors = 0;
    // True while the link error handler's box is open: the failed call has not returned yet, so
    // nothing may call the library from the box's event loop.
    bool InLinkErrorHandler = false;
    QorInfo *LinkInfo = nullptr;
    QorHandle LinkHandle = nullptr;
    std::array<char, QOR_TEXT_BUFFER_SIZE> ReplyText{};

    // The text the library left in ReplyText, up to its first zero.
    QString replyText() const { return QString::fromLatin1(ReplyText.data()); }
};
