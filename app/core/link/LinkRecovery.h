#pragma once

#include <QString>

class Prompts;
struct LinkSession;

// The box shown when the unit did not respond: the library's message, the advice, Retry and
// Cancel. Returns true for Retry; Cancel ends the program, except while the station is closing.
bool askAfterNoResponse(LinkSession &session, Prompts &prompts, const QString &message);

// Opens the link again with the port and rate it was opened with, after a failed call whose box
// was answered with Retry. A device that is still absent (an adapter unplugged, a unit switched
// off) brings the same box back until it opens or the operator ends the program. Never called
// from inside a library call.
void reopenLink(LinkSession &session, Prompts &prompts);
