// wakeline-cli: the program's logic from the command line, for scripts and checks.
#include <cstdio>

int main() { return 0; }
