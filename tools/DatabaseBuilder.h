#pragma once
// Creates the database files the program ships, from data/schema.sql and, for
// the example database, data/example.sql. The example script dates its rows
// relative to the build day, which it reads from the temporary table
// Build(Today TEXT 'YYYY-MM-DD'); the build day's number is kept in the
// file's user_version so a later build can tell a stale example.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tv::tools {

struct BuildDay {
    int year = 2000;
    int month = 1;
    int day = 1;
};

// Today on this machine's calendar.
BuildDay Today();
// "YYYY-MM-DD"; nullopt for anything else.
std::optional<BuildDay> ParseBuildDay(const std::string& text);
// Whole days from 1 January 1900, as the program numbers calendar days.
int DayNumber(BuildDay day);

// Writes the database to a temporary file beside target and renames it over
// target, so a failing script leaves the previous file as it was. Throws
// std::runtime_error naming the script and SQLite's message.
void BuildDatabase(const std::filesystem::path& target, const std::string& schemaSql,
                   const std::optional<std::string>& exampleSql, BuildDay today);

// Whether target needs no rebuild: it exists, is newer than every input and,
// when it holds dated rows, was built on `today`.
bool IsUpToDate(const std::filesystem::path& target, const std::vector<std::filesystem::path>& inputs,
                bool dated, BuildDay today);

// The whole file; throws std::runtime_error when it cannot be read.
std::string ReadTextFile(const std::filesystem::path& file);

} // namespace tv::tools
