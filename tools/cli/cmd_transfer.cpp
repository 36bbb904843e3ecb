#include "commands.h"

int RunSend(const QStringList&)
{
    return kExitUsage;
}

int RunReceive(const QStringList&)
{
    return kExitUsage;
}

