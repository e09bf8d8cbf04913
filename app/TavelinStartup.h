#pragma once
// The program's run from start to end: one running copy only, the splash while the catalogue opens,
// the main window until the user quits, or the start-up error. Always returns exit code 0.
int RunTavelin(int argc, char **argv);
