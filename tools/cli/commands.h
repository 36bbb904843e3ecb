#pragma once

#include <QStringList>

// Each subcommand takes the arguments after its name and returns the process's exit code; usage
// errors and --help end it early through CliExit.
int RunSend(const QStringList& args);
int RunReceive(const QStringList& args);
int RunPorts(const QStringList& args);
int RunRcu(const QStringList& args);
int RunTplist(const QStringList& args);
int RunStation(const QStringList& args);
