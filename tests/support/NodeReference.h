#pragma once

#include <string>
#include <vector>

// Runs `node SCRIPT` with `input` on its standard input and gives back the lines it printed:
// how tests hold the core against what a browser engine's own code answers. Empty when
// Node could not be run.
std::vector<std::string> NodeReferenceLines(const std::string& script, const std::string& input);
