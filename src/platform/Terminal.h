#pragma once

#include <cstdio>

// Whether the stream goes to a terminal a person watches, rather than to a file or a pipe.
[[nodiscard]] bool isTerminal(std::FILE *stream);
