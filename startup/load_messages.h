// The opening words of the messages shown when the application image cannot
// be loaded. Damage to any part of the image reads the same way to the user.
#pragma once

inline constexpr char kImageUnreadable[] = "The application image could not be read: ";
inline constexpr char kCannotLoad[] = "The application could not be loaded because ";
