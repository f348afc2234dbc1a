#pragma once
// What both systems' whole-file writers share: the results they give and the names of their
// temporary files, ".NAME.<12 hex digits>.kvtmp", by which a leftover tells which file it was to
// become. For whole_file.cpp and its system halves only.
#include <optional>
#include <string>
#include <string_view>

#include "runtime/files/file_names.h"
#include "runtime/files/whole_file.h"

namespace rt::whole_file {

FileResult Success(const Text& shown);
// A failure with an errno (the system's own, or one a name was refused with).
FileResult Failure(const Text& shown, int err, FileStep step);

// What the temporaries of a target borrow of its name (UTF-8): all of it when the temporary's
// name then fits the system's limit for a name, else its start, cut between whole characters.
std::string BorrowedName(const std::string& name);

// A new temporary name for a target of that name, with a random mark: a writer that finds it
// taken asks for another.
std::string TemporaryName(const std::string& name);

// What a name of a temporary borrows of its target's name; nothing for any other name, such as
// another program's files that only look like ours.
std::optional<std::string_view> BorrowedFrom(std::string_view name);

}  // namespace rt::whole_file
