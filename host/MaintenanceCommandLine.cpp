// The command line of the maintenance commands: each takes a design file and the snapshot, top
// block, log and fault options of check; init, clear, format, recreate and object save a changed
// design (--output); clear alone has --no-backup, object its INDEX and --clear.
#include "host/CommandOptions.h"
#include "host/Commands.h"

namespace KravikHost {

namespace {

struct MaintenanceCommand
{
    const char* name;
    MaintenanceOptions::Operation operation;
    const char* description;
};

const MaintenanceCommand kCommands[] = {
    {"init", MaintenanceOptions::INIT,
     "Create what is missing of the Norv data: configuration, design and default objects"},
    {"clear", MaintenanceOptions::CLEAR,
     "Clear every constraint, keeping the default objects (after a project backup)"},
    {"format", MaintenanceOptions::FORMAT, "Remove the top block's Norv data"},
    {"recreate", MaintenanceOptions::RECREATE,
     "Rebuild the Norv data from the schematic's flat nets and logical components"},
    {"object", MaintenanceOptions::OBJECT,
     "Tell whether one Norv object has constraints or attributes (and clear them with --clear)"},
    {"stats", MaintenanceOptions::STATS, "Print the statistics report of the Norv data"},
};

} // namespace

const char* MaintenanceCommandName(MaintenanceOptions::Operation operation)
{
    for (const MaintenanceCommand& command : kCommands)
        if (command.operation == operation)
            return command.name;
    return "";
}

void AddMaintenanceCommands(CLI::App& app, CommandLine& line, FaultSwitchTexts& texts)
{
    MaintenanceOptions& o = line.maintenance;
    for (const MaintenanceCommand& command : kCommands)
    {
        CLI::App* sub = app.add_subcommand(command.name, command.description);
        const MaintenanceOptions::Operation operation = command.operation;
        sub->callback([&line, operation] {
            line.command = CommandLine::MAINTENANCE;
            line.maintenance.operation = operation;
        });
        sub->add_option("DESIGN", o.design, "Design file (JSON)")->required()->check(NonEmptyPath)->type_name("FILE");
        if (operation == MaintenanceOptions::OBJECT)
        {
            sub->add_option("INDEX", o.indexText, "The Norv object, by its index as the log prints it (e.g. 63-0-49)")
                ->required()
                ->check(CLI::Validator(
                    [&o](std::string& text) { return ParseIndexText(text, o.index); }, ""))
                ->type_name("INDEX");
            sub->add_flag("--clear", o.clearObject,
                          "Clear the object's constraints and attributes when it has any");
        }
        sub->add_option("--snapshot", o.snapshot, "Snapshot to work on (default: the file's first)")
            ->type_name("NAME");
        sub->add_option("--top", o.topBlock, "Top block to work on (default: the snapshot's first)")
            ->type_name("BLOCK");
        sub->add_option("--log", o.logFile, "Write the messages to FILE instead of standard output")
            ->check(NonEmptyPath)
            ->type_name("FILE");
        if (operation == MaintenanceOptions::CLEAR)
            sub->add_flag("--no-backup", o.noBackup, "Request no project backup before clearing");
        if (operation != MaintenanceOptions::STATS)
            sub->add_option("--output", o.outputFile, "Save the changed design to FILE")
                ->check(NonEmptyPath)
                ->type_name("FILE");
        AddFaultOptions(sub, o.faults, texts);
    }
}

} // namespace KravikHost
