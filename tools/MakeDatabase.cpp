// Build-time tool: creates one of the shipped database files.
//
//   MakeDatabase --schema schema.sql [--example example.sql] --out file
//                [--today YYYY-MM-DD] [--if-stale]
//
// With --example the example rows are dated relative to today (or --today).
// With --if-stale an up-to-date file (newer than its inputs and, for the
// example, built today) is left alone.

#include "tools/DatabaseBuilder.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    std::optional<std::filesystem::path> schema, example, out;
    std::optional<tv::tools::BuildDay> today = tv::tools::Today();
    bool ifStale = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--schema" && hasValue) {
            schema = argv[++i];
        } else if (arg == "--example" && hasValue) {
            example = argv[++i];
        } else if (arg == "--out" && hasValue) {
            out = argv[++i];
        } else if (arg == "--today" && hasValue) {
            today = tv::tools::ParseBuildDay(argv[++i]);
            if (!today) {
                std::fprintf(stderr, "MakeDatabase: --today wants YYYY-MM-DD\n");
                return 2;
            }
        } else if (arg == "--if-stale") {
            ifStale = true;
        } else {
            std::fprintf(stderr, "MakeDatabase: unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    if (!schema || !out) {
        std::fprintf(stderr, "usage: MakeDatabase --schema file [--example file] --out file [--today YYYY-MM-DD] "
                             "[--if-stale]\n");
        return 2;
    }
    try {
        std::vector<std::filesystem::path> inputs{*schema, std::filesystem::path(argv[0])};
        if (example)
            inputs.push_back(*example);
        if (ifStale && tv::tools::IsUpToDate(*out, inputs, example.has_value(), *today))
            return 0;
        std::optional<std::string> exampleSql;
        if (example)
            exampleSql = tv::tools::ReadTextFile(*example);
        std::filesystem::create_directories(out->parent_path());
        tv::tools::BuildDatabase(*out, tv::tools::ReadTextFile(*schema), exampleSql, *today);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "MakeDatabase: %s\n", e.what());
        return 1;
    }
    return 0;
}
