/* Prints the library's version and exercises its service functions. */
#include <stdio.h>
#include <stdlib.h>
#include <zem_service.h>

int main(void)
{
    char text[128];
    ZEMGetVersionString(text, (int)sizeof text);
    printf("%s\n", text);

    ZEMVersion v;
    ZEMGetVersion(&v);
    printf("version %d.%d.%d, %s, build %s, %s (%s, tier %d)\n", v.major, v.minor, v.update,
           v.product_status, v.build, v.processor, gettargetplatform(), dll_cpu_version());

    printf("threading: %s\n", ZEM_IN_SERIAL() ? "serial" : "parallel");
    printf("argument checks: %s\n", cfg_check ? "on" : "off");
    printf("lsame('n', 'N') = %d\n", LSAME("n", "N"));

    void *work = _ZEM_SERV_allocate(1 << 20);
    printf("work buffer of 1 MiB: %s\n", work ? "obtained" : "not available");
    _ZEM_SERV_deallocate(work);
    ZEM_FreeBuffers();

    printf("second-level cache code: %d, several logical processors: %s\n", _ZEM_SERV_l2cache(),
           _ZEM_SERV_verifyht() ? "yes" : "no");
    printf("sin(1) = %.18Lf (x87)\n", _ZEM_SERV_sin(1.0));
    return EXIT_SUCCESS;
}
