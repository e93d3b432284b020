#include <cstdio>

int main() {
  std::puts("dualdock-cli: not yet");
  return 0;
}
