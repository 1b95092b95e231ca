// Typed access to the scene's custom file properties of the user-defined set, as the
// exporter's options and level-of-detail distances use them. A property counts only with
// the type the reader asks for; another type reads as missing.
#pragma once

#include <optional>
#include <string>

class Interface;

namespace tz2 {

std::optional<float> GetSceneFloat(Interface* host, const wchar_t* name);    // VT_R4
std::optional<bool> GetSceneBool(Interface* host, const wchar_t* name);      // VT_BOOL
std::optional<std::string> GetSceneText(Interface* host, const wchar_t* name);  // VT_LPSTR
// Adds or replaces a property.
void SetSceneFloat(Interface* host, const wchar_t* name, float value);
void SetSceneBool(Interface* host, const wchar_t* name, bool value);  // stored as 0 or 1
void SetSceneText(Interface* host, const wchar_t* name, const std::string& value);

}  // namespace tz2
