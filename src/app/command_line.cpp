#include "app/command_line.h"

namespace {

constexpr char kWhiteSpace[] = " \t\n\v\f\r";

std::string Trim(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

bool IsQuoted(const std::string& text)
{
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

}  // namespace

const char kUsageMessage[] =
    "Usage: Mirovant931.exe [/s|-s [output file name]]\n \t/s, -s\tsilent mode\n"
    "\t%TEMP%\\mirovant.txt is the default one";
const char kSyntaxMessage[] =
    "Syntax: Mirovant931.exe [/s|-s [output file name]]\n \t/s, -s\tsilent mode\n"
    "\t%TEMP%\\mirovant.txt is the default one";

std::string DefaultReportName(const std::string& temp)
{
    return temp + "\\Mirovant.txt";
}

CommandLine ParseCommandLine(const std::string& line, const TempReader& readTemp)
{
    const std::string text = Trim(line);
    if (text.empty())
        return {RunMode::Interactive, std::string()};

    std::string switchPart = text;
    std::string fileName;
    const std::size_t space = text.find(' ');
    if (space == std::string::npos) {
        fileName = DefaultReportName(readTemp());
    } else {
        switchPart = text.substr(0, space);
        fileName = text.substr(text.find_first_not_of(kWhiteSpace, space));
        if (fileName.find(' ') != std::string::npos && !IsQuoted(fileName))
            return {RunMode::Syntax, std::string()};
    }

    if (switchPart.find("/s") == std::string::npos && switchPart.find("-s") == std::string::npos)
        return {RunMode::Usage, std::string()};
    return {RunMode::Silent, fileName};
}
