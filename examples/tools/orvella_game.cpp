// The example medium's game. It only has to show that the setup started it, and how: a test or a
// person reading the output sees the command line that arrived.

#include <iostream>

int main(int argc, char** argv) {
  std::cout << "Orvella: the game ran\n";
  for (int i = 1; i < argc; ++i) {
    std::cout << "argument " << i << ": " << argv[i] << '\n';
  }
  return std::cout.good() ? 0 : 1;
}
