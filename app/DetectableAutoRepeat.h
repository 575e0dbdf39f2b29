#pragma once
// Under X11 a held key repeats as release/press pairs that Qt cannot always
// tell from real ones, so one held key would type many letters. With XKB's
// detectable auto-repeat the server sends only repeated presses and a single
// release, which the key path already counts once.

// Asks for detectable auto-repeat on the application's own X connection.
// True when the server granted it; false off X11 (offscreen, Wayland) or
// when the server cannot do it.
bool UseDetectableAutoRepeat();
