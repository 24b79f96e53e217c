#include <cstdio>
int main() { std::puts("vozeror_status: not built yet"); return 0; }
