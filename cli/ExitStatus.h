#pragma once

// Exit status of kbx: 0 done, 1 the operation failed or was refused, 2 the command line was wrong.
enum ExitStatus
{
    ExitSuccess = 0,
    ExitFailure = 1,
    ExitUsage = 2,
};

// The exit status for a result of the engine (0 or a negative code, messages already shown).
inline int ExitStatusOf(int engineResult)
{
    return engineResult == 0 ? ExitSuccess : ExitFailure;
}
