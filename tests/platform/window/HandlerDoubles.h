#pragma once

// Stand-ins for the two large handlers, so that the window's own behaviour is tested alone: the
// start-up checks only keep the window on top and register F11 into hotkeyId, and the play
// handler counts its calls. With QUORVEL_TEST_EXIT_CODE set, the start-up stand-in ends the
// program at once with that code instead.

// How often the play handler has run.
extern int playRequests;
