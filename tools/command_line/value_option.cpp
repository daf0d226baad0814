#include "tools/command_line/value_option.h"

#include <algorithm>

namespace command_line {

Taken take_value_option(std::span<const char* const> arguments, std::size_t& i,
                        std::span<const std::string_view> names, std::span<bool> seen,
                        ValueOption& option) {
  const std::string_view argument = arguments[i];
  option.name = argument;
  bool inline_value = false;
  if (const std::size_t equals = argument.find('=');
      argument.starts_with("--") && equals != std::string_view::npos) {
    option.name = argument.substr(0, equals);
    option.value = argument.substr(equals + 1);
    inline_value = true;
  }
  const auto found = std::find(names.begin(), names.end(), option.name);
  if (found == names.end()) return Taken::unknown;
  bool& given = seen[static_cast<std::size_t>(found - names.begin())];
  if (given) {
    option.error = std::string(option.name) + " given twice";
    return Taken::error;
  }
  given = true;
  if (!inline_value) {
    if (i + 1 >= arguments.size()) {
      option.error = std::string(option.name) + " needs a value";
      return Taken::error;
    }
    option.value = arguments[++i];
  }
  return Taken::value;
}

}  // namespace command_line
