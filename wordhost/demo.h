// The scripted session of ./quran demo: a Word user's first minute with the
// add-in, photographed step by step.
#pragma once

#include <string>

namespace wordhost {

// Loads the add-in into the running host and plays the session, saving PNG
// screenshots in `folder`; answers 0, or 1 with a message on stderr.
int PlayDemo(const std::string& addin, const std::string& folder);

}  // namespace wordhost
