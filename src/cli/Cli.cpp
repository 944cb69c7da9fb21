#include "cli/Cli.h"

#include "cli/AudioCommands.h"
#include "cli/CollectionCommands.h"
#include "cli/ReportCommand.h"
#include "cli/ScanCommand.h"
#include "cli/SearchCommand.h"
#include "cli/VolumeCommands.h"
#include "system/FileSystem.h"
#include "texts/TextIds.h"
#include "texts/TextTable.h"

#include <cerrno>
#include <ostream>
#include <string_view>

namespace velmora::cli {

namespace {

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&, CliContext&);

struct CommandEntry {
    std::string_view name;
    Command run;
};

constexpr CommandEntry kCommands[] = {
    {"new", NewCommand},         {"dump", DumpCommand},
    {"stats", StatsCommand},     {"convert", ConvertCommand},
    {"import", ImportCommand},   {"analyse", AnalyseCommand},
    {"tag", TagCommand},         {"scan", ScanCommand},
    {"update", UpdateCommand},   {"delete", DeleteCommand},
    {"rename", RenameCommand},   {"sort", SortCommand},
    {"volumes", VolumesCommand}, {"drives", DrivesCommand},
    {"search", SearchCommand},   {"duplicates", DuplicatesCommand},
    {"report", ReportCommand},
};

constexpr std::string_view kHelp =
    "Usage: velmora-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Velmora keeps a catalogue of MPEG audio files (mp1, mp2, mp3, mpa) on many\n"
    "volumes in a plain-text collection file (.col).\n"
    "\n"
    "Commands:\n"
    "  new COLLECTION              write a new, empty collection file\n"
    "  dump COLLECTION             print every node: level, kind, name, numbers, tags\n"
    "  stats COLLECTION            print the collection's statistics\n"
    "  convert SOURCE TARGET       save a collection or an older .vlm file as TARGET\n"
    "  import COLLECTION SOURCE... add the volumes of collection or .vlm files\n"
    "  scan SOURCE -c COLLECTION [--label L] [--serial N] [--update]\n"
    "                              add a folder or mounted volume as a volume; with\n"
    "                              --label the folder stands for a disc's root\n"
    "  analyse FILE...             print what a scan stores about each audio file\n"
    "  tag show FILE...            print the ID3v1 tag of each file\n"
    "  tag write [--title T] [--artist A] [--album A] [--track N] [--year Y]\n"
    "            [--comment C] FILE...\n"
    "                              write the given tag fields, keeping the others\n"
    "  tag remove FILE...          remove the ID3v1 tag of each file\n"
    "  volumes COLLECTION          list the volumes: number, name, serial, scan date,\n"
    "                              folders, files, size (KB), duration (s)\n"
    "  update -c COLLECTION VOLUME [--from SOURCE]\n"
    "                              scan a volume again from the mounted volume with\n"
    "                              its serial, or from SOURCE\n"
    "  delete -c COLLECTION VOLUME...\n"
    "                              remove volumes and their totals\n"
    "  rename -c COLLECTION VOLUME LABEL\n"
    "                              give a volume a new label, keeping its folder part\n"
    "  sort -c COLLECTION          sort every level: folders first, then by name\n"
    "  drives                      list the mounted volumes: root, label, serial, type\n"
    "  search COLLECTION --name \"WORDS\" [--case] [--in all|dirs|files]\n"
    "  search COLLECTION --tag FIELD=TEXT...\n"
    "                              FIELD: title, artist, album, track, year, comment\n"
    "  search COLLECTION --property TERM...\n"
    "                              TERM: bitrate<128, samplerate=44100, mode=mono,\n"
    "                              version>1, layer<3, tag=present and the like;\n"
    "                              prints path and name, then the tag fields or\n"
    "                              properties, tab-separated; exit 1 when nothing\n"
    "                              is found; --save FILE writes the saved list;\n"
    "                              --on SOURCE searches a folder or mounted volume\n"
    "                              outside the collection instead\n"
    "  duplicates COLLECTION [--by name|property|both] [--in all|dirs|files]\n"
    "                              print each group of equal names (or sizes and\n"
    "                              durations) under its label; --on and --save as\n"
    "                              for search\n"
    "  report COLLECTION -o FILE [--format text|dif|html]\n"
    "         [--rows collection,volume,folder,file] [--columns LIST] [--no-sort]\n"
    "                              write a report: one row per chosen item, the\n"
    "                              columns of LIST in that order (size, duration,\n"
    "                              bitrate, samplerate, mode, version, title, artist,\n"
    "                              album, track, year, comment, folders, files, date,\n"
    "                              volume); default folder rows with size, duration,\n"
    "                              bitrate and volume as sorted text\n"
    "\n"
    "VOLUME is a volume's name, or its number in collection order (1 for the first).\n"
    "\n"
    "Options:\n"
    "  --help                      show this help\n"
    "  --version                   show the version\n"
    "\n"
    "Exit codes: 0 success, 1 failed operation, 2 wrong usage.\n";

using texts::TextId;

} // namespace

std::unique_ptr<FileLock> LockCollection(const std::string& path, std::ostream& err,
                                         CliContext& context)
{
    int error = 0;
    std::unique_ptr<FileLock> lock = context.files.lockFile(path, context.lockWait, error);
    if (lock)
        return lock;
    if (error == EWOULDBLOCK)
        err << "velmora-cli: another program is changing the collection: " << path << '\n';
    else
        err << context.texts.Text(TextId::CannotSaveFile) << ": " << path << '\n';
    return nullptr;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           CliContext& context)
{
    if (args.empty()) {
        err << kHelp;
        return kUsage;
    }
    const std::string& name = args.front();
    if (name == "--help" || name == "-h" || name == "help") {
        out << kHelp;
        return kSuccess;
    }
    if (name == "--version") {
        out << "velmora-cli " << VELMORA_VERSION << '\n';
        return kSuccess;
    }
    for (const CommandEntry& command : kCommands) {
        if (command.name == name) {
            const std::vector<std::string> operands(args.begin() + 1, args.end());
            return command.run(operands, out, err, context);
        }
    }
    err << "velmora-cli: unknown command \"" << name << "\"; see velmora-cli --help\n";
    return kUsage;
}

} // namespace velmora::cli
