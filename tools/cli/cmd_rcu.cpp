#include "commands.h"

int RunRcu(const QStringList&)
{
    return kExitUsage;
}

