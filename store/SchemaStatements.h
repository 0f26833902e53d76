#pragma once
// The creation statements of both databases, in the order they run. The SQL text (tab runs
// included) is what sqlite_master keeps, so it is never reformatted.
#include <string>
#include <vector>

// Process-wide lists, filled on first use and shared read-only afterwards (thread-safe).
const std::vector<std::string>& ProfileSchemaStatements();
const std::vector<std::string>& LightFrameSchemaStatements();
