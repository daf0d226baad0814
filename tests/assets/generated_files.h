// The six data files as the generator writes them, made once per test run in a fresh folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Runs the generator into a new temporary folder and returns that folder ("" on failure).
std::string run_generator();

// A missing file reads as empty.
Bytes read_file(const std::string& path);

// A file of the one generator run the tests share, made on first use.
std::string generated_path(const std::string& name);
Bytes generated(const std::string& name);
