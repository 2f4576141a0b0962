// mirovant-offline: the inventory of a machine from its registry exports,
// written as the program itself would write it on that machine.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "offline/codepage.h"
#include "offline/export_machine.h"
#include "offline/reg_export.h"
#include "report/report.h"
#include "scan/scan.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#ifndef MIROVANT_VERSION
#define MIROVANT_VERSION "unknown"
#endif

namespace {

constexpr char kProgram[] = "mirovant-offline";
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr char kDescription[] =
    "Lists the installed Kavren products of a machine from its registry exports, "
    "byte for byte as Mirovant931.exe would report them on that machine. "
    "Exports are read in order, as importing them in order would leave the registry; "
    "\"-\" reads standard input.";

constexpr char kExportHelp[] = R"(What to export on the machine (a command prompt; on 32-bit Windows
leave out /reg:64):
  reg export HKLM\SOFTWARE machine.reg /y /reg:64
  reg export HKCU\Software\Microsoft\Installer user.reg /y
  whoami /user            (the SID to give with --user-sid)
Then:
  mirovant-offline --user-sid S-1-5-21-... machine.reg user.reg

The first export holds the family's keys (SOFTWARE\TOLV and, on 64-bit Windows,
SOFTWARE\WOW6432Node\TOLV) and the installer's registration of per-machine and
per-user managed products (SOFTWARE\Classes\Installer\Products and
SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UserData and \Managed); the
second holds the user's own (unmanaged) products. Exports of just those keys
serve as well.

Text: the report is in the ANSI code page given by --codepage; characters the
code page lacks are written as '?'. REGEDIT4 exports are read in that code page.

Exit status: 0 when the report was written, 1 when an export could not be read
or the output not written, 2 for a wrong command line.)";

struct Options {
    std::vector<std::string> exports;
    std::string output;
    std::string format = "report";
    std::string codePage = "1252";
    std::string wow64 = "auto";
    std::string userSid;
};

void Fail(const std::string& message)
{
    std::cerr << kProgram << ": " << message << '\n';
}

void SetBinary(std::FILE* file)
{
#ifdef _WIN32
    _setmode(_fileno(file), _O_BINARY);
#else
    (void)file;
#endif
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Reads every export into the tree; false (after a message) when one fails.
bool ReadExports(const std::vector<std::string>& exports, const CodePage& codePage,
                 RegistryTree& tree)
{
    for (const std::string& name : exports) {
        const bool standardInput = name == "-";
        const std::string shown = standardInput ? "(standard input)" : name;
        FilePtr owned;
        std::FILE* file = stdin;
        if (standardInput) {
            SetBinary(stdin);
        } else {
            owned.reset(std::fopen(name.c_str(), "rb"));
            if (!owned) {
                Fail(name + ": " + std::strerror(errno));
                return false;
            }
            file = owned.get();
        }
        try {
            FileSource source(file, shown);
            ReadExport(source, shown, codePage, tree);
        } catch (const std::exception& error) {
            Fail(error.what());
            return false;
        }
    }
    return true;
}

// The current user: as given, or the only user the installer registration
// names. Says on standard error what it took.
std::string ChooseUserSid(const Options& options, const RegistryTree& tree)
{
    if (!options.userSid.empty())
        return options.userSid;
    const std::vector<std::string> sids = InstallerUserSids(tree);
    if (sids.size() == 1) {
        std::cerr << kProgram << ": taking " << sids[0]
                  << " as the current user, the only user in the installer's registration"
                     " (--user-sid chooses another)\n";
        return sids[0];
    }
    if (sids.size() > 1) {
        std::cerr << kProgram << ": the installer's registration names several users;"
                  << " without --user-sid their per-user managed products are left out:";
        for (const std::string& sid : sids)
            std::cerr << ' ' << sid;
        std::cerr << '\n';
    }
    return "";
}

std::string FormatJson(const Inventory& inventory, const CodePage& codePage)
{
    nlohmann::json entries = nlohmann::json::array();
    for (const InventoryEntry& entry : inventory) {
        nlohmann::json lines = nlohmann::json::array();
        for (const std::string& line : entry.details)
            lines.push_back(Utf8FromAnsi(line, codePage));
        entries.push_back({{"title", Utf8FromAnsi(entry.title, codePage)}, {"lines", lines}});
    }
    const nlohmann::json document = {{"entries", entries}};
    return document.dump(2) + "\n";
}

bool WriteOutput(const std::string& bytes, const std::string& output)
{
    FilePtr owned;
    std::FILE* file = stdout;
    if (output.empty() || output == "-") {
        SetBinary(stdout);
    } else {
        owned.reset(std::fopen(output.c_str(), "wb"));
        if (!owned) {
            Fail(output + ": " + std::strerror(errno));
            return false;
        }
        file = owned.get();
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool flushed = std::fflush(file) == 0;
    const bool closed = !owned || std::fclose(owned.release()) == 0;
    if (!written || !flushed || !closed) {
        Fail((output.empty() ? std::string("standard output") : output) + ": "
             + std::strerror(errno));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    CLI::App app(kDescription, kProgram);
    app.footer(kExportHelp);
    app.set_version_flag("--version", std::string(kProgram) + " " + MIROVANT_VERSION);
    app.add_option("exports", options.exports, "Registry export files (.reg), read in order")
        ->required()
        ->type_name("EXPORT.reg");
    app.add_option("-o,--output", options.output, "Write to FILE instead of standard output")
        ->type_name("FILE");
    app.add_option("--format", options.format, "report (the program's report bytes) or json")
        ->check(CLI::IsMember({"report", "json"}))
        ->capture_default_str();
    app.add_option("--codepage", options.codePage,
                   "The machine's ANSI code page: 874, 1250-1258, or utf-8")
        ->capture_default_str();
    app.add_option("--wow64", options.wow64,
                   "64-bit Windows: auto (when the export has SOFTWARE\\Wow6432Node), yes or no")
        ->check(CLI::IsMember({"auto", "yes", "no"}))
        ->capture_default_str();
    app.add_option("--user-sid", options.userSid, "The SID of the user whose products count as "
                                                  "the current user's")
        ->type_name("SID");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int status = app.exit(error);
        return status == 0 ? 0 : kExitUsage;
    }

    const std::optional<CodePage> codePage = CodePage::Named(options.codePage);
    if (!codePage) {
        Fail("unknown code page \"" + options.codePage + "\" (874, 1250-1258 or utf-8)");
        return kExitUsage;
    }
    int standardInputs = 0;
    for (const std::string& name : options.exports)
        standardInputs += name == "-";
    if (standardInputs > 1) {
        Fail("standard input (-) can be read only once");
        return kExitUsage;
    }

    RegistryTree tree;
    if (!ReadExports(options.exports, *codePage, tree))
        return kExitFailure;
    const bool wow64 = options.wow64 == "auto" ? HasWow6432Node(tree) : options.wow64 == "yes";
    if (options.wow64 == "auto" && LooksLike32BitView(tree))
        std::cerr << kProgram << ": the exports look like the 32-bit registry view of 64-bit Windows,"
                     " without its 64-bit view; export with reg export ... /reg:64\n";
    const ExportMachine machine(tree, *codePage, wow64, ChooseUserSid(options, tree));

    Inventory inventory;
    ScanInventory(machine, inventory);
    const std::string bytes =
        options.format == "json" ? FormatJson(inventory, *codePage) : FormatReport(inventory);
    return WriteOutput(bytes, options.output) ? 0 : kExitFailure;
}
