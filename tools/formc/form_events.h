#pragma once
// The events of the windows a form source describes: the suffixes of the routines' names by
// event number, and the routines a window names for a list of events.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/forms/form_resource.h"

namespace formc {

// The event number of a suffix such as "_ON", if it is one.
std::optional<int> EventNumber(std::string_view suffix);

// The window's routines for the events: its name followed by each event's suffix (Shift-JIS).
std::vector<rt::EventBinding> Bindings(const std::vector<int>& numbers, const std::string& name);

}  // namespace formc
