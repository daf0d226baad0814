// Options that take a value on a tool's command line: "--name VALUE" or "--name=VALUE", each name
// at most once. The tool says what an unknown argument is and what the value must be.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace command_line {

enum class Taken {
  value,    // `name` and `value` are set
  unknown,  // not one of the names: the caller says what it is
  error,    // given twice, or no value: `error` says so
};

struct ValueOption {
  std::string_view name;
  std::string_view value;
  std::string error;
};

// Reads arguments[i] as one of `names`; `seen` has a flag for each. When the value is the next
// argument, `i` moves onto it.
Taken take_value_option(std::span<const char* const> arguments, std::size_t& i,
                        std::span<const std::string_view> names, std::span<bool> seen,
                        ValueOption& option);

}  // namespace command_line
