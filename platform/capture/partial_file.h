// A file written under a fresh temporary name beside its target (".NAME.XXXXXX") and renamed into
// place once complete, so that a failure leaves whatever stood at the target untouched and a link
// standing there is replaced, never written through.
#pragma once

#include <filesystem>
#include <string>

namespace capture {

// Creates the temporary file; its descriptor, or -1 with `error` set to the system's reason.
int create_partial(const std::filesystem::path& target, std::string& partial, std::string& error);

// Gives the file the permissions any file the user makes has and renames it to `target`; false
// with `error` set (the partial file removed) when it cannot.
bool put_in_place(const std::string& partial, const std::filesystem::path& target,
                  std::string& error);

}  // namespace capture
