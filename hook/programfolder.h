// The program's own folder: its helper and hook libraries are taken from
// there by full path, never through the search path, where a file of the
// same name planted in the working directory or on PATH could stand.
#pragma once

#include <string>

namespace strennix {

// `name` in the folder of `programPath`; empty when the path names no
// folder, so that nothing is looked up by bare name.
std::string besideProgram(const std::string& programPath, const char* name);

}  // namespace strennix
