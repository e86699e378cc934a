/* Zem Numerics Library: service functions.
 *
 * Option characters, error lines, work memory, threading mode,
 * configuration words, processor facts and version information.
 * Every function that Fortran may call is exported under three names
 * (upper case, lower case, lower case with a trailing underscore).
 */
#ifndef ZEM_SERVICE_H
#define ZEM_SERVICE_H

#include <stddef.h>

#ifndef ZEM_API
#define ZEM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- option characters and error lines ---------------------------- */

/* -1 when the first bytes of a and b are the same letter in either case
 * (or the same byte for anything that is not a letter), else 0. */
ZEM_API int _ZEM_SERV_lsame(const char *a, const char *b, ...);
ZEM_API int LSAME(const char *a, const char *b, ...);
ZEM_API int lsame(const char *a, const char *b, ...);
ZEM_API int lsame_(const char *a, const char *b, ...);

/* Prints one error line on standard output and returns. A positive code
 * is the 1-based position of the bad argument of `name`; zero or a
 * negative code is an internal condition. Interposable: a program that
 * defines its own xerbla_ receives every report of the library. */
ZEM_API void xerbla_(const char *name, const int *code, ...);
ZEM_API void XERBLA(const char *name, const int *code, ...);
ZEM_API void xerbla(const char *name, const int *code, ...);
ZEM_API void cblas_xerbla(const char *name, int position);

ZEM_API void _assert(const char *expr, const char *file, int line);
ZEM_API void f_rterr(void);

/* ---- work memory ---------------------------------------------------- */

/* A buffer of at least `size` bytes, cached per thread, or NULL. Give it
 * back from the same thread with _ZEM_SERV_deallocate. */
ZEM_API void *_ZEM_SERV_allocate(size_t size);
ZEM_API void _ZEM_SERV_deallocate(void *p);
ZEM_API void _ZEM_SERV_freebuffers(void);
ZEM_API void _ZEM_SERV_lock(void);
ZEM_API void _ZEM_SERV_unlock(void);
/* Returns every cached buffer to the C library. Call it only while no
 * other thread is inside the library. */
ZEM_API void ZEM_FreeBuffers(void);
ZEM_API void zem_freebuffers(void);
ZEM_API void zem_freebuffers_(void);

/* ---- configuration and threading mode ------------------------------ */

ZEM_API extern int cfg_file_readed;
ZEM_API extern int cfg_check;
ZEM_API extern int cfg_serial;
ZEM_API extern int cfg_fpu;
ZEM_API extern char dll_cfg_names[4][1024];
ZEM_API extern char dll_cfg_names_v[4][1024];
ZEM_API extern char dll_cfg_names_l[2][1024];
ZEM_API extern const char *dll_def_names[4];
ZEM_API extern const char *dll_def_names_v[4];
ZEM_API extern const char *dll_def_names_l[2];

/* mode 1: settings keys only; mode 0: the library-name keys too.
 * 0 when a file was read (now or before), -1 when none was found. */
ZEM_API int zem_cfg_file(int mode);

ZEM_API int _ZEM_SERV_in_serial(void);
ZEM_API int _ZEM_SERV_set_serial(void);
ZEM_API int _ZEM_SERV_set_parallel(void);
ZEM_API int ZEM_IN_SERIAL(void);
ZEM_API int zem_in_serial(void);
ZEM_API int zem_in_serial_(void);
ZEM_API int ZEM_SET_SERIAL(void);
ZEM_API int zem_set_serial(void);
ZEM_API int zem_set_serial_(void);
ZEM_API int ZEM_SET_PARALLEL(void);
ZEM_API int zem_set_parallel(void);
ZEM_API int zem_set_parallel_(void);

/* ---- version and processor facts ------------------------------------ */

typedef struct ZEMVersion {
    int major;
    int minor;
    int update;
    const char *product_status;
    const char *build;
    const char *processor;
} ZEMVersion;

ZEM_API void ZEMGetVersion(ZEMVersion *v);
ZEM_API void zemgetversion(ZEMVersion *v);
ZEM_API void zemgetversion_(ZEMVersion *v);
ZEM_API void _ZEM_SERV_getversion(ZEMVersion *v);

/* C form: NUL-terminated, at most len-1 characters, rest zeroed. */
ZEM_API void ZEMGetVersionString(char *buf, int len);
ZEM_API void ZEMGETVERSIONSTRING(char *buf, int len);
ZEM_API void zemgetversionstring(char *buf, int len);
ZEM_API void _ZEM_SERV_getversionstring_c(char *buf, int len);
/* Fortran form: blank-padded to len, no NUL. */
ZEM_API void zemgetversionstring_(char *buf, int len);
ZEM_API void _ZEM_SERV_getversionstring(char *buf, int len);

ZEM_API const char *_ZEM_SERV_gettargetprocessor(void);
ZEM_API const char *gettargetplatform(void);
ZEM_API int dll_cpu_version(void);
ZEM_API int _ZEM_SERV_getcpuht(void);
ZEM_API int _ZEM_SERV_verifyht(void);
ZEM_API void _ZEM_SERV_getcputlbcache(unsigned int regs[4]);
ZEM_API int _ZEM_SERV_l2cache(void);
ZEM_API void _ZEM_SERV_build_date(const char *src, char *dst);

/* Sine and cosine on the x87 unit, results in extended precision. */
ZEM_API long double _ZEM_SERV_sin(double x);
ZEM_API long double _ZEM_SERV_cos(double x);
ZEM_API long double _ZEM_SERV_sinf(float x);
ZEM_API long double _ZEM_SERV_cosf(float x);

#ifdef __cplusplus
}
#endif
#endif
