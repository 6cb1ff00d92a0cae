// Language list items and numbered-message arguments.
#pragma once

#include <cstddef>
#include <string>

// Item `index` of a comma-separated list, untrimmed; empty items count, a comma at the very
// end starts no further item, an empty list has one empty item. False when there is no such
// item.
bool languageListItem(const std::string& list, std::size_t index, std::string& item);

// Replaces only the first "%1" of the message by the argument.
std::string replaceFirstArgument(const std::string& message, const std::string& argument);
