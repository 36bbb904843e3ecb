#include "commands.h"

int RunTplist(const QStringList&)
{
    return kExitUsage;
}

