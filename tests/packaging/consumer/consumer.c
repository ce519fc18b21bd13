/* Uses libpagewire as another program would: prints the answers of
 * IsPDFPasswd, IsPrintDisable and CheckPDFPasswd for one PDF and password. */
#include <pagewire/pagewire.h>
#include <stdio.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s PDF PASSWORD\n", argv[0]);
    return 2;
  }
  printf("%d %d %d\n", IsPDFPasswd(argv[1]), IsPrintDisable(argv[1]),
         CheckPDFPasswd(argv[1], argv[2]));
  return 0;
}
