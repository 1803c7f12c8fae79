#pragma once

#include "qorlink.h"

class Prompts;
struct LinkSession;

// The station's handler for failed link operations: silent while ReportLinkErrors is 0, a
// Retry/Cancel box (Cancel ends the program) when the unit did not respond, an OK box with the
// library's text otherwise. It finds the session and the boxes through what is registered here.
int32_t QORAPI LinkErrorHandler(QorHandle handle);
void setLinkErrorReporting(LinkSession *session, Prompts *prompts);
