#pragma once
// The names the macro page gives and shows: display names by language and the unique names of
// new and copied macros. Pure functions; any thread.
#include <string>
#include <vector>

namespace macro_names {

inline constexpr int kMaxSuffix = 1000;

// The list's text for a stored name: a name made in the other language shows with the current
// language's word for "Macro" (`word`, language text 331) in front of the rest.
std::string DisplayName(const std::string& stored, int language, const std::string& word);

// "<base> <n>" for the first n from 1 that no entry of `taken` equals (case-sensitive); the
// last try, n = kMaxSuffix, is taken when all are used.
std::string UniqueName(const std::string& base, const std::vector<std::string>& taken);

}  // namespace macro_names
