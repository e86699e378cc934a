// Random argument vectors into the level-2 and level-3 entries. Every array
// is allocated at exactly the size its dimensions allow (the address
// sanitizer guards both ends), so an accepted call that strays outside its
// arrays is caught; a rejected call must report one position in range and
// leave every array as it was.
#include <dlfcn.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <vector>

namespace {

int g_reports = 0, g_position = 0;

// Which arrays an argument list has, in the order the routine takes them.
enum Family {
    GEMV, GBMV, SYMV, SBMV, SPMV, TRMV, TBMV, TPMV, GER, SYR, SPR, SYR2, SPR2,
    GEMM, SYMM, SYRK, SYR2K, TRMM, FAMILIES
};

struct Routine {
    const char *name;
    Family family;
};

const Routine kRoutines[] = {
    {"sgemv", GEMV}, {"dgemv", GEMV}, {"cgemv", GEMV}, {"zgemv", GEMV},
    {"sgbmv", GBMV}, {"dgbmv", GBMV}, {"cgbmv", GBMV}, {"zgbmv", GBMV},
    {"ssymv", SYMV}, {"dsymv", SYMV}, {"chemv", SYMV}, {"zhemv", SYMV},
    {"ssbmv", SBMV}, {"dsbmv", SBMV}, {"chbmv", SBMV}, {"zhbmv", SBMV},
    {"sspmv", SPMV}, {"dspmv", SPMV}, {"chpmv", SPMV}, {"zhpmv", SPMV},
    {"strmv", TRMV}, {"dtrmv", TRMV}, {"ctrmv", TRMV}, {"ztrmv", TRMV},
    {"strsv", TRMV}, {"dtrsv", TRMV}, {"ctrsv", TRMV}, {"ztrsv", TRMV},
    {"stbmv", TBMV}, {"dtbmv", TBMV}, {"ctbmv", TBMV}, {"ztbmv", TBMV},
    {"stbsv", TBMV}, {"dtbsv", TBMV}, {"ctbsv", TBMV}, {"ztbsv", TBMV},
    {"stpmv", TPMV}, {"dtpmv", TPMV}, {"ctpmv", TPMV}, {"ztpmv", TPMV},
    {"stpsv", TPMV}, {"dtpsv", TPMV}, {"ctpsv", TPMV}, {"ztpsv", TPMV},
    {"sger", GER},   {"dger", GER},   {"cgeru", GER},  {"zgeru", GER},
    {"cgerc", GER},  {"zgerc", GER},
    {"ssyr", SYR},   {"dsyr", SYR},   {"cher", SYR},   {"zher", SYR},
    {"sspr", SPR},   {"dspr", SPR},   {"chpr", SPR},   {"zhpr", SPR},
    {"ssyr2", SYR2}, {"dsyr2", SYR2}, {"cher2", SYR2}, {"zher2", SYR2},
    {"sspr2", SPR2}, {"dspr2", SPR2}, {"chpr2", SPR2}, {"zhpr2", SPR2},
    {"sgemm", GEMM}, {"dgemm", GEMM}, {"cgemm", GEMM}, {"zgemm", GEMM},
    {"ssymm", SYMM}, {"dsymm", SYMM}, {"csymm", SYMM}, {"zsymm", SYMM},
    {"chemm", SYMM}, {"zhemm", SYMM},
    {"ssyrk", SYRK}, {"dsyrk", SYRK}, {"csyrk", SYRK}, {"zsyrk", SYRK},
    {"cherk", SYRK}, {"zherk", SYRK},
    {"ssyr2k", SYR2K}, {"dsyr2k", SYR2K}, {"csyr2k", SYR2K}, {"zsyr2k", SYR2K},
    {"cher2k", SYR2K}, {"zher2k", SYR2K},
    {"strmm", TRMM}, {"dtrmm", TRMM}, {"ctrmm", TRMM}, {"ztrmm", TRMM},
    {"strsm", TRMM}, {"dtrsm", TRMM}, {"ctrsm", TRMM}, {"ztrsm", TRMM},
};
constexpr int kCount = sizeof kRoutines / sizeof kRoutines[0];

// Bytes of one element: by the routine's first letter.
size_t element_size(const char *name)
{
    switch (name[0]) {
    case 's': return 4;
    case 'd': return 8;
    case 'c': return 8;
    default: return 16;
    }
}

// Reads the input a byte at a time; past its end every byte is 0.
struct Input {
    const uint8_t *p;
    size_t n;
    uint8_t byte() { return n ? (n--, *p++) : 0; }
    // Option letters: mostly valid ones, sometimes anything.
    char letter(const char *valid)
    {
        uint8_t b = byte();
        size_t k = strlen(valid);
        return b < 200 ? valid[b % k] : (char)byte();
    }
    // Dimensions and leading dimensions: small, sometimes negative or zero.
    int dim() { return (int)(byte() % 40) - 4; }
    int inc()
    {
        int v = (int)(byte() % 9) - 4;
        return v;
    }
};

bool is(char c, char want) { return c == want || c == want + ('a' - 'A'); }
ptrdiff_t vec(int n, int inc) { return n > 0 ? 1 + (ptrdiff_t)(n - 1) * std::abs(inc) : 0; }
ptrdiff_t mat(int ld, int rows, int cols)
{
    return rows > 0 && cols > 0 && ld > 0 ? (ptrdiff_t)ld * (cols - 1) + rows : 0;
}
ptrdiff_t packed(int n) { return n > 0 ? (ptrdiff_t)n * (n + 1) / 2 : 0; }

struct Arena {
    size_t esize;
    std::vector<void *> blocks;
    std::vector<std::vector<uint8_t>> before;
    void *add(ptrdiff_t elems)
    {
        size_t bytes = (size_t)std::max<ptrdiff_t>(elems, 0) * esize;
        uint8_t *p = (uint8_t *)malloc(bytes ? bytes : 1);
        for (size_t i = 0; i < bytes; i++)
            p[i] = (uint8_t)(i * 7 + 3); // finite values of every type
        blocks.push_back(p);
        before.emplace_back(p, p + bytes);
        return p;
    }
    bool unchanged() const
    {
        for (size_t i = 0; i < blocks.size(); i++)
            if (!before[i].empty() && memcmp(blocks[i], before[i].data(), before[i].size()) != 0)
                return false;
        return true;
    }
    ~Arena()
    {
        for (void *p : blocks)
            free(p);
    }
};

typedef void (*Fn)(...);

} // namespace

