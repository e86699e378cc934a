// Work memory from C++: buffers are cached per thread and reused by best
// fit; ZEM_FreeBuffers hands everything back. Error lines go to stdout.
#include <cstdio>
#include <thread>
#include <zem.h>

int main()
{
    void *a = _ZEM_SERV_allocate(1000);
    _ZEM_SERV_deallocate(a);
    void *b = _ZEM_SERV_allocate(800); // fits in the cached 1000-byte buffer
    std::printf("cached buffer reused: %s\n", a == b ? "yes" : "no");
    _ZEM_SERV_deallocate(b);

    std::thread([] {
        void *c = _ZEM_SERV_allocate(1000); // the idle slot passes to this thread
        std::printf("another thread got a buffer: %s\n", c ? "yes" : "no");
        _ZEM_SERV_deallocate(c);
    }).join();
    ZEM_FreeBuffers();

    // How a rejected argument is reported (here by hand).
    int position = 3;
    xerbla_("DGEMM ", &position, 6);
    cblas_xerbla("cblas_dgemm", 4);
    return 0;
}
