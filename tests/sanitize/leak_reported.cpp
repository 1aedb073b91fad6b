// A leak of the program's own, made on purpose: the sanitize build runs this
// with the project's leak suppressions and expects LeakSanitizer to report it,
// so a suppression that is too wide (one that would hide our leaks along with
// a library's) fails the suite.
#include <cstdio>

namespace {

int* volatile kept = nullptr;

[[gnu::noinline]] void LoseSixInts() {
  kept = new int[6]{1, 2, 3, 4, 5, 6};
  kept = nullptr;
}

}  // namespace

int main() {
  LoseSixInts();
  std::puts("six ints lost");
  return 0;
}
