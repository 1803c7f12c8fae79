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
    // True while a box about the link is open (the error handler's, or the one that waits for a
    // vanished device): the failed call may not have returned yet, so nothing may call the
    // library from the box's event loop.
    bool InLinkErrorHandler = false;
    // The operator chose Retry after the unit did not respond: the link is opened again (same
    // port and rate) once the failing call has returned.
    bool ReopenRequested = false;
    // The station is closing (a signal came while a link box was open): no box may hold it up.
    bool CloseRequested = false;
    // Library calls that failed since start-up, counted by the link error handler: a sequence
    // step that has to know whether its exchange went through compares it before and after.
    long FailedCalls = 0;
    QorInfo *LinkInfo = nullptr;
    QorHandle LinkHandle = nullptr;
    std::array<char, QOR_TEXT_BUFFER_SIZE> ReplyText{};

    // The text the library left in ReplyText, up to its first zero.
    QString replyText() const { return QString::fromLatin1(ReplyText.data()); }
};
