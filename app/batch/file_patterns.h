#pragma once
// The shells of Windows hand "*" and "?" to the program as they were typed, where a POSIX shell
// would have put the names they match: the console program expands the order files' patterns
// itself, as the shop's `kalvoro totals --csv 受信\*.SAV` expects.
#include <string>
#include <vector>

// The arguments of a batch command (UTF-8, the command word first) with every order file
// argument that holds "*" or "?" replaced by the names of the files it matches, in the folder it
// names, sorted by name; an argument of an option (--out DIR, --today DAY) stays as it is, and
// so does a pattern that matches nothing, which the command then names as a file it cannot read.
std::vector<std::string> ExpandFilePatterns(const std::vector<std::string>& args);
