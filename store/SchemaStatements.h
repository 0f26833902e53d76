#pragma once
// The creation statements of both databases, in the order they run, and the creation itself. The
// SQL text (tab runs included) is what sqlite_master keeps, so it is never reformatted.
#include <string>
#include <vector>

class SQLiteDB;

// Process-wide lists, filled on first use and shared read-only afterwards (thread-safe).
const std::vector<std::string>& ProfileSchemaStatements();
const std::vector<std::string>& LightFrameSchemaStatements();

// Runs `statements` on the file `path` that `database` has just created, all in one transaction.
// When one fails none is kept: the connection is closed and the new file removed, so that the next
// open creates it again rather than finding a database with tables missing for good. True when
// every statement ran. The caller holds the lock of the store that owns `database`.
bool CreateSchema(SQLiteDB& database, const std::string& path,
                  const std::vector<std::string>& statements);
