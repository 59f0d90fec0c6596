#pragma once

// Stand-ins for the two large handlers, so that the window's own behaviour is tested alone: the
// start-up checks only keep the window on top and register F11 into hotkeyId, and the play
// handler counts its calls.

// How often the play handler has run.
extern int playRequests;
