// Stands in for an updater program carried by an update package: writes its
// first argument to "updater.txt" in its working folder and ends.
#include <stdio.h>

int main(int argc, char** argv) {
  FILE* f = fopen("updater.txt", "wb");
  if (!f) return 1;
  fputs(argc > 1 ? argv[1] : "", f);
  fclose(f);
  return 0;
}
