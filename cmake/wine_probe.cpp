// Proves that Wine runs 32-bit programs: without Wine's 32-bit half a 32-bit
// program exits 0 and prints nothing, which would let every test pass.
#include <cstdio>

int main() {
    std::printf("32-bit program ran (pointer size %u)\n", static_cast<unsigned>(sizeof(void*)));
    return 0;
}
