// The program's command line: nothing for the main window, or a switch word
// containing "/s" or "-s" and an optional report file name.
#pragma once

#include <functional>
#include <string>

enum class RunMode {
    Interactive,  // empty command line: the main window
    Silent,       // write the report to fileName
    Usage,        // the switch word lacks "/s" and "-s"
    Syntax,       // the file name holds a space and is not in double quotes
};

struct CommandLine {
    RunMode mode;
    std::string fileName;  // for Silent: used as given, quotes included
};

// Reads "TEMP" as the platform has it; empty when unset or empty.
using TempReader = std::function<std::string()>;

// Splits the text after the program's name. Only a space separates the switch
// from the file name; "TEMP" is read only when the default name is needed.
CommandLine ParseCommandLine(const std::string& line, const TempReader& readTemp);

// "%TEMP%\Mirovant.txt", joined as it stands; "\Mirovant.txt" without TEMP.
std::string DefaultReportName(const std::string& temp);

extern const char kUsageMessage[];
extern const char kSyntaxMessage[];
