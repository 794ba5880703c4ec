/* A program for the process tests to find, read and end: it sleeps for the milliseconds its
   argument gives (30 s when none is given, never longer) and exits with code 0. */
#include <windows.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  unsigned long ms = argc > 1 ? strtoul(argv[1], NULL, 10) : 30000;
  if (ms > 30000) ms = 30000;
  Sleep((DWORD)ms);
  return 0;
}
