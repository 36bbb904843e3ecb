#pragma once

#include <QStringList>

// Each subcommand takes the arguments after its name and returns the process's exit code.
// Exit code 64 means bad usage.
inline constexpr int kExitUsage = 64;

int RunSend(const QStringList& args);
int RunReceive(const QStringList& args);
int RunRcu(const QStringList& args);
int RunTplist(const QStringList& args);
