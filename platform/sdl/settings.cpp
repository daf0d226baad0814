#include "platform/sdl/settings.h"

#include <charconv>
#include <string_view>

namespace sdl_platform {

namespace {

// The value of `name`, or empty when it is unset or empty; `label` becomes what errors cite.
std::string_view value_of(const SettingLookup& lookup, const char* name, std::string& label) {
  const SettingValue given = lookup(name);
  label = given.source.empty() ? std::string(name) : std::string(given.source);
  return given.value == nullptr ? std::string_view{} : std::string_view{given.value};
}

std::string quoted(std::string_view text) {
  std::string result(1, '"');
  result.append(text);
  result += '"';
  return result;
}

// A whole decimal number in [low, high] spelled with nothing else around it.
std::optional<int> whole_number(std::string_view text, int low, int high) {
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  if (number < low || number > high) return std::nullopt;
  return number;
}

std::string layout_names() {
  std::string names;
  for (int i = 0; i < emulated::layout_count; ++i) {
    if (i > 0) names += ", ";
    names += emulated::layout_info(static_cast<emulated::Layout>(i)).name;
  }
  return names;
}

bool read_layouts(std::string_view text, const std::string& label,
                  std::vector<emulated::Layout>& layouts, std::string& error) {
  layouts.clear();
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string_view name = text.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    const std::optional<emulated::Layout> layout = emulated::parse_layout(name);
    if (!layout) {
      error = label + ": " + quoted(name) + " is not a layout; the layouts are " + layout_names();
      return false;
    }
    layouts.push_back(*layout);
    if (comma == std::string_view::npos) return true;
    start = comma + 1;
  }
}

bool read_number(const SettingLookup& lookup, const char* name, int low, int high, int& number,
                 std::string& error) {
  std::string label;
  const std::string_view text = value_of(lookup, name, label);
  if (text.empty()) return true;
  const std::optional<int> parsed = whole_number(text, low, high);
  if (!parsed) {
    error = label + " must be a whole number from " + std::to_string(low) + " to " +
            std::to_string(high) + ", not " + quoted(text);
    return false;
  }
  number = *parsed;
  return true;
}

// A 1-or-0 switch; meanings says what each value does, for the message.
bool read_switch(const SettingLookup& lookup, const char* name, const char* meanings, bool& on,
                 std::string& error) {
  std::string label;
  const std::string_view text = value_of(lookup, name, label);
  if (text.empty() || text == "0" || text == "1") {
    if (!text.empty()) on = text == "1";
    return true;
  }
  error = label + " must be " + meanings + ", not " + quoted(text);
  return false;
}

}  // namespace

SettingsResult read_settings(const EnvironmentLookup& lookup) {
  return read_settings_from([&](const char* name) { return SettingValue{lookup(name), {}}; });
}

SettingsResult read_settings_from(const SettingLookup& lookup) {
  SettingsResult result;
  Settings settings;

  std::string label;
  const std::string_view layouts = value_of(lookup, "SHOW_SCREEN_LAYOUTS", label);
  if (!layouts.empty() && !read_layouts(layouts, label, settings.screen.layouts, result.error)) {
    return result;
  }

  if (!read_switch(lookup, "SHOW_WINDOWED", "1 (a window) or 0 (full screen)", settings.windowed,
                   result.error) ||
      !read_switch(lookup, "SHOW_TRACE_WINDOW", "1 or 0", settings.trace_window, result.error) ||
      !read_number(lookup, "SHOW_SCALE", 1, 8, settings.window_scale, result.error) ||
      !read_number(lookup, "SHOW_RETRACE_HZ", 1, 10000, settings.retrace_hz, result.error) ||
      !read_number(lookup, "SHOW_ROW_PADDING", 0, 256, settings.screen.row_padding, result.error)) {
    return result;
  }

  result.settings = settings;
  return result;
}

}  // namespace sdl_platform
