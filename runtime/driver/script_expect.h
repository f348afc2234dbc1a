#pragma once
// What the scripted driver's `expect` reads of a window: the properties, which kinds of window
// have them, and the value each one shows.
#include <optional>
#include <string>
#include <string_view>

#include "runtime/backends/platform.h"

namespace rt {

class HeadlessPlatform;

enum class Property { Text, Visible, Enabled, Check, Pos, Sel, Count };

// The property named `word`, in any letter case.
std::optional<Property> ParseProperty(std::string_view word);
const char* PropertyName(Property p);

// Whether a user can see the property on that kind of window: a form shows only its caption
// and whether it is visible.
bool HasProperty(ControlKind kind, Property p);
// The properties of a kind, for messages ("text, visible, enabled, check").
std::string PropertiesOf(ControlKind kind);

// The value as a script writes it: the text in Shift-JIS, 0 or 1, a number, or [i,j] for the
// selection of a multiple-selection list.
std::string PropertyValue(const HeadlessPlatform& platform, WinHandle w, ControlKind kind, Property p);

}  // namespace rt
