/* The reference C interface test programs read the storage order they are
 * testing from a variable their own C library would define. Preloaded into
 * those programs alone: this library has no such data. */
int RowMajorStrg = 0;
