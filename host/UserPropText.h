// The user-defined property text of a node: one 'key = value' assignment a line. A key is
// the text before a line's first '=', the value the text after it, both without surrounding
// blanks (spaces and tabs); lines end with "\r\n" or "\n"; keys are matched letter for
// letter; a line without '=' is no assignment; the first assignment of a key counts.
#pragma once

#include <string>
#include <string_view>

// TRUE and the value when text assigns key.
bool FindUserProp(std::string_view text, std::string_view key, std::string& value);
// Replaces the value of key's first assignment (the rest of its line is rewritten as
// "key = value"), or appends "key = value" on a line of its own ("\r\n" before it when the
// text does not end a line already).
void SetUserProp(std::string& text, std::string_view key, std::string_view value);
