/* The reference CBLAS testers keep a copy of the layout flag that their
 * C library normally defines; this object supplies it to the testers
 * alone (the library under test has no such data). */
int RowMajorStrg = 0;
