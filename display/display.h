// The full-screen display: opened once at start-up, updated once per frame, closed at the end.
#pragma once

#include <cstdint>

// Takes the screen at width x height; 1 when open, 0 when it could not be opened (in which case
// everything acquired on the way has been given back).
int display_open(const char* title, std::int32_t width, std::int32_t height);

// Gives the screen back. Only after a successful display_open.
void display_close();

// Pumps the window's waiting messages, then, while the application is active, converts the
// width x height pixels into the back buffer and flips. 0 when the back buffer could not be locked.
// Escape or a close request ends the process from inside this call.
int display_update(const std::uint32_t* pixels);
