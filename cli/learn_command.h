// norvathel-names learn FILE: a style file learned from example names, written to the output.
#pragma once
#include <cstdio>

// True when the arguments ask for the learn command (argv[1] is "learn").
bool IsLearnCommand(int argc, char** argv);

// Runs "norvathel-names learn [--name NAME] [--description TEXT] [--quiet] FILE" ("-" reads
// the standard input, in); the style file goes to out, then the report (LearningReport) and
// any warnings to err. Returns the exit code: 0 done, 1 output could not be written, 2 bad
// arguments or a bad example list (each fault as "FILE:LINE:COLUMN: reason" on err, nothing
// on out).
int RunLearn(int argc, char** argv, std::FILE* in, std::FILE* out, std::FILE* err);