// The library reports rejected arguments here (this program's definition
// comes first in symbol lookup).
extern "C" void xerbla_(const char *, const int *code, ...)
{
    g_reports++;
    g_position = *code;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Fn fns[kCount];
    static bool looked_up = false;
    if (!looked_up) {
        for (int i = 0; i < kCount; i++) {
            char sym[16];
            snprintf(sym, sizeof sym, "%s_", kRoutines[i].name);
            fns[i] = (Fn)dlsym(RTLD_DEFAULT, sym);
        }
        looked_up = true;
    }
    Input in{data, size};
    int which = in.byte() % kCount;
    Fn f = fns[which];
    if (f == nullptr)
        return 0; // not in this build of the library
    const Routine &r = kRoutines[which];
    Arena ar{element_size(r.name), {}, {}};
    // Scalars: alpha and beta of any type, read at their own width.
    double alpha[2] = {0.75, -0.25}, beta[2] = {in.byte() & 1 ? 0.0 : 1.5, 0.5};
    float alphaf[2] = {0.75f, -0.25f}, betaf[2] = {(float)beta[0], 0.5f};
    bool single = r.name[0] == 's' || r.name[0] == 'c';
    void *al = single ? (void *)alphaf : (void *)alpha, *be = single ? (void *)betaf : (void *)beta;

    char o1 = in.letter("NTC"), o2 = in.letter("NTC"), up = in.letter("UL"), dg = in.letter("NU"),
         sd = in.letter("LR");
    int m = in.dim(), n = in.dim(), k = in.dim(), k2 = in.dim();
    int lda = in.dim() + in.byte() % 8, ldb = in.dim() + in.byte() % 8, ldc = in.dim() + in.byte() % 8;
    int incx = in.inc(), incy = in.inc();
    const int positions[FAMILIES] = {11, 13, 10, 11, 9, 8, 9, 7, 9, 7, 6, 9, 8, 13, 12, 10, 12, 11};
    bool nt1 = is(o1, 'N'), nt2 = is(o2, 'N'), left = is(sd, 'L');
    g_reports = 0;
    switch (r.family) {
    case GEMV: {
        void *a = ar.add(mat(lda, m, n)), *x = ar.add(vec(nt1 ? n : m, incx)), *y = ar.add(vec(nt1 ? m : n, incy));
        f(&o1, &m, &n, al, a, &lda, x, &incx, be, y, &incy);
        break;
    }
    case GBMV: {
        int kl = k & 7, ku = k2 & 7;
        if (in.byte() & 1) kl = k, ku = k2;
        void *a = ar.add(mat(lda, kl + ku + 1, n)), *x = ar.add(vec(nt1 ? n : m, incx)),
             *y = ar.add(vec(nt1 ? m : n, incy));
        f(&o1, &m, &n, &kl, &ku, al, a, &lda, x, &incx, be, y, &incy);
        break;
    }
    case SYMV: {
        void *a = ar.add(mat(lda, n, n)), *x = ar.add(vec(n, incx)), *y = ar.add(vec(n, incy));
        f(&up, &n, al, a, &lda, x, &incx, be, y, &incy);
        break;
    }
    case SBMV: {
        void *a = ar.add(mat(lda, k + 1, n)), *x = ar.add(vec(n, incx)), *y = ar.add(vec(n, incy));
        f(&up, &n, &k, al, a, &lda, x, &incx, be, y, &incy);
        break;
    }
    case SPMV: {
        void *a = ar.add(packed(n)), *x = ar.add(vec(n, incx)), *y = ar.add(vec(n, incy));
        f(&up, &n, al, a, x, &incx, be, y, &incy);
        break;
    }
    case TRMV: {
        void *a = ar.add(mat(lda, n, n)), *x = ar.add(vec(n, incx));
        f(&up, &o1, &dg, &n, a, &lda, x, &incx);
        break;
    }
    case TBMV: {
        void *a = ar.add(mat(lda, k + 1, n)), *x = ar.add(vec(n, incx));
        f(&up, &o1, &dg, &n, &k, a, &lda, x, &incx);
        break;
    }
    case TPMV: {
        void *a = ar.add(packed(n)), *x = ar.add(vec(n, incx));
        f(&up, &o1, &dg, &n, a, x, &incx);
        break;
    }
    case GER: {
        void *x = ar.add(vec(m, incx)), *y = ar.add(vec(n, incy)), *a = ar.add(mat(lda, m, n));
        f(&m, &n, al, x, &incx, y, &incy, a, &lda);
        break;
    }
    case SYR: {
        void *x = ar.add(vec(n, incx)), *a = ar.add(mat(lda, n, n));
        f(&up, &n, al, x, &incx, a, &lda);
        break;
    }
    case SPR: {
        void *x = ar.add(vec(n, incx)), *a = ar.add(packed(n));
        f(&up, &n, al, x, &incx, a);
        break;
    }
    case SYR2: {
        void *x = ar.add(vec(n, incx)), *y = ar.add(vec(n, incy)), *a = ar.add(mat(lda, n, n));
        f(&up, &n, al, x, &incx, y, &incy, a, &lda);
        break;
    }
    case SPR2: {
        void *x = ar.add(vec(n, incx)), *y = ar.add(vec(n, incy)), *a = ar.add(packed(n));
        f(&up, &n, al, x, &incx, y, &incy, a);
        break;
    }
    case GEMM: {
        void *a = ar.add(nt1 ? mat(lda, m, k) : mat(lda, k, m)), *b = ar.add(nt2 ? mat(ldb, k, n) : mat(ldb, n, k)),
             *c = ar.add(mat(ldc, m, n));
        f(&o1, &o2, &m, &n, &k, al, a, &lda, b, &ldb, be, c, &ldc);
        break;
    }
    case SYMM: {
        int ka = left ? m : n;
        void *a = ar.add(mat(lda, ka, ka)), *b = ar.add(mat(ldb, m, n)), *c = ar.add(mat(ldc, m, n));
        f(&sd, &up, &m, &n, al, a, &lda, b, &ldb, be, c, &ldc);
        break;
    }
    case SYRK: {
        void *a = ar.add(nt1 ? mat(lda, n, k) : mat(lda, k, n)), *c = ar.add(mat(ldc, n, n));
        f(&up, &o1, &n, &k, al, a, &lda, be, c, &ldc);
        break;
    }
    case SYR2K: {
        void *a = ar.add(nt1 ? mat(lda, n, k) : mat(lda, k, n)), *b = ar.add(nt1 ? mat(ldb, n, k) : mat(ldb, k, n)),
             *c = ar.add(mat(ldc, n, n));
        f(&up, &o1, &n, &k, al, a, &lda, b, &ldb, be, c, &ldc);
        break;
    }
    case TRMM: {
        int ka = left ? m : n;
        void *a = ar.add(mat(lda, ka, ka)), *b = ar.add(mat(ldb, m, n));
        f(&sd, &up, &o1, &dg, &m, &n, al, a, &lda, b, &ldb);
        break;
    }
    default:
        break;
    }
    if (g_reports > 1 || (g_reports == 1 && (g_position < 1 || g_position > positions[r.family]))) {
        fprintf(stderr, "%s: %d reports, position %d\n", r.name, g_reports, g_position);
        abort();
    }
    if (g_reports == 1 && !ar.unchanged()) {
        fprintf(stderr, "%s: rejected at position %d but wrote its arrays\n", r.name, g_position);
        abort();
    }
    return 0;
}
