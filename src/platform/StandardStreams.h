#pragma once
// The standard input, output and error streams as the program starts.

namespace clavora {

// Opens /dev/null on descriptors 0, 1 and 2 where they are closed (a program
// started with "2>&-", say). Until then the next file opened would get one of
// them, and whatever is written to the terminal would go into that file: a
// lock file or a take. To be called first of all, before any file is opened.
void openClosedStandardStreams();

} // namespace clavora
